#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "engine/SpriteBatch.hpp"
#include "gui/Gui.hpp"

namespace orn {

class Camera;
class Component;
class GameObject;

/// One screen of the game: owns its game objects in eight layers, runs the per-frame component calls in a
/// fixed order, applies structural changes (creation, destruction, attachment) only at fixed points of its
/// update, applies the cameras and owns the screen's GUI.
///
/// Concrete scenes implement init and unload and are created with std::make_shared of the concrete type.
class Scene {
public:
    virtual ~Scene() = default;

    /// Number of update and draw layers.
    static constexpr int layerCount = 8;

    /// A destruction due at a later time.
    struct DelayedDestroy {
        /// The object to remove, kept alive until then.
        std::shared_ptr<GameObject> object;
        float time;  ///< Time::time at which the removal is due
    };

    /// Builds the scene: creates objects, binds input actions, loads scene assets.
    virtual void init() = 0;
    /// Called when the scene stops being current.
    virtual void unload() = 0;

    /// Creates an object that enters its layer at the next update. The scene owns it.
    /// Raises std::out_of_range for a layer outside 0 to 7.
    GameObject* createGameObject(int layer);
    /// Destroys the object and, first, its children. A delay of exactly 0 marks it destroyed at once and
    /// removes it at the next update; any other delay removes it once Time::time reaches now + delay.
    /// An object the scene no longer holds is ignored.
    void destroy(GameObject* object, float delay);
    /// Searches layers 0 to 7, then the pending objects; empty if not found.
    std::shared_ptr<GameObject> findGameObject(std::uint32_t id) const;
    /// As findGameObject, but raises GameObjectNotFoundException when there is none.
    std::weak_ptr<GameObject> getGameObject(std::uint32_t id) const;

    /// One frame of the scene's logic; called by SceneManager::update.
    void update();

    /// Calls draw (or, with debug set, drawDebug after resetting DebugDraw's colour) on every component of
    /// every active object, layers 0 to 7; called by Game::draw. While batchSprites is set, each component
    /// draws through Component::drawInto(spriteBatch), which sprites add to and other components flush
    /// before drawing; the batch is flushed at the end, so the order on screen is that of the calls.
    void drawComponents(bool debug);

    /// Sets the GUI's view to the whole of the scene manager's window, one unit per pixel scale
    /// (SceneManager::getPixelScale) of window pixels, so a larger window shows the GUI larger.
    void resetGuiView();

    /// Merges the draw pass's sprites into runs; drawCalls counts its draw calls (reset by nobody here).
    SpriteBatch spriteBatch;
    /// For tests and measurements: draw every sprite with a call of its own, as the reference for batching.
    bool batchSprites = true;
    /// The objects in play, by layer and id; the scene owns them. Ids grow with every object made and objects
    /// enter their layer in the order they were made, so each layer visits its objects (updates and draws
    /// them) in the order they entered it: overlapping sprites of one layer stack in that order.
    std::array<std::map<std::uint32_t, std::shared_ptr<GameObject>>, layerCount> layers;
    /// Cameras queued by their update this frame; the one queued first is applied last. Not owned.
    std::deque<Camera*> cameraQueue;
    /// Objects created since the last update; they enter their layers at the next one.
    std::vector<std::shared_ptr<GameObject>> pendingObjects;
    /// Objects marked destroyed, removed at the next update.
    std::vector<std::shared_ptr<GameObject>> objectsToDestroy;
    /// Destructions with a delay, removed once due.
    std::vector<DelayedDestroy> delayedDestroys;
    /// The scene's GUI, drawn over the scene in window pixels and fed the window's events.
    gui::Gui gui;
    /// Set when any object may hold pending components, so frames without additions skip the attach pass.
    bool componentsPending = false;

private:
    void applyStructuralChanges();
    void attachComponents();
    /// Empties one queue of every object in the layers (init or start), calling the operation on each entry.
    void callQueued(std::vector<std::shared_ptr<Component>> GameObject::*queue,
                    void (Component::*operation)());
    void applyDelayedDestroys();
    void removeObject(const std::shared_ptr<GameObject>& object);
    template <class Operation>
    void forEachActiveComponent(Operation operation);
};

}  // namespace orn
