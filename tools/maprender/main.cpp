// orn-maprender MAP OUT.png: loads a Tiled map (TMX or JSON) through the engine and writes a PNG of its
// visible tile layers, laid out as Tiled's tmxrasterizer lays it out. Without a display it runs itself again
// under xvfb-run. A map the engine cannot read gives one line on stderr and exit status 1.
#include <unistd.h>
#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "MapRenderer.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Tilemap.hpp"

namespace {

/// Set in the environment of the run under xvfb-run, so that a failing X server is not retried forever.
const char* const retryMarker = "ORN_MAPRENDER_XVFB";

int runUnderXvfb(char** argv) {
    setenv(retryMarker, "1", 1);
    char xvfb[] = "xvfb-run";
    char automatic[] = "-a";
    char serverFlag[] = "-s";
    char server[] = "-screen 0 1280x1024x24 -nolisten tcp -noreset";
    char* arguments[] = {xvfb, automatic, serverFlag, server, argv[0], argv[1], argv[2], nullptr};
    execvp(xvfb, arguments);
    std::cerr << "orn-maprender: no display, and xvfb-run could not be started" << std::endl;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: orn-maprender MAP OUT.png (MAP: a Tiled map, TMX or JSON)" << std::endl;
        return 1;
    }
    const char* display = std::getenv("DISPLAY");
    if ((display == nullptr || *display == '\0') && std::getenv(retryMarker) == nullptr) {
        return runUnderXvfb(argv);
    }
    try {
        // Image paths are read relative to the map, which is named relative to the working directory.
        orn::AssetManager::getInstance().rootPath = "";
        const orn::Tilemap map(argv[1], orn::TileStorage::Compact);
        const sf::Image image = MapRenderer(map).render();
        if (!image.saveToFile(argv[2])) {
            std::cerr << "orn-maprender: could not write '" << argv[2] << "'" << std::endl;
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "orn-maprender: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
