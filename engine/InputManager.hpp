#pragma once

#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/PadInput.hpp"
#include "engine/PadState.hpp"

namespace sf {
class Event;
class Window;
}  // namespace sf

namespace orn {

/// Process-wide input queries by key or named action, as held or as newly pressed this frame. An action is
/// bound to at most one key and to any number of game pad inputs (buttons and axis directions, on whichever
/// pad is connected). Every answer is false while the window has no keyboard focus. Keys are polled at
/// the query, pads once per frame in beginFrame.
///
/// A key or pad input counts as seen held in a frame only if a query asked about it while it was held, so
/// edge detection works for the inputs that are asked about every frame. Beside the poll, the window's key
/// events (handleEvent) make sure no press is lost: a key pressed since the previous frame counts as newly
/// pressed in this one even if it was let go again before the frame (a tap shorter than a frame) or was
/// held at the previous frame and pressed again in between.
class InputManager {
public:
    /// Reports whether a key is held right now.
    using KeyStateSource = std::function<bool(sf::Keyboard::Key)>;
    /// Reports whether the window has keyboard focus.
    using FocusSource = std::function<bool(const sf::Window&)>;
    /// Reports the state of the pad with the given number (0 to sf::Joystick::Count - 1).
    using PadStateSource = std::function<PadState(unsigned pad)>;

    /// The process-wide input state, created on first use.
    static InputManager& getInstance();

    /// Whether the key was newly pressed in this frame, or pressed since the previous frame according to
    /// the window's key events; records the key as seen held.
    bool isKeyDown(sf::Keyboard::Key key);
    /// Whether the action's key or one of its pad inputs was newly pressed in this frame; false for an
    /// unbound name and for an action outside exclusiveActions. Records every bound input that is held.
    bool isActionDown(const std::string& name);
    /// Whether the action's key or one of its pad inputs is held now; false for an unbound name and for an
    /// action outside exclusiveActions. Records nothing.
    bool isActionPressed(const std::string& name) const;
    /// Whether the key is held now, without focus test or recording.
    bool isKeyHeld(sf::Keyboard::Key key) const;
    /// Whether the input is held on any connected pad, as read at the start of this frame, without focus
    /// test or recording.
    bool isPadInputHeld(PadInput input) const;
    /// Whether the pad input was newly pressed in this frame; records it as seen held.
    bool isPadInputDown(PadInput input);

    /// Adds pad inputs to an action (an action may have several, besides its key).
    void bindPad(const std::string& action, std::initializer_list<PadInput> inputs);
    /// Erases every key and pad binding and every restriction; what a scene's unload does.
    void clearBindings();

    /// Called by Game for every window event before the frame's update; notes the key presses and releases
    /// (a key repeat of a held key is no new press) and ignores every other kind of event.
    void handleEvent(const sf::Event& event);

    /// Called by Game::update right after Time::update; reads the pads and takes the keys pressed since
    /// the previous frame as this frame's.
    void beginFrame();
    /// Called by Game::update after the scene update.
    void endFrame();

    /// The focus of the window as seen by input (the window's own unless a focus source is set).
    bool readFocus(const sf::Window& window) const;

    /// Replace the keyboard, the focus or the pads with scripted ones (tests); an empty function restores
    /// the real one. A pad source takes effect at the next beginFrame.
    void setKeyStateSource(KeyStateSource source);
    /// As setKeyStateSource, for the window's focus.
    void setFocusSource(FocusSource source);
    /// As setKeyStateSource, for the pads: beginFrame calls source once for every pad index (0 to
    /// sf::Joystick::Count - 1).
    void setPadStateSource(PadStateSource source);

    /// Whether the window had the focus this frame; without it no key counts.
    bool hasFocus = true;
    /// Keys held in this frame; a key is newly down when it is here and not in keysDownLastFrame.
    std::unordered_set<sf::Keyboard::Key> keysDownThisFrame;
    /// Keys held in the previous frame.
    std::unordered_set<sf::Keyboard::Key> keysDownLastFrame;
    /// Action bindings; scenes write them in init and erase them all in unload.
    std::unordered_map<std::string, sf::Keyboard::Key> actions;
    /// Pad bindings of the actions, in addition to the keys in actions.
    std::unordered_map<std::string, std::vector<PadInput>> padActions;
    /// When not empty, only these actions answer; all others read as neither held nor pressed and record
    /// nothing (a paused level keeps only its resume and leave actions).
    std::unordered_set<std::string> exclusiveActions;
    /// How far (0 to 100) an axis must be deflected before its direction counts as held.
    float padDeadZone = 30.f;

private:
    InputManager() = default;

    bool isAllowed(const std::string& name) const;
    void readPads();

    KeyStateSource keyStateSource;
    FocusSource focusSource;
    PadStateSource padStateSource;
    std::array<PadState, sf::Joystick::Count> pads{};
    /// Keys down by the window's events, to tell a new press from a key repeat.
    std::unordered_set<sf::Keyboard::Key> keysHeldByEvents;
    /// Keys whose press event came after the last beginFrame, and those that came before this frame's.
    std::unordered_set<sf::Keyboard::Key> keysPressedSinceFrame;
    std::unordered_set<sf::Keyboard::Key> keysPressedBeforeFrame;
    std::unordered_set<PadInput> padInputsDownThisFrame;
    std::unordered_set<PadInput> padInputsDownLastFrame;
};

}  // namespace orn
