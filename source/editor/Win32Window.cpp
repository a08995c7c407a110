#include "source/editor/Win32Window.h"

#include <windowsx.h>

#include <cmath>
#include <optional>
#include <utility>

#include "public.sdk/source/main/moduleinit.h"
#include "source/editor/EditorFrame.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t* const kClassName = L"TaviroPlugInEditor";
constexpr UINT_PTR kTimerId = 1;
constexpr double kWheelNotch = WHEEL_DELTA;

// The class is registered while a window of it is open, so that an unloaded module leaves no class
// pointing into freed code behind.
int openWindows = 0;

// The module that holds the window procedure: the one DllMain was given, or the program itself when it
// links the editor (the tests).
HINSTANCE thisModule()
{
    return moduleHandle ? static_cast<HINSTANCE>(moduleHandle) : ::GetModuleHandleW(nullptr);
}

bool held(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

// The modifier keys held with a key message, as the message queue saw them.
Modifiers modifiersNow()
{
    return {held(VK_SHIFT), held(VK_CONTROL), held(VK_MENU)};
}

// Those of a mouse message, which carries Shift and Ctrl itself.
Modifiers modifiersOf(WPARAM keys)
{
    return {(keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, held(VK_MENU)};
}

std::optional<Key> namedKey(WPARAM virtualKey)
{
    static const std::pair<WPARAM, Key> kKeys[] = {
        {VK_RETURN, Key::enter},   {VK_ESCAPE, Key::escape},
        {VK_BACK, Key::backspace}, {VK_DELETE, Key::deleteForward},
        {VK_TAB, Key::tab},        {VK_LEFT, Key::left},
        {VK_RIGHT, Key::right},    {VK_UP, Key::up},
        {VK_DOWN, Key::down},      {VK_HOME, Key::home},
        {VK_END, Key::end},
    };
    for (const auto& [code, key] : kKeys)
        if (code == virtualKey)
            return key;
    return std::nullopt;
}

// Whether the key types a character (with the keyboard's layout), rather than being a shortcut: Ctrl
// with a letter is the host's, AltGr (Ctrl and Alt) with one types.
bool typesCharacter(WPARAM virtualKey)
{
    const bool shortcut = held(VK_CONTROL) && !held(VK_MENU);
    return !shortcut && ::MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR) != 0;
}

} // namespace

std::unique_ptr<Win32Window> Win32Window::open(HWND parent, EditorFrame& frame, double scale)
{
    if (!::IsWindow(parent))
        return nullptr;
    if (openWindows++ == 0)
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Win32Window::procedure;
        windowClass.hInstance = thisModule();
        windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kClassName;
        ::RegisterClassExW(&windowClass);
    }
    std::unique_ptr<Win32Window> window(new Win32Window(frame, scale));
    const int width = static_cast<int>(std::lround(frame.size().width * scale));
    const int height = static_cast<int>(std::lround(frame.size().height * scale));
    window->hwnd = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width,
                                     height, parent, nullptr, thisModule(), window.get());
    if (!window->hwnd || !window->createTarget())
        return nullptr;
    ::SetTimer(window->hwnd, kTimerId, kTimerMilliseconds, nullptr);
    return window;
}

Win32Window::Win32Window(EditorFrame& f, double s) : frame(f), scale(s) {}

Win32Window::~Win32Window()
{
    context.reset();
    target.Reset();
    factory.Reset();
    if (hwnd)
    {
        ::KillTimer(hwnd, kTimerId);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd);
    }
    if (--openWindows == 0)
        ::UnregisterClassW(kClassName, thisModule());
}

bool Win32Window::createTarget(bool renew)
{
    // One target for every editor window of the process: it is bound to a window's DC for each paint,
    // and making one costs far more than binding it (a graphics device of its own), so opening and
    // closing the editor stays quick. Kept until the module unloads.
    static ComPtr<ID2D1Factory> sharedFactory;
    static ComPtr<ID2D1DCRenderTarget> sharedTarget;
    if (renew)
        sharedTarget.Reset();
    // Units of device pixels: the frame's scale is applied by the drawing context's transform.
    const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT,
        D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE), 96, 96);
    if (!sharedFactory &&
        FAILED(::D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, sharedFactory.GetAddressOf())))
        return false;
    if (!sharedTarget && FAILED(sharedFactory->CreateDCRenderTarget(&properties, &sharedTarget)))
        return false;
    factory = sharedFactory;
    target = sharedTarget;
    context = std::make_unique<Direct2DDrawContext>(factory.Get(), target.Get());
    return true;
}

void Win32Window::setScale(double s)
{
    scale = s;
    ::SetWindowPos(hwnd, nullptr, 0, 0, static_cast<int>(std::lround(frame.size().width * scale)),
                   static_cast<int>(std::lround(frame.size().height * scale)), SWP_NOZORDER | SWP_NOMOVE);
    frame.invalidate();
    afterInput();
}

LRESULT CALLBACK Win32Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        auto* window = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    if (auto* window = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
        return window->handle(message, wParam, lParam);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

Point Win32Window::pointOf(LPARAM lParam) const
{
    return {GET_X_LPARAM(lParam) / scale, GET_Y_LPARAM(lParam) / scale};
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the frame covers every pixel
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    {
        const MouseButton button = message == WM_LBUTTONDOWN   ? MouseButton::left
                                   : message == WM_MBUTTONDOWN ? MouseButton::middle
                                                               : MouseButton::right;
        const Point p = pointOf(lParam);
        if (button == MouseButton::left)
            ::SetCapture(hwnd);
        frame.mouseDown({p, button, modifiersOf(wParam), clicks.press(button, p, ::GetMessageTime())});
        break;
    }
    case WM_MOUSEMOVE:
        if (!trackingLeave)
        {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
            trackingLeave = ::TrackMouseEvent(&track);
        }
        frame.mouseMoved({pointOf(lParam), MouseButton::left, modifiersOf(wParam)});
        break;
    case WM_LBUTTONUP:
        // The drag ends here, before the capture goes (whose loss would end it at the last move).
        frame.mouseUp({pointOf(lParam), MouseButton::left, modifiersOf(wParam)});
        ::ReleaseCapture();
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a host's dialog, Alt+Tab): the button's release will not come
        // here, and the host would wait for the end of the gesture.
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            frame.mouseCaptureLost();
        break;
    case WM_MOUSELEAVE:
        trackingLeave = false;
        frame.mouseLeft();
        break;
    case WM_MOUSEWHEEL:
    {
        // The wheel's position comes in screen coordinates.
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(hwnd, &p);
        frame.wheel({p.x / scale, p.y / scale}, GET_WHEEL_DELTA_WPARAM(wParam) / kWheelNotch,
                    modifiersOf(GET_KEYSTATE_WPARAM(wParam)));
        break;
    }
    // Keys held with Alt (WM_SYSKEYDOWN, WM_SYSCHAR) and F10 are the host's menu keys and the
    // system's (Alt+F4): the editor uses none, so DefWindowProc takes them to the top-level window.
    case WM_KEYDOWN:
    {
        const auto key = namedKey(wParam);
        if (key && frame.keyDown({*key, 0, modifiersNow()}))
            break;
        // A key the editor does not use goes on to the host's window, but for one that types: its
        // character follows as WM_CHAR and belongs to the text being typed.
        if (key || !typesCharacter(wParam))
        {
            forwardedKeys.set(wParam & 0xFF);
            ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
        }
        break;
    }
    case WM_KEYUP:
        if (forwardedKeys.test(wParam & 0xFF))
        {
            forwardedKeys.reset(wParam & 0xFF);
            ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
        }
        break;
    case WM_KILLFOCUS:
        if (takesKeys)
            frame.keyboardLost();
        break;
    case WM_CONTEXTMENU:
        // The right button opened the host's menu through the component handler already (or found
        // nothing that has one); passed on, it would make the host's window show a menu of its own.
        return 0;
    case WM_CHAR:
        // Characters from the keyboard layout; the named keys above come as control characters too.
        if (wParam >= 0x20 && wParam != 0x7F)
            frame.keyDown({Key::character, static_cast<char32_t>(wParam), modifiersNow()});
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_TIMER:
        frame.idle();
        break;
    default:
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    afterInput();
    return 0;
}

void Win32Window::afterInput()
{
    if (frame.needsRedraw())
        ::InvalidateRect(hwnd, nullptr, FALSE);
    // Keys come to this window only while a text is typed or a list is open; otherwise they stay
    // with the host, which may pass them on to the view. Taken when the frame comes to want them,
    // not again: the user may give them to another window meanwhile.
    const bool wantsKeys = frame.wantsKeyboard();
    if (wantsKeys == takesKeys)
        return;
    takesKeys = wantsKeys;
    if (wantsKeys)
        ::SetFocus(hwnd);
    else if (::GetFocus() == hwnd)
        ::SetFocus(::GetParent(hwnd));
}

void Win32Window::paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT client;
    ::GetClientRect(hwnd, &client);
    if (SUCCEEDED(target->BindDC(dc, &client)))
    {
        target->BeginDraw();
        context->beginFrame();
        context->scale(scale);
        frame.draw(*context);
        context->endFrame();
        // A lost device (a driver update, a remote session) needs a target of its own.
        if (target->EndDraw() == HRESULT(D2DERR_RECREATE_TARGET))
        {
            context.reset();
            target.Reset();
            createTarget(true);
            ::InvalidateRect(hwnd, nullptr, FALSE);
        }
    }
    ::EndPaint(hwnd, &ps);
    frame.redrawDone();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
