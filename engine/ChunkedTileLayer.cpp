#include "engine/ChunkedTileLayer.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Transformable.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>

#include "engine/GameObject.hpp"
#include "engine/SceneManager.hpp"
#include "engine/SpriteBatch.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace orn {

namespace {

/// The world rectangle the target's current view shows; its bounding box when the view is turned.
sf::FloatRect visibleArea(const sf::RenderTarget& target) {
    const sf::View& view = target.getView();
    if (view.getRotation() == 0.f) {
        return {view.getCenter() - view.getSize() / 2.f, view.getSize()};
    }
    const sf::Transform& toWorld = view.getInverseTransform();
    sf::Vector2f low(std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
    sf::Vector2f high(-low.x, -low.y);
    for (const sf::Vector2f corner : {sf::Vector2f(-1.f, -1.f), sf::Vector2f(1.f, -1.f),
                                      sf::Vector2f(-1.f, 1.f), sf::Vector2f(1.f, 1.f)}) {
        const sf::Vector2f point = toWorld.transformPoint(corner);
        low = {std::min(low.x, point.x), std::min(low.y, point.y)};
        high = {std::max(high.x, point.x), std::max(high.y, point.y)};
    }
    return {low, high - low};
}

/// value / divisor rounded down, for a positive divisor.
int64_t floorDiv(int64_t value, int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

/// A pixel coordinate as a whole number of cells of size pixels, rounded down, kept within what any layer
/// can hold so that far views do not overflow.
int64_t cellOf(double pixels, double size) {
    constexpr double far = 1e12;
    return static_cast<int64_t>(std::floor(std::clamp(pixels / size, -far, far)));
}

}  // namespace

ChunkedTileLayer::ChunkedTileLayer(Tilemap* tilemap, std::string layerName)
    : tilemap(tilemap), layerName(std::move(layerName)) {}

ChunkedTileLayer::ChunkedTileLayer(Tilemap* tilemap, std::size_t layerIndex)
    : tilemap(tilemap), layerIndex(layerIndex), byIndex(true) {}

ChunkedTileLayer::~ChunkedTileLayer() = default;

void ChunkedTileLayer::init() {
    layer = byIndex ? &tilemap->getLayer(layerIndex) : &tilemap->getLayer(layerName);
    layerName = layer->name;
    chunkSide = std::max(chunkCells, 1);
    const TmxLayer& source = *layer->source;
    chunkColumns = static_cast<int>((int64_t{source.width} + chunkSide - 1) / chunkSide);
    chunkRows = static_cast<int>((int64_t{source.height} + chunkSide - 1) / chunkSide);
    chunks.clear();
    chunks.resize(static_cast<std::size_t>(chunkColumns) * static_cast<std::size_t>(chunkRows));
    built.clear();
    orthogonal = tilemap->tmxMap->orientation == TmxMap::Orientation::Orthogonal;
    // Only orthogonal maps draw in the render order's directions.
    columnStep = orthogonal ? tilemap->renderDirection().x : 1;
    rowStep = orthogonal ? tilemap->renderDirection().y : 1;
    offset = Tilemap::pixelOffset(*layer);
    anchor = gameObject->getTransform().lock()->getPosition();
    animations.clear();
    for (const Tilemap::TileDefinition* definition : tilemap->animatedDefinitions) {
        const std::vector<Tilemap::Frame>& frames = definition->animation;
        const bool oneTexture = std::all_of(frames.begin(), frames.end(), [&](const Tilemap::Frame& frame) {
            return frame.texture == frames.front().texture;
        });
        animations.push_back({definition, Tilemap::AnimationClock(frames), oneTexture});
    }
    changed.assign(animations.size(), 0);
}

void ChunkedTileLayer::update() {
    const float elapsed = Time::getInstance().deltaTime * 1000.f;
    bool any = false;
    for (std::size_t i = 0; i < animations.size(); ++i) {
        changed[i] = animations[i].clock.advance(animations[i].definition->animation, elapsed) ? 1 : 0;
        any = any || changed[i] != 0;
    }
    if (!any) {
        return;
    }
    for (const std::size_t index : built) {
        Chunk& chunk = *chunks[index];
        for (const AnimatedCell& cell : chunk.animated) {
            if (changed[cell.animation] == 0) {
                continue;
            }
            const Animation& animation = animations[cell.animation];
            sf::Vertex* vertices = &chunk.vertices[cell.vertex];
            const Tilemap::Pieces pieces = tilePieces(*animation.definition, cell.gid, cell.column, cell.row);
            placeTile(vertices, pieces.piece[cell.piece], cell.gid,
                      animation.definition->animation[animation.clock.frame].textureRect);
            // Frames of another size may reach further; the bounds only grow.
            for (int corner = 0; corner < 6; ++corner) {
                const sf::Vector2f& point = vertices[corner].position;
                const float right = std::max(chunk.bounds.left + chunk.bounds.width, point.x);
                const float bottom = std::max(chunk.bounds.top + chunk.bounds.height, point.y);
                chunk.bounds.left = std::min(chunk.bounds.left, point.x);
                chunk.bounds.top = std::min(chunk.bounds.top, point.y);
                chunk.bounds.width = right - chunk.bounds.left;
                chunk.bounds.height = bottom - chunk.bounds.top;
            }
        }
    }
}

bool ChunkedTileLayer::chunksTouching(const sf::FloatRect& area, sf::IntRect& range) const {
    const sf::IntRect& used = layer->usedCells;
    if (used.width <= 0 || used.height <= 0 || chunks.empty()) {
        return false;
    }
    const TmxLayer& source = *layer->source;
    const Tilemap::Reach& reach = layer->reach;
    // The cells whose tiles, reaching as far as the layer's reach (and a pixel more), meet the area.
    int64_t firstColumn = used.left;
    int64_t lastColumn = int64_t{used.left} + used.width - 1;
    int64_t firstRow = used.top;
    int64_t lastRow = int64_t{used.top} + used.height - 1;
    const double left = double{area.left} - offset.x;
    const double top = double{area.top} - offset.y;
    const double tileWidth = tilemap->tmxMap->tileWidth;
    const double tileHeight = tilemap->tmxMap->tileHeight;
    if (!orthogonal) {
        // The cells whose boxes' bottom-left corners lie where their tiles could reach into the area.
        const sf::Vector2i box = tilemap->cellSize();
        const sf::Rect<int64_t> cells = tilemap->cellsWithCornerIn(
            left - double(box.x) - double(reach.right) - 2.0, top - double(reach.bottom) - 2.0,
            left + area.width + double(reach.left) + 2.0,
            top + area.height + double(box.y) + double(reach.top) + 2.0);
        firstColumn = std::max(firstColumn, cells.left);
        lastColumn = std::min(lastColumn, cells.left + cells.width - 1);
        firstRow = std::max(firstRow, cells.top);
        lastRow = std::min(lastRow, cells.top + cells.height - 1);
    } else if (tileWidth > 0) {
        firstColumn = std::max(firstColumn, cellOf(left - double(reach.right) - 1.0, tileWidth) - 1);
        lastColumn =
            std::min(lastColumn, cellOf(left + area.width + double(reach.left) + 1.0, tileWidth) + 1);
    }
    if (orthogonal && tileHeight > 0) {
        firstRow = std::max(firstRow, cellOf(top - double(reach.bottom) - 1.0, tileHeight) - 1);
        lastRow = std::min(lastRow, cellOf(top + area.height + double(reach.top) + 1.0, tileHeight) + 1);
    }
    if (firstColumn > lastColumn || firstRow > lastRow) {
        return false;
    }
    // Within the grid of chunks, whatever the cells say.
    const auto chunkOf = [this](int64_t cell, int32_t origin, int chunks) {
        return static_cast<int>(std::clamp<int64_t>(floorDiv(cell - origin, chunkSide), 0, chunks - 1));
    };
    range.left = chunkOf(firstColumn, source.originX, chunkColumns);
    range.top = chunkOf(firstRow, source.originY, chunkRows);
    range.width = chunkOf(lastColumn, source.originX, chunkColumns) - range.left + 1;
    range.height = chunkOf(lastRow, source.originY, chunkRows) - range.top + 1;
    return true;
}

bool ChunkedTileLayer::chunkTouches(int x, int y, const sf::FloatRect& area) const {
    if (orthogonal) {
        return true;
    }
    // The boxes of a block's cells lie between those of its corner cells and their neighbours: isometric
    // boxes move steadily with the cell, staggered ones by at most half a box more every other cell.
    const TmxLayer& source = *layer->source;
    const int64_t left = source.originX + int64_t{chunkSide} * x;
    const int64_t top = source.originY + int64_t{chunkSide} * y;
    const int64_t right = source.originX + std::min<int64_t>(int64_t{chunkSide} * (x + 1), source.width) - 1;
    const int64_t bottom =
        source.originY + std::min<int64_t>(int64_t{chunkSide} * (y + 1), source.height) - 1;
    sf::Vector2<int64_t> low(std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max());
    sf::Vector2<int64_t> high(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min());
    for (const int64_t column : {left, std::min(left + 1, right), std::max(right - 1, left), right}) {
        for (const int64_t row : {top, std::min(top + 1, bottom), std::max(bottom - 1, top), bottom}) {
            const sf::Vector2<int64_t> corner = tilemap->cellBottomLeft(*layer, column, row);
            low = {std::min(low.x, corner.x), std::min(low.y, corner.y)};
            high = {std::max(high.x, corner.x), std::max(high.y, corner.y)};
        }
    }
    const Tilemap::Reach& reach = layer->reach;
    const sf::Vector2i box = tilemap->cellSize();
    const double chunkLeft = double(low.x - reach.left) + offset.x - 1.0;
    const double chunkRight = double(high.x + box.x + reach.right) + offset.x + 1.0;
    const double chunkTop = double(low.y - box.y - reach.top) + offset.y - 1.0;
    const double chunkBottom = double(high.y + reach.bottom) + offset.y + 1.0;
    return chunkLeft < double(area.left) + area.width && chunkRight > area.left &&
           chunkTop < double(area.top) + area.height && chunkBottom > area.top;
}

Tilemap::Pieces ChunkedTileLayer::tilePieces(const Tilemap::TileDefinition& definition, uint32_t gid,
                                             int64_t column, int64_t row) const {
    const sf::Vector2<int64_t> corner =
        tilemap->tileTopLeft(*layer, column, row, definition.textureRect.height, definition.offset);
    // The sums a TileLayer's tile makes: its 32-bit pixel position as a float, plus the layer's offset.
    const bool halfPixel = tilemap->bottomOnHalfPixel(*layer, column, row);
    const sf::Vector2f shift = Tilemap::pixelOffset(*layer, halfPixel);
    const sf::Vector2f topLeft(static_cast<float>(static_cast<int32_t>(corner.x)) + shift.x,
                               static_cast<float>(static_cast<int32_t>(corner.y)) + shift.y);
    return Tilemap::pieces(*layer, halfPixel, topLeft,
                           {definition.textureRect.width, definition.textureRect.height}, gid,
                           definition.opaque, tilemap->tmxMap->orientation == TmxMap::Orientation::Hexagonal);
}

bool ChunkedTileLayer::placeTile(sf::Vertex* vertices, const Tilemap::Piece& piece, uint32_t gid,
                                 const sf::IntRect& frame) const {
    const Tilemap::Placement placement =
        Tilemap::placement(piece.topLeft, {piece.texels.width, piece.texels.height}, gid,
                           tilemap->tmxMap->orientation == TmxMap::Orientation::Hexagonal);
    const sf::IntRect rect = piece.in(frame);
    const auto width = static_cast<float>(rect.width);
    const auto height = static_cast<float>(rect.height);
    // The transform of the tile's sprite, computed by the same library code, so that the corners carry the
    // very bits the sprite would draw with.
    sf::Transform transform(1.f, 0.f, placement.position.x, 0.f, 1.f, placement.position.y, 0.f, 0.f, 1.f);
    if (placement.centred) {
        sf::Transformable pose;
        pose.setOrigin(width * 0.5f, height * 0.5f);
        pose.setPosition(placement.position);
        pose.setRotation(placement.rotation);
        pose.setScale(placement.scale);
        transform = pose.getTransform();
    }
    const auto left = static_cast<float>(rect.left);
    const auto top = static_cast<float>(rect.top);
    const float right = left + width;
    const float bottom = top + height;
    const sf::Color color = layer->color;
    const sf::Vertex corners[4] = {
        {transform.transformPoint(0.f, 0.f), color, {left, top}},
        {transform.transformPoint(0.f, height), color, {left, bottom}},
        {transform.transformPoint(width, 0.f), color, {right, top}},
        {transform.transformPoint(width, height), color, {right, bottom}},
    };
    // Two triangles, as SpriteBatch lists a sprite; a tile that is drawn alone keeps a sprite's strip of four
    // corners (the last two vertices are then unused).
    const bool shared = SpriteBatch::exactOnCpu(transform);
    const int order[2][6] = {{0, 1, 2, 2, 1, 3}, {0, 1, 2, 3, 3, 3}};
    for (int i = 0; i < 6; ++i) {
        vertices[i] = corners[order[shared ? 0 : 1][i]];
    }
    return shared;
}

void ChunkedTileLayer::build(std::size_t index) {
    const TmxLayer& source = *layer->source;
    const int64_t firstColumn = int64_t{chunkSide} * static_cast<int64_t>(index % chunkColumns);
    const int64_t firstRow = int64_t{chunkSide} * static_cast<int64_t>(index / chunkColumns);
    const int64_t columns = std::min<int64_t>(chunkSide, source.width - firstColumn);
    const int64_t rows = std::min<int64_t>(chunkSide, source.height - firstRow);

    // The tiles, each with what decides its run.
    struct Placed {
        const sf::Texture* texture;
        std::size_t animation;
        std::pair<int64_t, int64_t> key;  ///< where the editor draws it
        bool alone;  ///< drawn in a call of its own, as a sprite of its transform would be
    };
    std::vector<Placed> placed;
    std::vector<sf::Vertex> vertices;
    auto chunk = std::make_unique<Chunk>();
    for (int64_t k = 0; k < rows; ++k) {
        const int64_t row = rowStep > 0 ? firstRow + k : firstRow + rows - 1 - k;
        for (int64_t j = 0; j < columns; ++j) {
            const int64_t column = columnStep > 0 ? firstColumn + j : firstColumn + columns - 1 - j;
            const auto gid =
                static_cast<uint32_t>(source.data[static_cast<std::size_t>(row * source.width + column)]);
            // Every id the layer uses was defined while the map was read.
            const Tilemap::TileDefinition* definition = tilemap->definition(gid);
            if (definition == nullptr) {
                continue;
            }
            const sf::Texture* texture = definition->texture.get();
            sf::IntRect rect = definition->textureRect;
            const int64_t mapColumn = source.originX + column;
            const int64_t mapRow = source.originY + row;
            if (!definition->animation.empty()) {
                const Animation& animation = animations[definition->animationIndex];
                const Tilemap::Frame& frame = definition->animation[animation.clock.frame];
                rect = frame.textureRect;
                texture = animation.oneTexture ? frame.texture.get() : nullptr;
            }
            const Tilemap::Pieces pieces = tilePieces(*definition, gid, mapColumn, mapRow);
            for (std::size_t piece = 0; piece < static_cast<std::size_t>(pieces.count); ++piece) {
                if (!definition->animation.empty()) {
                    chunk->animated.push_back(
                        {definition->animationIndex, placed.size(), mapColumn, mapRow, gid, piece});
                }
                vertices.resize(vertices.size() + 6);
                const bool shared = placeTile(&vertices[vertices.size() - 6], pieces.piece[piece], gid, rect);
                placed.push_back(
                    {texture, definition->animationIndex, tilemap->drawKey(mapColumn, mapRow), !shared});
            }
        }
    }

    // Tiles that cannot overlap may go in any order: one run per texture. Otherwise they go in the editor's
    // order, and runs end with the first number of its key (a row, say) so that the draw can interleave
    // those of neighbouring chunks.
    const auto sameRun = [this](const Placed& a, const Placed& b) {
        return !a.alone && !b.alone && a.texture == b.texture &&
               (a.texture != nullptr || a.animation == b.animation) &&
               (!layer->overlapping || a.key.first == b.key.first);
    };
    std::vector<std::size_t> order(placed.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (layer->overlapping) {
        std::stable_sort(order.begin(), order.end(),
                         [&placed](std::size_t a, std::size_t b) { return placed[a].key < placed[b].key; });
    } else {
        std::stable_sort(order.begin(), order.end(), [&placed](std::size_t a, std::size_t b) {
            const std::less<const sf::Texture*> before;
            return before(placed[a].texture, placed[b].texture) ||
                   (placed[a].texture == placed[b].texture && placed[a].animation < placed[b].animation);
        });
    }
    std::vector<std::size_t> moved(placed.size());
    chunk->vertices.reserve(vertices.size());
    for (const std::size_t tile : order) {
        const std::size_t first = chunk->vertices.size();
        moved[tile] = first;
        chunk->vertices.insert(chunk->vertices.end(),
                               vertices.begin() + static_cast<std::ptrdiff_t>(6 * tile),
                               vertices.begin() + static_cast<std::ptrdiff_t>(6 * tile + 6));
        const Placed& current = placed[tile];
        if (chunk->runs.empty() || !sameRun(placed[chunk->runs.back().first], current)) {
            chunk->runs.push_back(
                {current.texture, current.animation, tile, 0, current.key.first, current.alone});
        }
        chunk->runs.back().count += 6;
    }
    // Runs name their first tile until all are placed; then their first vertex.
    for (Run& run : chunk->runs) {
        run.first = moved[run.first];
    }
    for (AnimatedCell& cell : chunk->animated) {
        cell.vertex = moved[cell.vertex];
    }
    if (!chunk->vertices.empty()) {
        sf::Vector2f low = chunk->vertices.front().position;
        sf::Vector2f high = low;
        for (const sf::Vertex& vertex : chunk->vertices) {
            low = {std::min(low.x, vertex.position.x), std::min(low.y, vertex.position.y)};
            high = {std::max(high.x, vertex.position.x), std::max(high.y, vertex.position.y)};
        }
        chunk->bounds = sf::FloatRect(low, high - low);
    }
    chunks[index] = std::move(chunk);
    built.push_back(index);
}

template <class Filter>
void ChunkedTileLayer::drawRuns(const Chunk& chunk, std::size_t& next, Filter drawn,
                                const sf::Transform& transform) {
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    sf::RenderStates states(transform);
    for (; next < chunk.runs.size() && drawn(chunk.runs[next]); ++next) {
        const Run& run = chunk.runs[next];
        states.texture = run.texture != nullptr
                             ? run.texture
                             : animations[run.animation]
                                   .definition->animation[animations[run.animation].clock.frame]
                                   .texture.get();
        if (run.alone) {
            // A single sprite's call: the software renderer rounds four-vertex strips its own way.
            window.draw(&chunk.vertices[run.first], 4, sf::TriangleStrip, states);
            continue;
        }
        for (std::size_t done = 0; done < run.count; done += SpriteBatch::maxCallVertices) {
            window.draw(&chunk.vertices[run.first + done],
                        std::min(SpriteBatch::maxCallVertices, run.count - done), sf::Triangles, states);
        }
    }
}

void ChunkedTileLayer::draw() {
    ++draws;
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    if (layer->visible) {
        const sf::Vector2f moved = gameObject->getTransform().lock()->getPosition() - anchor;
        sf::FloatRect view = visibleArea(window);
        view.left -= moved.x;
        view.top -= moved.y;
        // Chunks within one chunk of the view are near: those in view are made now, one more per draw.
        const sf::Vector2f chunkSize(std::abs(static_cast<float>(chunkSide * tilemap->tmxMap->tileWidth)),
                                     std::abs(static_cast<float>(chunkSide * tilemap->tmxMap->tileHeight)));
        const sf::FloatRect near(view.left - chunkSize.x, view.top - chunkSize.y,
                                 view.width + 2.f * chunkSize.x, view.height + 2.f * chunkSize.y);
        sf::IntRect nearby;
        sf::IntRect inView;
        const bool anyInView = chunksTouching(view, inView);
        int ahead = 1;
        if (chunksTouching(near, nearby)) {
            for (int y = nearby.top; y < nearby.top + nearby.height; ++y) {
                for (int x = nearby.left; x < nearby.left + nearby.width; ++x) {
                    const std::size_t index =
                        static_cast<std::size_t>(y) * chunkColumns + static_cast<std::size_t>(x);
                    if (!chunks[index]) {
                        if (!chunkTouches(x, y, near)) {
                            continue;
                        }
                        const bool needed = anyInView && inView.contains(x, y) && chunkTouches(x, y, view);
                        if (!needed && ahead == 0) {
                            continue;
                        }
                        ahead -= needed ? 0 : 1;
                        build(index);
                    }
                    chunks[index]->lastNear = draws;
                }
            }
        }
        if (anyInView) {
            sf::Transform transform;
            transform.translate(moved);
            // The chunks in view, in the order the editor meets their tiles of any one key.
            std::vector<std::pair<std::pair<int64_t, int64_t>, const Chunk*>> shown;
            for (int y = inView.top; y < inView.top + inView.height; ++y) {
                for (int x = inView.left; x < inView.left + inView.width; ++x) {
                    const Chunk* chunk =
                        chunks[static_cast<std::size_t>(y) * chunkColumns + static_cast<std::size_t>(x)]
                            .get();
                    if (chunk != nullptr && chunk->bounds.intersects(view)) {
                        shown.push_back({{int64_t{x} * columnStep, -int64_t{y}}, chunk});
                    }
                }
            }
            std::sort(shown.begin(), shown.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            std::vector<std::size_t> next(shown.size(), 0);
            if (!layer->overlapping) {
                for (std::size_t i = 0; i < shown.size(); ++i) {
                    drawRuns(
                        *shown[i].second, next[i], [](const Run&) { return true; }, transform);
                }
            }
            // Key by key across the chunks, so that tiles stack in the editor's order across chunks too.
            while (layer->overlapping) {
                int64_t key = std::numeric_limits<int64_t>::max();
                for (std::size_t i = 0; i < shown.size(); ++i) {
                    if (next[i] < shown[i].second->runs.size()) {
                        key = std::min(key, shown[i].second->runs[next[i]].key);
                    }
                }
                if (key == std::numeric_limits<int64_t>::max()) {
                    break;
                }
                for (std::size_t i = 0; i < shown.size(); ++i) {
                    drawRuns(
                        *shown[i].second, next[i], [key](const Run& run) { return run.key == key; },
                        transform);
                }
            }
        }
    }
    // Chunks that stayed away from the view for long are dropped.
    for (std::size_t i = 0; i < built.size();) {
        if (draws - chunks[built[i]]->lastNear > keptDraws) {
            chunks[built[i]].reset();
            built[i] = built.back();
            built.pop_back();
        } else {
            ++i;
        }
    }
}

}  // namespace orn
