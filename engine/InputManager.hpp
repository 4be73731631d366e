#pragma once

#include <SFML/Window/Keyboard.hpp>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace sf {
class Window;
}

namespace orn {

/// Process-wide keyboard queries by key or named action, as held or as newly pressed this frame.
/// Every answer is false while the window has no keyboard focus. Keys are polled, not taken from events.
///
/// A key counts as seen held in a frame only if isKeyDown was asked about it while it was held, so edge
/// detection works for the keys that are asked about every frame.
class InputManager {
public:
    /// Reports whether a key is held right now.
    using KeyStateSource = std::function<bool(sf::Keyboard::Key)>;
    /// Reports whether the window has keyboard focus.
    using FocusSource = std::function<bool(const sf::Window&)>;

    /// The process-wide input state, created on first use.
    static InputManager& getInstance();

    /// Whether the key was newly pressed in this frame; records the key as seen held.
    bool isKeyDown(sf::Keyboard::Key key);
    /// isKeyDown of the action's key; false for an unbound name.
    bool isActionDown(const std::string& name);
    /// Whether the action's key is held now; false for an unbound name. Records nothing.
    bool isActionPressed(const std::string& name) const;
    /// Whether the key is held now, without focus test or recording.
    bool isKeyHeld(sf::Keyboard::Key key) const;

    /// Called by Game::update right after Time::update.
    void beginFrame();
    /// Called by Game::update after the scene update.
    void endFrame();

    /// The focus of the window as seen by input (the window's own unless a focus source is set).
    bool readFocus(const sf::Window& window) const;

    /// Replaces the keyboard or focus with a scripted one (tests); an empty function restores the real one.
    void setKeyStateSource(KeyStateSource source);
    /// As setKeyStateSource, for the window's focus.
    void setFocusSource(FocusSource source);

    /// Whether the window had the focus this frame; without it no key counts.
    bool hasFocus = true;
    /// Keys held in this frame; a key is newly down when it is here and not in keysDownLastFrame.
    std::unordered_set<sf::Keyboard::Key> keysDownThisFrame;
    /// Keys held in the previous frame.
    std::unordered_set<sf::Keyboard::Key> keysDownLastFrame;
    /// Action bindings; scenes write them in init and erase them all in unload.
    std::unordered_map<std::string, sf::Keyboard::Key> actions;

private:
    InputManager() = default;

    KeyStateSource keyStateSource;
    FocusSource focusSource;
};

}  // namespace orn
