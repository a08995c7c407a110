#pragma once

#include <d2d1.h>
#include <windows.h>
#include <wrl/client.h>

#include <bitset>
#include <memory>

#include "source/editor/ClickCounter.h"
#include "source/editor/Direct2DDrawContext.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class EditorFrame;

// The editor's own child window inside the host's window. It turns the window's messages into the
// frame's mouse and key calls, asks the frame to catch up on a timer, and draws the frame with
// Direct2D through a render target bound to the paint DC.
class Win32Window
{
public:
    static constexpr UINT kTimerMilliseconds = 30;

    // Nothing when the parent is not a window or Direct2D is missing.
    static std::unique_ptr<Win32Window> open(HWND parent, EditorFrame& frame, double scale);
    ~Win32Window();
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    HWND handle() const { return hwnd; }
    void setScale(double scale);

private:
    Win32Window(EditorFrame& frame, double scale);
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A new target replaces the shared one when `renew` is set (its device was lost).
    bool createTarget(bool renew = false);
    void paint();
    // After every message: redraw what changed and take the keys while the frame wants them.
    void afterInput();
    Point pointOf(LPARAM lParam) const;

    EditorFrame& frame;
    double scale;
    HWND hwnd = nullptr;
    Microsoft::WRL::ComPtr<ID2D1Factory> factory;
    Microsoft::WRL::ComPtr<ID2D1DCRenderTarget> target;
    std::unique_ptr<Direct2DDrawContext> context;
    bool trackingLeave = false;
    bool takesKeys = false; // the keyboard was taken for the frame
    // Key-downs passed on to the host's window, whose key-ups follow them there.
    std::bitset<256> forwardedKeys;
    ClickCounter clicks;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
