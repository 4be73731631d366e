#include "MapRenderer.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "engine/ChunkedTileLayer.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Tilemap.hpp"

namespace {

/// Infinite maps are stored by the editor in blocks of this many tiles a side; their image covers whole
/// blocks.
constexpr int blockTiles = 16;

/// The largest picture side; maps that claim more are refused rather than allocated.
constexpr int64_t maxSide = 32768;

/// The largest window side drawn at once; bigger images are put together from several views.
constexpr unsigned windowSide = 512;

class RenderScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

int64_t floorDiv(int64_t value, int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

/// Colours drawn over a transparent window are stored premultiplied by their alpha; images are not.
sf::Color unpremultiplied(sf::Color color) {
    if (color.a == 0 || color.a == 255) {
        return color.a == 0 ? sf::Color::Transparent : color;
    }
    const auto channel = [&color](sf::Uint8 value) {
        return static_cast<sf::Uint8>(std::min(255L, std::lround(value * 255.0 / color.a)));
    };
    return {channel(color.r), channel(color.g), channel(color.b), color.a};
}

}  // namespace

MapRenderer::MapRenderer(const orn::Tilemap& map) : map(map) {
    const orn::TmxMap& tmx = *map.tmxMap;
    sf::Rect<int64_t> cells(0, 0, tmx.width, tmx.height);
    if (tmx.infinite) {
        // The blocks that hold tiles.
        bool any = false;
        for (const auto& layer : map.layersInOrder) {
            const sf::IntRect& used = layer->usedCells;
            if (used.width <= 0 || used.height <= 0) {
                continue;
            }
            const auto block = [](int64_t cell) { return floorDiv(cell, blockTiles) * blockTiles; };
            const int64_t column = block(used.left);
            const int64_t row = block(used.top);
            const int64_t lastColumn = block(int64_t{used.left} + used.width - 1) + blockTiles;
            const int64_t lastRow = block(int64_t{used.top} + used.height - 1) + blockTiles;
            if (any) {
                const int64_t right = std::max(cells.left + cells.width, lastColumn);
                const int64_t bottom = std::max(cells.top + cells.height, lastRow);
                cells.left = std::min(cells.left, column);
                cells.top = std::min(cells.top, row);
                cells.width = right - cells.left;
                cells.height = bottom - cells.top;
            } else {
                cells = {column, row, lastColumn - column, lastRow - row};
            }
            any = true;
        }
        if (!any) {
            cells = {};
        }
    }
    const sf::Rect<int64_t> pixels = map.pixelBounds(cells);
    int64_t left = pixels.left;
    int64_t top = pixels.top;
    int64_t right = pixels.left + pixels.width;
    int64_t bottom = pixels.top + pixels.height;
    // Room for the layers moved furthest in each direction.
    float growLeft = 0.f;
    float growTop = 0.f;
    float growRight = 0.f;
    float growBottom = 0.f;
    const auto grow = [&](float x, float y) {
        growLeft = std::max(growLeft, -x);
        growTop = std::max(growTop, -y);
        growRight = std::max(growRight, x);
        growBottom = std::max(growBottom, y);
    };
    // Every layer counts, hidden ones and those without tiles included; a group's own offset does not.
    for (const auto& layer : tmx.layers) {
        grow(layer->offsetX, layer->offsetY);
    }
    for (const auto& group : tmx.objectGroups) {
        grow(group->offsetX, group->offsetY);
    }
    for (const auto& layer : tmx.plainLayers) {
        if (layer->kind == orn::TmxPlainLayer::Kind::Image) {
            grow(layer->offsetX, layer->offsetY);
        }
    }
    const auto whole = [](float value) { return static_cast<int64_t>(std::ceil(std::min(value, 1e9f))); };
    left -= whole(growLeft);
    top -= whole(growTop);
    right += whole(growRight);
    bottom += whole(growBottom);
    if (right - left < 0 || bottom - top < 0 || right - left > maxSide || bottom - top > maxSide ||
        std::max(std::abs(left), std::abs(top)) > maxSide) {
        throw std::runtime_error("The map '" + map.path + "' would make a picture of " +
                                 std::to_string(right - left) + " x " + std::to_string(bottom - top) +
                                 " pixels at (" + std::to_string(left) + ", " + std::to_string(top) +
                                 "), more than " + std::to_string(maxSide) + " a side!");
    }
    area = sf::IntRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                       static_cast<int>(bottom - top));
}

sf::Image MapRenderer::render() const {
    sf::Image image;
    image.create(static_cast<unsigned>(std::max(area.width, 0)),
                 static_cast<unsigned>(std::max(area.height, 0)), sf::Color::Transparent);
    if (area.width <= 0 || area.height <= 0) {
        return image;
    }
    const sf::Vector2u windowSize(std::min(windowSide, image.getSize().x),
                                  std::min(windowSide, image.getSize().y));
    sf::RenderWindow window(sf::VideoMode(windowSize.x, windowSize.y), "orn-maprender", sf::Style::None);
    orn::SceneManager::getInstance().init(window);

    // The visible tile layers, drawn one after the other.
    auto scene = std::make_shared<RenderScene>();
    std::vector<orn::ChunkedTileLayer*> layers;
    for (std::size_t index = 0; index < map.layersInOrder.size(); ++index) {
        if (map.layersInOrder[index]->visible) {
            layers.push_back(scene->createGameObject(0)->addComponent<orn::ChunkedTileLayer>(
                const_cast<orn::Tilemap*>(&map), index));
        }
    }
    scene->update();

    sf::Texture capture;
    capture.create(windowSize.x, windowSize.y);
    for (unsigned top = 0; top < image.getSize().y; top += windowSize.y) {
        for (unsigned left = 0; left < image.getSize().x; left += windowSize.x) {
            window.setView(
                sf::View(sf::FloatRect(static_cast<float>(area.left + static_cast<int>(left)),
                                       static_cast<float>(area.top + static_cast<int>(top)),
                                       static_cast<float>(windowSize.x), static_cast<float>(windowSize.y))));
            window.clear(sf::Color::Transparent);
            for (orn::ChunkedTileLayer* layer : layers) {
                layer->draw();
            }
            capture.update(window);
            const sf::Image part = capture.copyToImage();
            for (unsigned y = 0; y < windowSize.y && top + y < image.getSize().y; ++y) {
                for (unsigned x = 0; x < windowSize.x && left + x < image.getSize().x; ++x) {
                    image.setPixel(left + x, top + y, unpremultiplied(part.getPixel(x, y)));
                }
            }
        }
    }
    window.close();
    return image;
}
