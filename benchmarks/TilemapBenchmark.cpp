// Cost of loading a 200 x 50 map with three full tile layers and an object group: reading the TMX file
// alone, building the Tilemap from it (reading included), and creating the tile objects of all three layers
// in a scene. Then the same 200 x 200 map of four layers stored as CSV and as zlib-compressed base64, read
// and built: the compressed form must load at least as fast. Tileset images are GL textures, so this needs
// a display (run under Xvfb).
#include <benchmark/benchmark.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Context.hpp>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AssetTestDir.hpp"
#include "TileDataEncoding.hpp"
#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/TileLayer.hpp"
#include "engine/Tilemap.hpp"
#include "engine/TmxMap.hpp"

namespace {

constexpr int mapWidth = 200;
constexpr int mapHeight = 50;
const char* const layerNames[] = {"background", "foreground", "overlay"};

class BenchScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

/// A temporary directory holding "map.tmx" and its 256 x 128 tileset image (128 tiles of 16 pixels), written
/// once per run and removed at exit, and a GL context for the run.
class MapFiles {
public:
    MapFiles() {
        const std::string& root = dir.root();
        sf::Image sheet;
        sheet.create(256, 128, sf::Color(40, 40, 60));
        sheet.saveToFile(root + "tiles.png");

        std::ofstream file(root + "map.tmx");
        file
            << R"(<?xml version="1.0" encoding="UTF-8"?>)"
            << "\n<map version=\"1.8\" orientation=\"orthogonal\" width=\"" << mapWidth << "\" height=\""
            << mapHeight << "\" tilewidth=\"16\" tileheight=\"16\" infinite=\"0\">\n"
            << R"( <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="128" columns="16">)"
            << "\n  <image source=\"tiles.png\" width=\"256\" height=\"128\"/>\n </tileset>\n";
        for (int layer = 0; layer < 3; ++layer) {
            file << " <layer id=\"" << layer + 1 << "\" name=\"" << layerNames[layer] << "\" width=\""
                 << mapWidth << "\" height=\"" << mapHeight << "\">\n  <data encoding=\"csv\">\n";
            for (int y = 0; y < mapHeight; ++y) {
                for (int x = 0; x < mapWidth; ++x) {
                    file << 1 + (x * 7 + y * 3 + layer) % 128
                         << (x + 1 < mapWidth || y + 1 < mapHeight ? "," : "");
                }
                file << "\n";
            }
            file << "</data>\n </layer>\n";
        }
        file << " <objectgroup id=\"4\" name=\"colliders\">\n";
        for (int i = 0; i < 100; ++i) {
            file << "  <object id=\"" << i + 1 << "\" type=\"Collider\" x=\"" << i * 32
                 << "\" y=\"784\" width=\"32\" "
                 << "height=\"16\">\n   <properties>\n    <property name=\"IsTrigger\" type=\"bool\" "
                    "value=\"false\"/>\n"
                 << "   </properties>\n  </object>\n";
        }
        file << " </objectgroup>\n</map>\n";
        orn::AssetManager::getInstance().rootPath = root;
    }

    std::string map() const { return dir.path("map.tmx"); }

private:
    // An active context, as the game's window provides, so that textures do not each set up their own.
    sf::Context context;
    AssetTestDir dir;
};

const MapFiles& files() {
    static const MapFiles instance;
    return instance;
}

constexpr int squareSide = 200;
constexpr int squareLayers = 4;

/// The 200 x 200 map of four layers, beside the first fixture's tileset image, with its layer data as CSV
/// or as zlib-compressed base64.
std::string squareMap(bool compressed) {
    const std::string path = files().map() + (compressed ? ".zlib.tmx" : ".csv.tmx");
    std::ofstream file(path);
    file
        << "<map orientation=\"orthogonal\" width=\"" << squareSide << "\" height=\"" << squareSide
        << "\" tilewidth=\"16\" tileheight=\"16\">\n"
        << R"( <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16"><image source="tiles.png"/></tileset>)"
        << "\n";
    for (int layer = 0; layer < squareLayers; ++layer) {
        std::vector<uint32_t> ids;
        for (int i = 0; i < squareSide * squareSide; ++i) {
            ids.push_back(static_cast<uint32_t>(1 + (i * 7 + layer * 3) % 128));
        }
        file << " <layer name=\"l" << layer << "\" width=\"" << squareSide << "\" height=\"" << squareSide
             << "\">";
        if (compressed) {
            file << "<data encoding=\"base64\" compression=\"zlib\">\n   "
                 << base64(deflated(bytesOf(ids), 15)) << "\n  </data>";
        } else {
            file << "<data encoding=\"csv\">\n";
            for (std::size_t i = 0; i < ids.size(); ++i) {
                file << ids[i] << (i + 1 < ids.size() ? "," : "") << ((i + 1) % squareSide == 0 ? "\n" : "");
            }
            file << "</data>";
        }
        file << "</layer>\n";
    }
    file << "</map>\n";
    return path;
}

void ReadSquareMap(benchmark::State& state) {
    const std::string path = squareMap(state.range(0) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(orn::TmxMap::loadMap(path));
    }
    state.SetLabel(state.range(0) != 0 ? "base64 zlib" : "csv");
}
BENCHMARK(ReadSquareMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BuildSquareMap(benchmark::State& state) {
    const std::string path = squareMap(state.range(0) != 0);
    for (auto _ : state) {
        const orn::Tilemap map(path);
        benchmark::DoNotOptimize(map.layers.size());
    }
    state.SetLabel(state.range(0) != 0 ? "base64 zlib" : "csv");
}
BENCHMARK(BuildSquareMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void ReadTmx(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(orn::TmxMap::loadMap(files().map()));
    }
}
BENCHMARK(ReadTmx)->Unit(benchmark::kMillisecond);

void BuildTilemap(benchmark::State& state) {
    std::size_t tiles = 0;
    for (auto _ : state) {
        const orn::Tilemap map(files().map());
        tiles = map.layers.at("background")->tiles.size() * 3;
    }
    state.counters["tiles"] = static_cast<double>(tiles);
}
BENCHMARK(BuildTilemap)->Unit(benchmark::kMillisecond);

void CreateTileObjects(benchmark::State& state) {
    orn::Tilemap map(files().map());
    for (auto _ : state) {
        auto scene = std::make_shared<BenchScene>();
        for (const char* name : layerNames) {
            scene->createGameObject(0)->addComponent<orn::TileLayer>(&map, name);
        }
        scene->update();
        scene->update();
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(CreateTileObjects)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
