#include "source/editor/HostKeys.h"

#include <utility>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

// The host's virtual key codes and modifier bits for onKeyDown (the SDK's VirtualKeyCodes and
// KeyModifier; their header is not packaged).
enum HostKeyCode : int16
{
    kKeyBackspace = 1,
    kKeyTab = 2,
    kKeyReturn = 4,
    kKeyEscape = 6,
    kKeyEnd = 9,
    kKeyHome = 10,
    kKeyLeft = 11,
    kKeyUp = 12,
    kKeyRight = 13,
    kKeyDown = 14,
    kKeyEnter = 19,
    kKeyDelete = 22,
};

enum HostKeyModifier : int16
{
    kShiftKey = 1 << 0,
    kAlternateKey = 1 << 1,
    kCommandKey = 1 << 2, // Ctrl outside macOS
    kControlKey = 1 << 3,
};

std::optional<Key> keyOf(int16 keyCode)
{
    static const std::pair<int16, Key> kKeys[] = {
        {kKeyBackspace, Key::backspace}, {kKeyTab, Key::tab},       {kKeyReturn, Key::enter},
        {kKeyEnter, Key::enter},         {kKeyEscape, Key::escape}, {kKeyEnd, Key::end},
        {kKeyHome, Key::home},           {kKeyLeft, Key::left},     {kKeyUp, Key::up},
        {kKeyRight, Key::right},         {kKeyDown, Key::down},     {kKeyDelete, Key::deleteForward},
    };
    for (const auto& [code, key] : kKeys)
        if (code == keyCode)
            return key;
    return std::nullopt;
}

} // namespace

std::optional<KeyEvent> hostKeyEvent(char16 key, int16 keyCode, int16 modifiers)
{
    KeyEvent event;
    if (const auto named = keyOf(keyCode))
        event.key = *named;
    else if (key >= 0x20)
        event.character = key;
    else
        return std::nullopt;
    event.modifiers = {(modifiers & kShiftKey) != 0, (modifiers & (kCommandKey | kControlKey)) != 0,
                       (modifiers & kAlternateKey) != 0};
    return event;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
