// Measures, in one run on this machine, what the performance report states: the level's frame time against
// a bare SFML loop drawing as many sprites, with and without batching, the floor of drawing those sprites
// (all in one call, with and without blending; clearing and showing an empty frame), the level's draw calls
// and resident memory, the level's build time against a bare parse of its map, and the physics step's cost
// as the level grows. Then large maps: one N x N layer drawn by ChunkedTileLayer and by TileLayer (build,
// memory, frames with the view still and sweeping the map), chunk sizes, and a 2048 x 2048 map of four
// layers.
// Prints Markdown. Needs a display and the repository root as working directory.
#include <dlfcn.h>
#include <malloc.h>
#include <SFML/Graphics.hpp>
#include <SFML/OpenGL.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <rapidxml/rapidxml.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "AssetTestDir.hpp"
#include "VisibleSprites.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/ChunkedTileLayer.hpp"
#include "engine/Game.hpp"
#include "engine/GameObject.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Sprite.hpp"
#include "engine/TileLayer.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Transform.hpp"
#include "game/MainScene.hpp"
#include "game/MapObjectFactory.hpp"

namespace {

/// Every glDrawArrays of the process, which is how the window library issues each of its draw calls.
std::size_t glDrawCalls = 0;

}  // namespace

/// Counts the call, then forwards it to the GL library; the program exports it so that the window library's
/// calls land here.
extern "C" void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    using DrawArrays = void (*)(GLenum, GLint, GLsizei);
    static const auto next = reinterpret_cast<DrawArrays>(dlsym(RTLD_NEXT, "glDrawArrays"));
    ++glDrawCalls;
    next(mode, first, count);
}

namespace {

/// Resident memory of the process in kilobytes, from /proc.
long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

using Clock = std::chrono::steady_clock;
constexpr float frameSeconds = 1.f / 60.f;

double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Summary {
    double median;
    double worst;
};

Summary summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.back()};
}

/// Draw calls are queued by the driver; waiting for the frame to be shown makes each sample the frame's
/// whole cost.
void finish(sf::RenderWindow& window) {
    window.setActive(true);
    glFinish();
}

class GrownLevel : public orn::Scene {
public:
    explicit GrownLevel(int copies) : copies(copies) {}
    void init() override {
        orn::Tilemap* map = orn::AssetManager::getInstance().loadTilemap("main", "main.tmx");
        MainScene::loadLevelAssets();
        const float width = 3744.f;
        MapObjectFactory& factory = MapObjectFactory::getInstance();
        for (int copy = 0; copy < copies; ++copy) {
            for (const char* group : {"colliders", "entities", "destroyables"}) {
                for (const auto& object : map->getObjectGroup(group).objects) {
                    if (object->type == "Player" && copy > 0) {
                        continue;  // one player: its components find each other by tag
                    }
                    orn::Tilemap::Object moved = *object;
                    moved.x += width * static_cast<float>(copy);
                    factory.creators.at(moved.type)(moved, 3, this);
                }
            }
        }
    }
    void unload() override { orn::AssetManager::getInstance().clearSceneAssets(); }

private:
    int copies;
};

class BenchScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

/// The grids of the large maps: squares of 32 pixels, and for other orientations diamonds of 32 x 16 and
/// hexagons of 32 x 32 with sides of 16, all drawn with the 32 x 32 tiles.
const char* const squareGrid = R"(orientation="orthogonal" tilewidth="32" tileheight="32")";
const char* const isometricGrid = R"(orientation="isometric" tilewidth="32" tileheight="16")";
const char* const hexagonalGrid =
    R"(orientation="hexagonal" staggeraxis="y" staggerindex="odd" hexsidelength="16" tilewidth="32" tileheight="32")";

/// A map of layers layers of side x side cells on grid as CSV, beside "tiles32.png" in folder; the cells
/// cycle through the sheet's 64 tiles, differently in each layer. Its file name starts with name.
std::string writeSquareMap(const std::string& folder, int side, int layers, const char* grid = squareGrid,
                           const char* name = "square") {
    const std::string path = folder + name + std::to_string(side) + "x" + std::to_string(layers) + ".tmx";
    const std::string size = "width=\"" + std::to_string(side) + "\" height=\"" + std::to_string(side) + "\"";
    std::string text = "<map " + std::string(grid) + " " + size + ">\n" +
                       R"( <tileset firstgid="1" name="tiles" tilewidth="32" tileheight="32">)" +
                       R"(<image source="tiles32.png"/></tileset>)" + "\n";
    std::vector<std::string> ids;
    for (int id = 1; id <= 64; ++id) {
        ids.push_back(std::to_string(id) + ",");
    }
    for (int layer = 0; layer < layers; ++layer) {
        text += " <layer name=\"l" + std::to_string(layer) + "\" " + size + "><data encoding=\"csv\">\n";
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                text += ids[static_cast<std::size_t>((x * 7 + y * 3 + layer * 5) % 64)];
            }
            text += "\n";
        }
        text.resize(text.size() - 2);  // the last comma
        text += "\n</data></layer>\n";
    }
    text += "</map>\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path;
}

/// One map in a scene of its own, drawn by one kind of layer, and what it cost.
struct LayerRun {
    int side = 0;
    std::unique_ptr<orn::Tilemap> map;
    std::shared_ptr<BenchScene> scene = std::make_shared<BenchScene>();
    double loadMs = 0.0;   ///< the map read into its model
    double buildMs = 0.0;  ///< reading included, until the layers are in the scene
    double bytesPerTile = 0.0;
    std::vector<double> still;  ///< frames with the view on the map's top-left corner
    std::vector<double> sweep;  ///< frames with the view going to the opposite corner
    /// The view's top-left corner for the still frames, and where the sweep ends: the map's corners on the
    /// square grid; on an isometric one, the top and bottom corners of its diamond, half the view beside
    /// them.
    sf::Vector2f start;
    sf::Vector2f end;
};

/// Loads the map at path (side x side cells a layer) and puts its layers in a scene, measuring the time and
/// the resident memory this adds.
std::unique_ptr<LayerRun> buildLayers(const std::string& path, int side, bool chunked, int chunkCells = 16) {
    auto run = std::make_unique<LayerRun>();
    run->side = side;
    malloc_trim(0);
    const long before = residentKilobytes();
    run->buildMs = millisecondsOf([&] {
        run->loadMs = millisecondsOf([&] {
            run->map = std::make_unique<orn::Tilemap>(
                path, chunked ? orn::TileStorage::Compact : orn::TileStorage::Tiles);
        });
        for (std::size_t index = 0; index < run->map->layersInOrder.size(); ++index) {
            orn::GameObject* object = run->scene->createGameObject(0);
            if (chunked) {
                object->addComponent<orn::ChunkedTileLayer>(run->map.get(), index)->chunkCells = chunkCells;
            } else {
                object->addComponent<orn::TileLayer>(run->map.get(), index);
            }
        }
        run->scene->update();
        run->scene->update();
    });
    const sf::Rect<int64_t> bounds = run->map->pixelBounds({0, 0, side, side});
    const sf::Vector2f size(static_cast<float>(bounds.width), static_cast<float>(bounds.height));
    if (run->map->tmxMap->orientation == orn::TmxMap::Orientation::Isometric) {
        run->start = {size.x / 2.f - 400.f, 0.f};
        run->end = {run->start.x, size.y - 600.f};
    } else {
        run->end = size - sf::Vector2f(800.f, 600.f);
    }
    // The first frame makes the chunks in view; the memory counts them.
    orn::SceneManager::getInstance().requireWindow().setView(
        sf::View(sf::FloatRect(run->start, {800.f, 600.f})));
    run->scene->drawComponents(false);
    const double tiles =
        static_cast<double>(side) * side * static_cast<double>(run->map->layersInOrder.size());
    run->bytesPerTile = static_cast<double>(residentKilobytes() - before) * 1024.0 / tiles;
    return run;
}

/// Frames of every run taking turns, so that the load other programs put on the machine falls on all of
/// them alike: still frames with an 800 x 600 view on the map's corner, then the view sweeping to the
/// opposite corner.
void drawFrames(sf::RenderWindow& window, std::vector<LayerRun*> runs, int still, int sweep) {
    const auto frame = [&](LayerRun& run, float progress) {
        return millisecondsOf([&] {
            window.setView(
                sf::View(sf::FloatRect(run.start + (run.end - run.start) * progress, {800.f, 600.f})));
            run.scene->update();
            window.clear();
            run.scene->drawComponents(false);
            window.display();
            finish(window);
        });
    };
    for (int i = 0; i < 10 + still; ++i) {
        for (LayerRun* run : runs) {
            const double ms = frame(*run, 0.f);
            if (i >= 10) {
                run->still.push_back(ms);
            }
        }
    }
    for (int i = 0; i < sweep; ++i) {
        for (LayerRun* run : runs) {
            run->sweep.push_back(frame(*run, static_cast<float>(i) / static_cast<float>(sweep - 1)));
        }
    }
}

/// Median, mean and worst of frame times.
std::array<double, 3> figures(std::vector<double> frames) {
    std::sort(frames.begin(), frames.end());
    double sum = 0.0;
    for (const double frame : frames) {
        sum += frame;
    }
    return {frames[frames.size() / 2], sum / static_cast<double>(frames.size()), frames.back()};
}

/// "median / mean / worst ms" of frame times.
std::string frameText(const std::vector<double>& frames) {
    const std::array<double, 3> f = figures(frames);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f / %.2f / %.2f ms", f[0], f[1], f[2]);
    return text;
}

/// The median, mean and worst of a divided by those of b.
std::string ratioText(const std::vector<double>& a, const std::vector<double>& b) {
    const std::array<double, 3> x = figures(a);
    const std::array<double, 3> y = figures(b);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f / %.2f / %.2f", x[0] / y[0], x[1] / y[1], x[2] / y[2]);
    return text;
}

/// The large-map tables: one N x N layer by both kinds of layer, chunk sizes, four layers of 2048 x 2048.
void reportLargeMaps(sf::RenderWindow& window, double clearAndDisplayMs) {
    const AssetTestDir dir;
    sf::Image sheet;
    sheet.create(256, 256);
    for (unsigned y = 0; y < 256; ++y) {
        for (unsigned x = 0; x < 256; ++x) {
            const unsigned tile = (y / 32) * 8 + x / 32;
            const bool mark = (x + 2 * y) % 7 == 0;
            sheet.setPixel(
                x, y,
                sf::Color(static_cast<sf::Uint8>(40 + tile * 3), static_cast<sf::Uint8>(mark ? 200 : 90),
                          static_cast<sf::Uint8>(250 - tile * 3)));
        }
    }
    sheet.saveToFile(dir.path("tiles32.png"));
    orn::AssetManager::getInstance().rootPath = dir.root();

    std::vector<std::pair<const char*, std::unique_ptr<LayerRun>>> runs;
    for (const int side : {64, 256, 512}) {
        runs.emplace_back("TileLayer", buildLayers(writeSquareMap(dir.root(), side, 1), side, false));
    }
    for (const int side : {64, 256, 1024, 2048}) {
        runs.emplace_back("ChunkedTileLayer", buildLayers(writeSquareMap(dir.root(), side, 1), side, true));
    }
    for (const int side : {64, 1024}) {
        runs.emplace_back(
            "ChunkedTileLayer, isometric",
            buildLayers(writeSquareMap(dir.root(), side, 1, isometricGrid, "diamond"), side, true));
    }
    for (const int side : {64, 1024}) {
        runs.emplace_back(
            "ChunkedTileLayer, hexagonal",
            buildLayers(writeSquareMap(dir.root(), side, 1, hexagonalGrid, "hexagon"), side, true));
    }
    std::vector<LayerRun*> turns;
    for (const auto& entry : runs) {
        turns.push_back(entry.second.get());
    }
    drawFrames(window, turns, 120, 240);
    std::printf(
        "\nLarge maps: one N x N layer of 32-pixel tiles (CSV) in an 800 x 600 view, `TileLayer` on the "
        "tile model, `ChunkedTileLayer` on compact storage, each in a scene of its own, all taking turns "
        "frame by frame: the build (reading included) until the layer is in the scene, the resident memory "
        "this and the first frame add, 120 frames with the view on the map's top-left corner and 240 "
        "while it sweeps to the opposite corner (update, draw, display, waiting for the frame). The "
        "isometric map's cells are diamonds of 32 x 16 (the tiles twice as high), its view on the top "
        "corner of the map's diamond and sweeping down to the bottom corner; the hexagonal map's cells are "
        "hexagons of 32 x 32 with sides of 16, every other row shifted.\n");
    std::printf(
        "\n| layer | N | build | build per tile | memory per tile | frame still, median / mean / worst | "
        "frame sweeping, median / mean / worst |\n|---|---|---|---|---|---|---|\n");
    for (const auto& [kind, run] : runs) {
        std::printf("| %s | %d | %.1f ms | %.3f us | %.0f B | %s | %s |\n", kind, run->side, run->buildMs,
                    run->buildMs * 1000.0 / (static_cast<double>(run->side) * run->side), run->bytesPerTile,
                    frameText(run->still).c_str(), frameText(run->sweep).c_str());
    }
    for (const auto& [name, small, large] :
         {std::make_tuple("chunked", 3, 5), std::make_tuple("chunked isometric", 7, 8),
          std::make_tuple("chunked hexagonal", 9, 10)}) {
        const LayerRun& a = *runs[static_cast<std::size_t>(small)].second;
        const LayerRun& b = *runs[static_cast<std::size_t>(large)].second;
        std::printf("| %s, N = 1024 / N = 64 | | | | | %s | %s |\n", name,
                    ratioText(b.still, a.still).c_str(), ratioText(b.sweep, a.sweep).c_str());
    }
    std::printf("| clear and display alone (the floor of any frame) | | | | | %.2f ms | |\n",
                clearAndDisplayMs);
    runs.clear();

    std::vector<std::unique_ptr<LayerRun>> sizes;
    const std::string square1024 = writeSquareMap(dir.root(), 1024, 1);
    for (const int cells : {8, 16, 32, 64}) {
        sizes.push_back(buildLayers(square1024, 1024, true, cells));
    }
    drawFrames(window, {sizes[0].get(), sizes[1].get(), sizes[2].get(), sizes[3].get()}, 240, 480);
    std::printf(
        "\nThe chunked layer at N = 1024 with chunks of 8 to 64 cells a side, taking turns (240 frames "
        "still, 480 sweeping):\n");
    std::printf(
        "\n| chunk side (N = 1024) | frame still, median / mean / worst | frame sweeping, median / mean / "
        "worst "
        "|\n|---|---|---|\n");
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::printf("| %d cells | %s | %s |\n", 8 << i, frameText(sizes[i]->still).c_str(),
                    frameText(sizes[i]->sweep).c_str());
    }
    sizes.clear();

    const std::unique_ptr<LayerRun> four64 = buildLayers(writeSquareMap(dir.root(), 64, 4), 64, true);
    const std::unique_ptr<LayerRun> four2048 = buildLayers(writeSquareMap(dir.root(), 2048, 4), 2048, true);
    drawFrames(window, {four64.get(), four2048.get()}, 120, 240);
    std::printf(
        "\nFour layers of 2048 x 2048 (16.7 million tiles, CSV, compact storage) against four layers of "
        "64 x 64, chunked, taking turns; the load is the map read into its model:\n");
    std::printf(
        "\n| four layers, chunked | load | build | memory per tile | frame still, median / mean / worst | "
        "frame sweeping, median / mean / worst |\n|---|---|---|---|---|---|\n");
    for (const LayerRun* run : {four64.get(), four2048.get()}) {
        std::printf("| %d x %d | %.0f ms | %.0f ms | %.0f B | %s | %s |\n", run->side, run->side, run->loadMs,
                    run->buildMs, run->bytesPerTile, frameText(run->still).c_str(),
                    frameText(run->sweep).c_str());
    }
    std::printf("| 2048 / 64 | | | | %s | %s |\n", ratioText(four2048->still, four64->still).c_str(),
                ratioText(four2048->sweep, four64->sweep).c_str());
}

}  // namespace

int main() {
    orn::Game game("Kestrith", 800, 600, [] { return std::make_shared<MainScene>(); });
    game.init();
    orn::AssetManager::getInstance().loadTheme("default_theme", "gui/gui_theme.txt");
    sf::RenderWindow& window = game.getWindow();
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();
    orn::SceneManager& scenes = orn::SceneManager::getInstance();

    // The reference paths are the way it was done before batching and the grid: every sprite its own call,
    // every pair tested.
    const auto useReference = [&](bool reference) {
        physics.bruteForce = reference;
        scenes.getCurrentScene()->batchSprites = !reference;
    };
    const auto warmUp = [&] {
        for (int frame = 0; frame < 120; ++frame) {
            game.update(sf::seconds(frameSeconds));
            game.draw();
        }
    };
    game.update(sf::seconds(frameSeconds));
    useReference(true);
    warmUp();
    const long referenceMemory = residentKilobytes();
    useReference(false);
    warmUp();
    const long memory = residentKilobytes();

    const int sprites = visibleSprites();
    const sf::Texture& tiles = *orn::AssetManager::getInstance().getTexture("tileset");
    std::vector<sf::Sprite> plain;
    for (int i = 0; i < sprites; ++i) {
        plain.emplace_back(tiles, sf::IntRect(16 * (i % 16), 16 * ((i / 16) % 8), 16, 16));
        plain.back().setPosition(static_cast<float>(16 * (i % 25)), static_cast<float>(16 * ((i / 25) % 19)));
    }
    // The floor of any drawing of those pixels: the bare loop's sprites made into triangles once, as perfect
    // batching would give them, and drawn in a single call.
    std::vector<sf::Vertex> triangles;
    for (const auto& sprite : plain) {
        const sf::Transform& transform = sprite.getTransform();
        const sf::FloatRect rect(sprite.getTextureRect());
        const sf::Vertex corners[4] = {
            {transform.transformPoint(0.f, 0.f), {rect.left, rect.top}},
            {transform.transformPoint(0.f, rect.height), {rect.left, rect.top + rect.height}},
            {transform.transformPoint(rect.width, 0.f), {rect.left + rect.width, rect.top}},
            {transform.transformPoint(rect.width, rect.height),
             {rect.left + rect.width, rect.top + rect.height}},
        };
        triangles.insert(triangles.end(),
                         {corners[0], corners[1], corners[2], corners[2], corners[1], corners[3]});
    }
    const auto inOneCall = [&](const sf::BlendMode& blending) {
        sf::RenderStates states(blending);
        states.texture = &tiles;
        window.clear();
        window.draw(triangles.data(), triangles.size(), sf::Triangles, states);
        window.display();
        finish(window);
    };

    // The three kinds of frame take turns, so that the load other programs put on the machine falls on all
    // of them alike.
    constexpr int frames = 600;
    std::vector<double> level;
    std::vector<double> levelCalls;
    std::vector<double> unbatched;
    std::vector<double> unbatchedCalls;
    std::vector<double> bare;
    std::vector<double> bareOneCall;
    std::vector<double> bareOneCallUnblended;
    std::vector<double> clearAndDisplay;
    const auto levelFrame = [&](bool reference, std::vector<double>& times, std::vector<double>& calls) {
        useReference(reference);
        const std::size_t callsBefore = glDrawCalls;
        times.push_back(millisecondsOf([&] {
            game.update(sf::seconds(frameSeconds));
            game.draw();
            finish(window);
        }));
        calls.push_back(static_cast<double>(glDrawCalls - callsBefore));
    };
    for (int frame = 0; frame < frames; ++frame) {
        levelFrame(false, level, levelCalls);
        levelFrame(true, unbatched, unbatchedCalls);
        const sf::View camera = window.getView();
        window.setView(sf::View(sf::FloatRect(0.f, 0.f, 400.f, 300.f)));
        bare.push_back(millisecondsOf([&] {
            window.clear();
            for (const auto& sprite : plain) {
                window.draw(sprite);
            }
            window.display();
            finish(window);
        }));
        bareOneCall.push_back(millisecondsOf([&] { inOneCall(sf::BlendAlpha); }));
        // Pixels that replace what lies below cost less than blended ones: the absolute floor, though only
        // wholly opaque pictures could be drawn so.
        bareOneCallUnblended.push_back(millisecondsOf([&] { inOneCall(sf::BlendNone); }));
        clearAndDisplay.push_back(millisecondsOf([&] {
            window.clear();
            window.display();
            finish(window);
        }));
        window.setView(camera);
    }
    useReference(false);

    std::vector<double> builds;
    for (int i = 0; i < 10; ++i) {
        builds.push_back(millisecondsOf([&] {
            orn::SceneManager::getInstance().loadScene<MainScene>();
            game.update(sf::seconds(frameSeconds));
        }));
    }
    std::vector<double> parses;
    for (int i = 0; i < 10; ++i) {
        parses.push_back(millisecondsOf([] {
            std::ifstream file("data/main.tmx");
            std::vector<char> text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            text.push_back('\0');
            rapidxml::xml_document<> document;
            document.parse<0>(text.data());
        }));
    }

    std::vector<std::pair<int, Summary>> steps;
    for (int copies : {1, 4, 16}) {
        orn::SceneManager::getInstance().loadScene(std::make_shared<GrownLevel>(copies));
        for (int frame = 0; frame < 60; ++frame) {
            game.update(sf::seconds(frameSeconds));
        }
        std::vector<double> samples;
        for (int step = 0; step < 500; ++step) {
            samples.push_back(millisecondsOf([&] {
                physics.collisionPass();
                physics.integrate(orn::Game::fixedStep);
            }));
        }
        steps.emplace_back(copies, summarise(samples));
    }
    orn::SceneManager::getInstance().shutdown();

    const Summary levelTime = summarise(level);
    const Summary unbatchedFrame = summarise(unbatched);
    const Summary bareFrame = summarise(bare);
    const Summary build = summarise(builds);
    const Summary parse = summarise(parses);
    std::printf("| measure | median | worst |\n|---|---|---|\n");
    std::printf("| level frame (%d frames, %d visible sprites) | %.2f ms | %.2f ms |\n", frames, sprites,
                levelTime.median, levelTime.worst);
    std::printf("| bare SFML loop, same sprites | %.2f ms | %.2f ms |\n", bareFrame.median, bareFrame.worst);
    std::printf("| level frame / bare loop | %.2f | |\n", levelTime.median / bareFrame.median);
    const Summary oneCall = summarise(bareOneCall);
    const Summary emptyFrame = summarise(clearAndDisplay);
    std::printf("| bare loop's sprites in one draw call | %.2f ms | %.2f ms |\n", oneCall.median,
                oneCall.worst);
    std::printf("| one draw call / bare loop | %.2f | |\n", oneCall.median / bareFrame.median);
    const Summary unblendedCall = summarise(bareOneCallUnblended);
    std::printf("| the same in one call without blending | %.2f ms | %.2f ms |\n", unblendedCall.median,
                unblendedCall.worst);
    std::printf("| one call without blending / bare loop | %.2f | |\n",
                unblendedCall.median / bareFrame.median);
    std::printf("| clear and display alone | %.2f ms | %.2f ms |\n", emptyFrame.median, emptyFrame.worst);
    std::printf("| clear and display / bare loop | %.2f | |\n", emptyFrame.median / bareFrame.median);
    std::printf("| level frame, one call per sprite | %.2f ms | %.2f ms |\n", unbatchedFrame.median,
                unbatchedFrame.worst);
    std::printf("| one call per sprite / bare loop | %.2f | |\n", unbatchedFrame.median / bareFrame.median);
    std::printf("| draw calls per level frame (all, GUI included) | %.0f | %.0f |\n",
                summarise(levelCalls).median, summarise(levelCalls).worst);
    std::printf("| draw calls per level frame, one call per sprite | %.0f | %.0f |\n",
                summarise(unbatchedCalls).median, summarise(unbatchedCalls).worst);
    std::printf("| resident memory of the level, one call per sprite and pair walk | %ld kB | |\n",
                referenceMemory);
    std::printf("| resident memory of the level, batched with the grid | %ld kB | |\n", memory);
    std::printf("| memory batched / reference | %.3f | |\n",
                static_cast<double>(memory) / static_cast<double>(referenceMemory));
    std::printf("| level build, init to first frame | %.1f ms | %.1f ms |\n", build.median, build.worst);
    std::printf("| bare parse of main.tmx | %.2f ms | %.2f ms |\n", parse.median, parse.worst);
    std::printf("| level build / bare parse | %.1f | |\n", build.median / parse.median);
    for (const auto& [copies, cost] : steps) {
        std::printf("| physics step, level x%d | %.3f ms | %.3f ms |\n", copies, cost.median, cost.worst);
    }
    std::printf("| step growth x4 / x1, x16 / x1 | %.2f, %.2f | |\n",
                steps[1].second.median / steps[0].second.median,
                steps[2].second.median / steps[0].second.median);
    reportLargeMaps(window, emptyFrame.median);
    return 0;
}
