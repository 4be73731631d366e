#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

#include "engine/AssetLoadException.hpp"
#include "engine/Game.hpp"
#include "game/scenes/LogoScene.hpp"

int main() {
    // Without an X display the window library aborts the process; say why instead.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cerr << "kestrith: there is no display to open the window on (DISPLAY is not set)" << std::endl;
        return 1;
    }
    try {
        orn::Game game("Kestrith", 800, 600, [] { return std::make_shared<LogoScene>(); });
        game.run();
    } catch (const orn::AssetLoadException& error) {
        std::cerr << "kestrith: " << error.what();
        if (!error.path.empty()) {
            std::cerr << " (file: " << error.path << ")";
        }
        std::cerr << std::endl;
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "kestrith: " << error.what() << std::endl;
        return 1;
    } catch (...) {
        std::cerr << "kestrith: stopped by an unknown error" << std::endl;
        return 1;
    }
    return 0;
}
