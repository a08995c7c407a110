#pragma once

#include <optional>

#include <xcb/xcb.h>

#include "source/editor/InputEvents.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Turns X key codes into the editor's key events, following the server's keyboard layout.
class X11Keyboard
{
public:
    explicit X11Keyboard(xcb_connection_t* connection);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // The key event for a pressed key, if it is one the editor uses (without its modifiers, which the
    // window reads from the event).
    std::optional<KeyEvent> pressed(xcb_keycode_t code);
    void released(xcb_keycode_t code);

private:
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
