#include "source/editor/X11Keyboard.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

X11Keyboard::X11Keyboard(xcb_connection_t* connection)
{
    if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return;
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context || device < 0)
        return;
    keymap = xkb_x11_keymap_new_from_device(context, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap)
        state = xkb_x11_state_new_from_device(keymap, connection, device);
}

X11Keyboard::~X11Keyboard()
{
    xkb_state_unref(state);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
}

std::optional<KeyEvent> X11Keyboard::pressed(xcb_keycode_t code)
{
    if (!state)
        return std::nullopt;
    const xkb_keysym_t symbol = xkb_state_key_get_one_sym(state, code);
    const uint32_t character = xkb_state_key_get_utf32(state, code);
    xkb_state_update_key(state, code, XKB_KEY_DOWN);
    switch (symbol)
    {
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter:
        return KeyEvent{Key::enter};
    case XKB_KEY_Escape:
        return KeyEvent{Key::escape};
    case XKB_KEY_BackSpace:
        return KeyEvent{Key::backspace};
    case XKB_KEY_Delete:
    case XKB_KEY_KP_Delete:
        return KeyEvent{Key::deleteForward};
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: // Tab with Shift
        return KeyEvent{Key::tab};
    case XKB_KEY_Left:
    case XKB_KEY_KP_Left:
        return KeyEvent{Key::left};
    case XKB_KEY_Right:
    case XKB_KEY_KP_Right:
        return KeyEvent{Key::right};
    case XKB_KEY_Up:
    case XKB_KEY_KP_Up:
        return KeyEvent{Key::up};
    case XKB_KEY_Down:
    case XKB_KEY_KP_Down:
        return KeyEvent{Key::down};
    case XKB_KEY_Home:
    case XKB_KEY_KP_Home:
        return KeyEvent{Key::home};
    case XKB_KEY_End:
    case XKB_KEY_KP_End:
        return KeyEvent{Key::end};
    default:
        if (character >= 0x20 && character != 0x7F)
            return KeyEvent{Key::character, character};
        return std::nullopt;
    }
}

void X11Keyboard::released(xcb_keycode_t code)
{
    if (state)
        xkb_state_update_key(state, code, XKB_KEY_UP);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
