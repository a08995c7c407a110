#include "source/editor/EditorView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "source/editor/EditorResources.h"
#include "source/editor/ResourceLocation.h"
#include "source/editor/X11Window.h"

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

ViewRect scaledRect(double scale)
{
    return ViewRect(0, 0, static_cast<int32>(std::lround(EditorView::kWidth * scale)),
                    static_cast<int32>(std::lround(EditorView::kHeight * scale)));
}

} // namespace

EditorView::EditorView(EditController* c, EditorFrame::KnobModeSource k)
    : CPluginView(nullptr), controller(c), knobMode(std::move(k))
{
    rect = scaledRect(1);
}

EditorView::~EditorView() { close(); }

tresult PLUGIN_API EditorView::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API EditorView::attached(void* parent, FIDString type)
{
    if (!parent || isAttached() || isPlatformTypeSupported(type) != kResultTrue || !controller)
        return kResultFalse;
    FUnknownPtr<Linux::IRunLoop> loop(plugFrame);
    if (!loop)
        return kResultFalse;
    resources = EditorResources::load(editorResourceFolder());
    if (resources)
        editorFrame = EditorFrame::create(*resources, *controller, "Editor");
    if (editorFrame)
    {
        editorFrame->setHostView(this, scale);
        editorFrame->setKnobModeSource(knobMode);
        window = X11Window::open(static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(parent)), *editorFrame,
                                 scale);
    }
    if (!window)
    {
        close();
        return kResultFalse;
    }
    runLoop = loop;
    runLoop->registerEventHandler(this, window->fileDescriptor());
    runLoop->registerTimer(this, kTimerMilliseconds);
    return CPluginView::attached(parent, type);
}

tresult PLUGIN_API EditorView::removed()
{
    if (!isAttached())
        return kResultFalse;
    close();
    return CPluginView::removed();
}

void EditorView::close()
{
    if (runLoop)
    {
        runLoop->unregisterTimer(this);
        runLoop->unregisterEventHandler(this);
        runLoop = nullptr;
    }
    window.reset();
    editorFrame.reset();
    resources.reset();
}

tresult PLUGIN_API EditorView::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
    if (!editorFrame)
        return kResultFalse;
    KeyEvent event;
    if (const auto named = keyOf(keyCode))
        event.key = *named;
    else if (key >= 0x20)
        event.character = key;
    else
        return kResultFalse;
    event.modifiers = {(modifiers & kShiftKey) != 0, (modifiers & (kCommandKey | kControlKey)) != 0,
                       (modifiers & kAlternateKey) != 0};
    const bool used = editorFrame->keyDown(event);
    if (window)
        window->processEvents();
    return used ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API EditorView::onSize(ViewRect* newSize)
{
    if (!newSize)
        return kInvalidArgument;
    const ViewRect wanted = scaledRect(scale);
    return newSize->getWidth() == wanted.getWidth() && newSize->getHeight() == wanted.getHeight() ? kResultTrue
                                                                                                  : kResultFalse;
}

tresult PLUGIN_API EditorView::checkSizeConstraint(ViewRect* r)
{
    if (!r)
        return kInvalidArgument;
    const ViewRect wanted = scaledRect(scale);
    r->right = r->left + wanted.getWidth();
    r->bottom = r->top + wanted.getHeight();
    return kResultTrue;
}

tresult PLUGIN_API EditorView::setContentScaleFactor(ScaleFactor factor)
{
    if (!(factor > 0))
        return kInvalidArgument;
    scale = std::clamp(static_cast<double>(factor), 0.5, 4.0);
    rect = scaledRect(scale);
    if (editorFrame)
        editorFrame->setHostView(this, scale);
    if (window)
        window->setScale(scale);
    if (plugFrame && isAttached())
        plugFrame->resizeView(this, &rect);
    return kResultTrue;
}

void PLUGIN_API EditorView::onFDIsSet(Linux::FileDescriptor)
{
    if (window)
        window->processEvents();
}

void PLUGIN_API EditorView::onTimer()
{
    if (window)
        window->idle();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
