#pragma once

#include "source/editor/Geometry.h"

// The editor's input events, the same on every platform: each platform window translates its own
// events into these and hands them to the frame, which keeps every behaviour.
namespace Steinberg::Vst::TaviroPlugIn::Editor {

struct Modifiers
{
    bool shift = false;
    bool control = false;
    bool alt = false;
};

enum class MouseButton
{
    left,
    middle,
    right,
};

struct MouseEvent
{
    MouseEvent(Point position = {}, MouseButton button = MouseButton::left, Modifiers modifiers = {},
               int clickCount = 1)
        : position(position), button(button), modifiers(modifiers), clickCount(clickCount)
    {
    }

    Point position; // window coordinates for the frame, the view's own for a view
    MouseButton button = MouseButton::left;
    Modifiers modifiers;
    int clickCount = 1; // 2 for the second press of a double-click
};

enum class Key
{
    character,
    enter,
    escape,
    backspace,
    deleteForward,
    tab,
    left,
    right,
    up,
    down,
    home,
    end,
};

struct KeyEvent
{
    KeyEvent(Key key = Key::character, char32_t character = 0, Modifiers modifiers = {})
        : key(key), character(character), modifiers(modifiers)
    {
    }

    Key key = Key::character;
    char32_t character = 0;
    Modifiers modifiers;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
