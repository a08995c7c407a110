// The editor as a Windows host meets it: the controller's view attached to a top-level window with
// "HWND", driven by the window messages Windows sends, under Wine on a virtual X display.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "source/ParameterIds.h"
#include "source/controller/ControllerWithUI.h"
#include "source/editor/BitmapImage.h"
#include "source/editor/EditorFrame.h"
#include "source/editor/EditorViewWin32.h"
#include "source/editor/OffscreenImage.h"
#include "source/editor/ResourceLocation.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/support/HostedPlugIn.h"

namespace Taviro::Test {
namespace {

constexpr int kWidth = 946;
constexpr int kHeight = 565;

// What reaches the host's window from the editor: keys passed on, system commands, context menus,
// its menu bar opened.
struct HostMessage
{
    UINT message;
    WPARAM wParam;
};
std::vector<HostMessage> hostMessages;

// The host's messages of the kinds `a` and `b`, as (message, wParam).
std::vector<std::pair<UINT, WPARAM>> atHost(UINT a, UINT b)
{
    std::vector<std::pair<UINT, WPARAM>> found;
    for (const auto& m : hostMessages)
        if (m.message == a || m.message == b)
            found.emplace_back(m.message, m.wParam);
    return found;
}

LRESULT CALLBACK hostWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CONTEXTMENU:
        hostMessages.push_back({message, wParam});
        return 0;
    case WM_SYSCOMMAND:
        // Recorded only: the test's host neither closes nor enters its menu from here.
        hostMessages.push_back({message, wParam & 0xFFF0});
        return 0;
    case WM_ENTERMENULOOP:
        hostMessages.push_back({message, wParam});
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

class EditorWindowWin32 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The bundle's files, which the module's resources are made of.
        Editor::setEditorResourceFolder(TAVIRO_EDITOR_RESOURCES);
        // The real pointer rests off every window, so that no tooltip comes up in a picture.
        pointerOffWindows();
        hostMessages.clear();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = hostWindowProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TaviroTestHost";
        ::RegisterClassW(&windowClass);
        host = ::CreateWindowExW(0, L"TaviroTestHost", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 kWidth + 40, kHeight + 60, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_TRUE(host);
        controller->initialize(&hostContext);
        controller->setComponentHandler(handler);
        pump(50);
    }
    void TearDown() override
    {
        pointerOffWindows();
        controller->setComponentHandler(nullptr);
        controller->terminate();
        ::DestroyWindow(host);
        Editor::setEditorResourceFolder({});
    }

    // Lets the windows handle what is queued for `milliseconds`: timers, paints, posted input.
    void pump(int milliseconds)
    {
        const DWORD end = ::GetTickCount() + milliseconds;
        do
        {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            ::Sleep(5);
        } while (::GetTickCount() < end);
    }
    IPtr<Editor::EditorView> attachView()
    {
        auto view = owned(static_cast<Editor::EditorView*>(controller->createView(ViewType::kEditor)));
        EXPECT_TRUE(view);
        if (view)
        {
            EXPECT_EQ(view->attached(host, kPlatformTypeHWND), kResultOk);
        }
        pump(100);
        return view;
    }
    HWND editorWindow() const { return ::GetWindow(host, GW_CHILD); }
    static void pointerOffWindows()
    {
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    // The real pointer to a point of the editor window, as the user moves it: Windows sends the moves.
    void pointTo(Point p)
    {
        POINT screen{LONG(std::lround(p.x)), LONG(std::lround(p.y))};
        ::ClientToScreen(editorWindow(), &screen);
        ::SetCursorPos(screen.x, screen.y);
    }
    static LPARAM at(Point p) { return MAKELPARAM(std::lround(p.x), std::lround(p.y)); }
    // Mouse messages as Windows posts them to the window under the pointer.
    void press(Point p, WPARAM keys = 0)
    {
        ::SendMessageW(editorWindow(), WM_LBUTTONDOWN, MK_LBUTTON | keys, at(p));
    }
    void move(Point p, WPARAM keys = 0)
    {
        ::SendMessageW(editorWindow(), WM_MOUSEMOVE, MK_LBUTTON | keys, at(p));
    }
    void release(Point p, WPARAM keys = 0) { ::SendMessageW(editorWindow(), WM_LBUTTONUP, keys, at(p)); }
    void click(Point p)
    {
        press(p);
        release(p);
        pump(40);
    }
    void drag(Point from, Point to, WPARAM keys = 0)
    {
        press(from, keys);
        move({from.x, (from.y + to.y) / 2}, keys);
        move(to, keys);
        release(to, keys);
        pump(40);
    }
    // Typing as the keyboard sends it to the focused window: key down, the character, key up.
    void type(const std::string& text)
    {
        for (char c : text)
            ::SendMessageW(::GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 1);
        ::SendMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
        pump(40);
    }
    // What the editor window shows, as 0xAARRGGBB with the alpha opaque.
    Image screenshot(int scale = 1)
    {
        pump(200);
        const int width = kWidth * scale, height = kHeight * scale;
        Image image{width, height, std::vector<uint32_t>(size_t(width) * height)};
        HDC window = ::GetDC(editorWindow());
        HDC memory = ::CreateCompatibleDC(window);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
        ::GdiFlush();
        for (size_t i = 0; i < image.pixels.size(); ++i)
            image.pixels[i] = static_cast<const uint32_t*>(bits)[i] | 0xFF000000;
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(editorWindow(), window);
        return image;
    }
    ParamValue value(ParamID id) const { return controller->getParamNormalized(id); }
    // The state of the Linux renders: channel 1 with some knobs moved.
    void setLinuxRenderState()
    {
        for (const auto& [id, v] :
             {std::pair{kOscVolume, 1.0}, {kOscFilterFrequency, 1.0}, {kOscAttackTime, 0.3}})
            controller->setParamNormalized(channelParameterId(0, id), v);
    }

    HostApplication hostContext;
    IPtr<ControllerWithUI> controller = owned(new ControllerWithUI);
    IPtr<RecordingHandler> handler = owned(new RecordingHandler);
    HWND host = nullptr;
};

// Whether `a`'s pixel at (x, y) is within `tolerance` per channel of `b`'s there or at a neighbour:
// text set by another rasteriser may fall a pixel apart.
bool nearMatch(const Image& a, const Image& b, int x, int y, int tolerance)
{
    const uint32_t p = a.at(x, y);
    if (nearColour(p, b.at(x, y), tolerance))
        return true;
    for (int by = std::max(0, y - 1); by <= std::min(b.height - 1, y + 1); ++by)
        for (int bx = std::max(0, x - 1); bx <= std::min(b.width - 1, x + 1); ++bx)
            if (nearColour(p, b.at(bx, by), tolerance))
                return true;
    return false;
}

// The blocks of 8 × 8 view pixels (of `scale` × `scale` device pixels each) of `a` in which more than
// an eighth of the pixels have no near match in `b`: a moved control or a missing bitmap makes many,
// text in another font's shapes a few.
int differingBlocks(const Image& a, const Image& b, int scale)
{
    constexpr int kTolerance = 64;
    const int size = 8 * scale;
    int blocks = 0;
    for (int by = 0; by + size <= a.height; by += size)
        for (int bx = 0; bx + size <= a.width; bx += size)
        {
            int unmatched = 0;
            for (int y = by; y < by + size; ++y)
                for (int x = bx; x < bx + size; ++x)
                    unmatched += !nearMatch(a, b, x, y, kTolerance);
            blocks += unmatched > size * size / 8;
        }
    return blocks;
}

// So many differing blocks make another picture.
constexpr int kDifferentPicture = 10;

// The Linux build's render `name` of the window at `scale`, opaque.
Image linuxRender(const std::string& name, int scale)
{
    const auto render = Editor::decodePng(TAVIRO_LINUX_RENDERS "/" + name);
    if (!render)
        return {};
    return drawOffscreen(kWidth * scale, kHeight * scale, [&](Editor::DrawContext& c) {
        const Editor::Rect all{0, 0, kWidth, kHeight};
        c.scale(scale);
        c.fillRect(all, {0, 0, 0, 1});
        c.drawImage(*render, scale, all, all, 1);
    });
}

// Faults painted into a picture of the window at `scale`, in view pixels.
void fill(Image& image, int scale, int x, int y, int w, int h, uint32_t colour)
{
    for (int j = y * scale; j < (y + h) * scale; ++j)
        std::fill_n(image.pixels.begin() + j * image.width + x * scale, w * scale, colour);
}
void moveRight(Image& image, int scale, int x, int y, int w, int h, int by)
{
    for (int j = y * scale; j < (y + h) * scale; ++j)
    {
        const auto row = image.pixels.begin() + j * image.width;
        std::copy_backward(row + x * scale, row + (x + w) * scale, row + (x + w + by) * scale);
        std::fill_n(row + x * scale, by * scale, 0xFF000000u);
    }
}

// `shown` has the layout of the Linux render `name`, and the comparison would see a knob moved by
// 6 view pixels or the logo's bitmap missing. Measured under Wine: 4, 0 and 2 blocks for channel 1,
// channel 10 and channel 1 at scale 2; the moved knob makes 16 to 23, the missing logo 88 to 92.
void expectLayoutOf(const std::string& name, const Image& shown, int scale)
{
    const Image render = linuxRender(name, scale);
    ASSERT_EQ(render.width, shown.width) << name;
    EXPECT_LT(differingBlocks(shown, render, scale), kDifferentPicture) << name;
    const Point knob = columnPoint(1, 5, 65);
    const struct
    {
        const char* fault;
        std::function<void(Image&)> paint;
    } faults[] = {
        {"a knob 6 pixels to the right",
         [&](Image& i) { moveRight(i, scale, int(knob.x), int(knob.y), 42, 42, 6); }},
        {"the logo missing", [&](Image& i) { fill(i, scale, 20, 300, 130, 100, 0xFF1A1A1A); }},
    };
    for (const auto& f : faults)
    {
        Image faulty = render;
        f.paint(faulty);
        EXPECT_GE(differingBlocks(shown, faulty, scale), kDifferentPicture) << name << " with " << f.fault;
    }
}

TEST_F(EditorWindowWin32, OnlyTheHwndPlatformTypeAttachesAndTheViewAttachesAgainAfterRemoval)
{
    auto view = owned(controller->createView(ViewType::kEditor));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->attached(host, kPlatformTypeX11EmbedWindowID), kResultFalse);
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_EQ(view->attached(host, kPlatformTypeHWND), kResultOk) << "round " << round;
        EXPECT_EQ(view->attached(host, kPlatformTypeHWND), kResultFalse) << "already attached";
        RECT r;
        ::GetClientRect(editorWindow(), &r);
        EXPECT_EQ(r.right, kWidth);
        EXPECT_EQ(r.bottom, kHeight);
        EXPECT_EQ(view->removed(), kResultOk);
        EXPECT_EQ(editorWindow(), nullptr);
    }
}

// The module's own view reads its document and bitmaps from the module's resources.
TEST_F(EditorWindowWin32, TheBundlesViewOpensFromTheModulesResources)
{
    Editor::setEditorResourceFolder({}); // this program's own resources hold none
    auto bundled = loadedBundle().getFactory().createInstance<IEditController>(
        reinterpret_cast<const char*>(kControllerWithUIClassBytes.data()));
    ASSERT_TRUE(bundled);
    ASSERT_EQ(bundled->initialize(&hostContext), kResultOk);
    auto view = owned(bundled->createView(ViewType::kEditor));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->attached(host, kPlatformTypeHWND), kResultOk);
    pump(200);
    ASSERT_TRUE(editorWindow());
    // Drawn: the side panel's logo area is not the window's blank background.
    const Image shown = screenshot();
    int lit = 0;
    for (int y = 300; y < 400; ++y)
        for (int x = 20; x < 150; ++x)
            lit += (shown.at(x, y) & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 1000);
    EXPECT_EQ(view->removed(), kResultOk);
    view = nullptr;
    bundled->terminate();
}

TEST_F(EditorWindowWin32, MouseAndKeyMessagesReachTheControlsAndTheHost)
{
    auto view = attachView();
    ASSERT_TRUE(view && view->frame());

    // A drag on OSC 2 Detune of channel 1 (starts at 0.5): 50 of the 200 pixels of its range up.
    const ParamID detune = channelParameterId(0, oscillatorParameterOffset(1, kOscDetune));
    const Point knob = columnPoint(2, 45 + 21, 65 + 21);
    drag(knob, {knob.x, knob.y - 50});
    EXPECT_NEAR(value(detune), 0.75, 1e-9);
    ASSERT_GE(handler->calls.size(), 3u);
    EXPECT_EQ(handler->calls.front().kind, 'b');
    EXPECT_EQ(handler->calls.back().kind, 'e');
    EXPECT_EQ(handler->calls[1].kind, 'p');
    EXPECT_EQ(handler->calls[1].id, detune);

    // With Shift the same drag moves it finer (by the document's zoom factor); Ctrl-click sets the default.
    drag(knob, {knob.x, knob.y + 50}, MK_SHIFT);
    EXPECT_GT(value(detune), 0.5);
    EXPECT_LT(value(detune), 0.75 - 0.01);
    press(knob, MK_CONTROL);
    release(knob, MK_CONTROL);
    pump(40);
    EXPECT_NEAR(value(detune), 0.5, 1e-9);

    // A click on Receive Note Off's box.
    const ParamID noteOff = channelParameterId(0, kReceiveNoteOff);
    click(panelPoint(15 + 85 + 10, 417 + 25 + 12));
    EXPECT_EQ(value(noteOff), 0.0);

    // A typed value: "1800" Hz is the middle of the filter frequency's scale.
    const ParamID frequency = channelParameterId(0, kOscFilterFrequency);
    click(columnPoint(1, 26, 212));
    EXPECT_EQ(::GetFocus(), editorWindow()) << "the window takes the keys while a text is typed";
    type("1800");
    EXPECT_NEAR(value(frequency), 0.5, 1e-6);
    EXPECT_NE(::GetFocus(), editorWindow()) << "and gives them back";

    // The wheel, whose position comes in screen coordinates: one notch up on the detune knob.
    POINT screen{LONG(knob.x), LONG(knob.y)};
    ::ClientToScreen(editorWindow(), &screen);
    const ParamValue before = value(detune);
    ::SendMessageW(editorWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    pump(40);
    EXPECT_GT(value(detune), before);

    // A drag whose mouse another window takes (a host's dialog, Alt+Tab) ends there: the host's
    // gesture is closed, and the moves after it change nothing.
    handler->calls.clear();
    press(knob);
    move({knob.x, knob.y - 20});
    const ParamValue dragged = value(detune);
    EXPECT_GT(dragged, before);
    ::SetCapture(host);
    ::ReleaseCapture();
    ASSERT_FALSE(handler->calls.empty());
    EXPECT_EQ(handler->calls.front().kind, 'b');
    EXPECT_EQ(handler->calls.back().kind, 'e') << "the gesture ends with the capture";
    move({knob.x, knob.y - 60});
    release({knob.x, knob.y - 60});
    EXPECT_EQ(value(detune), dragged);

    EXPECT_EQ(view->removed(), kResultOk);
}

// A right-click on a control pops up the host's menu for its parameter where the pointer is, in the
// window's pixels at any content scale. The window's own context-menu message stays with the editor:
// the host's window would show a second menu. (Empty panel and hosts without menus: the frame's test.)
TEST_F(EditorWindowWin32, RightClickPopsUpTheHostsMenuForTheControlUnderThePointer)
{
    auto menus = owned(new MenuRecordingHandler);
    controller->setComponentHandler(menus);
    auto view = attachView();
    ASSERT_TRUE(view);
    const auto rightClick = [&](Point pixel) {
        ::SendMessageW(editorWindow(), WM_RBUTTONDOWN, MK_RBUTTON, at(pixel));
        ::SendMessageW(editorWindow(), WM_RBUTTONUP, 0, at(pixel));
        pump(40);
    };
    const ParamID detune = channelParameterId(0, oscillatorParameterOffset(1, kOscDetune));
    const Point knob = columnPoint(2, 66 + 3, 86 - 5);
    for (double scale : {1.0, 2.0})
    {
        if (scale == 2)
        {
            ASSERT_EQ(view->setContentScaleFactor(2), kResultTrue);
        }
        menus->requests.clear();
        rightClick({knob.x * scale, knob.y * scale});
        ASSERT_EQ(menus->requests.size(), 1u) << "scale " << scale;
        EXPECT_EQ(menus->requests[0].id, detune);
        EXPECT_EQ(menus->requests[0].view, view.get());
        EXPECT_EQ(menus->requests[0].poppedAt,
                  std::make_pair(UCoord(knob.x * scale), UCoord(knob.y * scale)));
    }
    EXPECT_TRUE(menus->calls.empty()) << "the right button edits nothing";
    EXPECT_EQ(value(detune), 0.5);
    EXPECT_TRUE(atHost(WM_CONTEXTMENU, WM_CONTEXTMENU).empty())
        << "the host's window was asked for a menu of its own";

    EXPECT_EQ(view->removed(), kResultOk);
}

// The pointer resting on a control brings up its tooltip after the delay, drawn beside the pointer;
// moving out of the window takes it away (moves within it: the frame's test). The real pointer is moved, so the moves
// and the leave come as Windows sends them.
TEST_F(EditorWindowWin32, TooltipComesUpWhileThePointerRestsOnAControlAndGoesWhenItMovesOff)
{
    auto view = attachView();
    ASSERT_TRUE(view && view->frame());
    const auto tooltip = [&] {
        const auto* shownFor = view->frame()->tooltipView();
        return shownFor ? shownFor->tooltip : std::string();
    };
    // Milliseconds until the tooltip came up (given up after 3 s).
    const auto restOn = [&](Point p) {
        pointTo(p);
        const DWORD start = ::GetTickCount();
        while (tooltip().empty() && ::GetTickCount() - start < 3000)
            pump(10);
        return ::GetTickCount() - start;
    };
    const Image before = screenshot();
    const Point attack = columnPoint(1, 26, 286);
    EXPECT_GE(restOn(attack), 750u) << "not before the pointer has rested";
    EXPECT_EQ(tooltip(), "Attack Time (sec)");
    const Image shown = screenshot();
    EXPECT_GT(differingPixels(before, shown, attack.x, attack.y, 100, 40), 100) << "drawn beside the pointer";

    // Out of the window, into the host's: gone, it stays away, and the window shows what it showed before.
    pointTo({kWidth + 8, 100});
    pump(1200);
    EXPECT_EQ(tooltip(), "");
    EXPECT_EQ(differingPixels(before, screenshot(), 0, 0, kWidth, kHeight), 0);
    EXPECT_EQ(view->removed(), kResultOk);
}

// While a text is typed the window has the keyboard. Keys the editor does not use go on to the host's
// window; keys with Alt are the host's menu keys and the system's (Alt+F4 closes the host's window),
// and none of them reaches the text.
TEST_F(EditorWindowWin32, KeysTheEditorDoesNotUseAndAltKeysReachTheHost)
{
    auto view = attachView();
    ASSERT_TRUE(view);
    click(columnPoint(1, 26, 212));
    const HWND editor = editorWindow();
    ASSERT_EQ(::GetFocus(), editor);
    constexpr LPARAM kAltDown = LPARAM(KF_ALTDOWN) << 16, kUp = LPARAM(KF_UP | KF_REPEAT) << 16;
    const auto send = [&](UINT message, WPARAM key, LPARAM flags = 0) {
        ::SendMessageW(editor, message, key, 1 | flags);
    };
    const auto press = [&](WPARAM key) {
        send(WM_KEYDOWN, key);
        send(WM_KEYUP, key, kUp);
    };
    const auto typeChars = [&](const char* text) {
        for (; *text; ++text)
            send(WM_CHAR, WPARAM(*text));
    };
    const auto systemCommand = [](WPARAM command) { return std::pair<UINT, WPARAM>{WM_SYSCOMMAND, command}; };

    typeChars("18");
    send(WM_SYSKEYDOWN, VK_LEFT, kAltDown); // not the caret's
    send(WM_SYSKEYUP, VK_LEFT, kAltDown | kUp);
    typeChars("00");
    press(VK_UP);   // not used by a text
    press(VK_F5);   // types nothing
    press(VK_LEFT); // moves the caret
    press('A');     // types (its character would follow)
    BYTE keyboard[256];
    ::GetKeyboardState(keyboard);
    keyboard[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keyboard);
    press('S'); // Ctrl+S: the host's shortcut
    keyboard[VK_CONTROL] = 0;
    ::SetKeyboardState(keyboard);
    const std::vector<std::pair<UINT, WPARAM>> passedOn = {
        {WM_KEYDOWN, VK_UP}, {WM_KEYUP, VK_UP}, {WM_KEYDOWN, VK_F5},
        {WM_KEYUP, VK_F5},   {WM_KEYDOWN, 'S'}, {WM_KEYUP, 'S'},
    };
    EXPECT_EQ(atHost(WM_KEYDOWN, WM_KEYUP), passedOn);
    EXPECT_TRUE(atHost(WM_SYSCOMMAND, WM_SYSCOMMAND).empty());
    EXPECT_EQ(::GetFocus(), editor) << "still typing";

    send(WM_SYSKEYDOWN, VK_F4, kAltDown);
    send(WM_SYSKEYUP, VK_F4, kAltDown | kUp);
    pump(40);
    EXPECT_EQ(atHost(WM_SYSCOMMAND, WM_SYSCOMMAND), (std::vector{systemCommand(SC_CLOSE)}));
    // Alt alone, then Alt+F, open the host's menu bar.
    send(WM_SYSKEYDOWN, VK_MENU, kAltDown);
    send(WM_SYSKEYUP, VK_MENU, kUp);
    pump(40);
    EXPECT_EQ(atHost(WM_SYSCOMMAND, WM_SYSCOMMAND),
              (std::vector{systemCommand(SC_CLOSE), systemCommand(SC_KEYMENU)}));
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_STRING, 1, L"&File");
    ::SetMenu(host, bar);
    ::PostMessageW(host, WM_KEYDOWN, VK_ESCAPE, 1); // for the menu's own loop, which it ends
    send(WM_SYSCHAR, 'f', kAltDown);
    pump(40);
    EXPECT_FALSE(atHost(WM_ENTERMENULOOP, WM_ENTERMENULOOP).empty()) << "Alt+F opens the host's menu";
    ::SetMenu(host, nullptr);
    ::DestroyMenu(bar);
    EXPECT_EQ(::GetFocus(), editor) << "still typing";

    // The user clicks into the host's window: it keeps the keyboard, and the text typed is applied.
    ::SetFocus(host);
    pump(100);
    EXPECT_EQ(::GetFocus(), host);
    EXPECT_NEAR(value(channelParameterId(0, kOscFilterFrequency)), 0.5, 1e-6) << "1800 typed, as in 1-8-0-0";
    // So with an open list, which closes without a choice.
    const ParamID program = channelParameterId(0, kProgramChange);
    const ParamValue before = value(program);
    click(panelPoint(150, 40));
    ASSERT_TRUE(view->frame()->isPopupOpen());
    ASSERT_EQ(::GetFocus(), editor);
    ::SetFocus(host);
    pump(100);
    EXPECT_EQ(::GetFocus(), host);
    EXPECT_FALSE(view->frame()->isPopupOpen());
    EXPECT_EQ(value(program), before);
    EXPECT_EQ(view->removed(), kResultOk);
}

// At a content scale of 2 the window has twice the pixels and draws the double-density bitmaps: it
// shows what the Linux editor renders at that scale. A view given the scale before it is attached
// opens at that size.
TEST_F(EditorWindowWin32, AtContentScaleTwoTheWindowShowsTheLinuxRenderAtThatScale)
{
    setLinuxRenderState();
    ::SetWindowPos(host, nullptr, 0, 0, 2 * kWidth + 40, 2 * kHeight + 60, SWP_NOZORDER | SWP_NOMOVE);
    auto view = attachView();
    ASSERT_TRUE(view);
    ASSERT_EQ(view->setContentScaleFactor(2), kResultTrue);
    for (int round = 0; round < 2; ++round)
    {
        RECT client;
        ::GetClientRect(editorWindow(), &client);
        EXPECT_EQ(client.right, 2 * kWidth) << "round " << round;
        EXPECT_EQ(client.bottom, 2 * kHeight) << "round " << round;
        ViewRect size;
        ASSERT_EQ(view->getSize(&size), kResultOk);
        EXPECT_EQ(size.getWidth(), 2 * kWidth);
        EXPECT_EQ(size.getHeight(), 2 * kHeight);
        if (round == 0)
        {
            EXPECT_EQ(view->removed(), kResultOk);
            ASSERT_EQ(view->attached(host, kPlatformTypeHWND), kResultOk);
        }
    }

    const Image shown = screenshot(2);
    saveRender(shown, "editor-channel-1@2x-windows.png");
    expectLayoutOf("editor-channel-1@2x.png", shown, 2);

    // The volume knob, at 1.0, shows the last of 28 frames of the double-density strip, not of the
    // single one enlarged.
    const Point knob = columnPoint(1, 5, 65);
    const auto lastFrame = [](const char* png, double density) {
        const auto strip = Editor::decodePng(bundlePath(png));
        return drawOffscreen(84, 84, [&](Editor::DrawContext& c) {
            c.fillRect({0, 0, 84, 84}, {0, 0, 0, 1});
            c.scale(2);
            c.drawImage(*strip, density, {0, 27 * 42, 42, 42}, {0, 0, 42, 42}, 1);
        });
    };
    const int x = int(2 * knob.x), y = int(2 * knob.y);
    EXPECT_EQ(differingPixels(shown, x, y, lastFrame("knob@2x.png", 2), 0, 0, 80, 80, 2), 0);
    EXPECT_GT(differingPixels(shown, x, y, lastFrame("knob.png", 1), 0, 0, 80, 80, 2), 100);
    EXPECT_EQ(view->removed(), kResultOk);
}

// The window shows what the Linux editor draws offscreen in the same state (its renders, written by the
// Linux build's editor tests): the same bitmaps and controls in the same places.
TEST_F(EditorWindowWin32, ScreenshotsOfChannelsOneAndTenMatchTheLinuxRenders)
{
    setLinuxRenderState();
    // And OSC 2 on Saw, as in the single-density renders; then channel 10.
    controller->setParamNormalized(channelParameterId(0, oscillatorParameterOffset(1, kOscType)), 4 / 6.0);
    auto view = attachView();
    ASSERT_TRUE(view);
    const struct
    {
        int channel;
        const char* linuxRender;
    } shots[] = {{1, "editor-channel-1.png"}, {10, "editor-channel-10.png"}};
    for (const auto& shot : shots)
    {
        controller->setParamNormalized(kEditorChannelSelectorId, (shot.channel - 1) / 15.0);
        const Image shown = screenshot();
        saveRender(shown, "editor-channel-" + std::to_string(shot.channel) + "-windows.png");
        expectLayoutOf(shot.linuxRender, shown, 1);
    }
    EXPECT_EQ(view->removed(), kResultOk);
}

// The GDI objects of this process, counted in the handle table the process environment block points
// to (Windows maps it into every process, and Wine keeps its objects in one of the same layout, where
// GetGuiResources answers 0): the cells in use whose handle this process can use.
int gdiObjects()
{
    struct Cell
    {
        uint64_t kernelObject;
        uint16_t process, count, upper, type;
        uint64_t userObject;
    };
    constexpr size_t kCells = 0x10000;
    constexpr size_t kTableInPeb = 0xF8; // GdiSharedHandleTable on x64
    PROCESS_BASIC_INFORMATION process{};
    if (FAILED(::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &process,
                                           sizeof process, nullptr)))
        return -1;
    const auto* peb = reinterpret_cast<const char*>(process.PebBaseAddress);
    const auto* table = *reinterpret_cast<const Cell* const*>(peb + kTableInPeb);
    if (!table)
        return -1;
    int objects = 0;
    for (size_t i = 0; i < kCells; ++i)
        objects += (table[i].type & 0x7F) != 0 &&
                   ::GetObjectType(reinterpret_cast<HGDIOBJ>(uintptr_t(table[i].upper) << 16 | i)) != 0;
    return objects;
}

// The bytes in use in the process's heaps, where the C library, COM and Wine's libraries allocate.
size_t heapBytes()
{
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(::GetProcessHeaps(DWORD(heaps.size()), heaps.data()));
    size_t busy = 0;
    for (HANDLE heap : heaps)
    {
        ::HeapLock(heap);
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        ::HeapUnlock(heap);
    }
    return busy;
}

TEST_F(EditorWindowWin32, FiftyOpenCloseCyclesLeakNoHandles)
{
    const auto handles = [] {
        return std::make_pair(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                              ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    };
    // One round first, so that what is made once per process (fonts, factories) exists. The heap is
    // compared over the last ten rounds: Wine's libraries fill caches in the first 35 or so (measured:
    // some 120 KB a round until then, 0.25 KB after).
    constexpr int kRounds = 50, kHeapRounds = 10;
    std::pair<DWORD, DWORD> first;
    int firstGdiObjects = 0;
    size_t heapBefore = 0;
    for (int i = 0; i <= kRounds; ++i)
    {
        if (i == kRounds - kHeapRounds)
            heapBefore = heapBytes();
        auto view = attachView();
        ASSERT_TRUE(view);
        EXPECT_EQ(view->removed(), kResultOk);
        pump(10);
        if (i == 0)
        {
            first = handles();
            firstGdiObjects = gdiObjects();
        }
    }
    // Windows counts the handles, Wine answers 0 for both; the GDI objects are counted in their table
    // on both, and the window and its class tell of the user objects.
    EXPECT_EQ(handles(), first);
    EXPECT_GT(firstGdiObjects, 0);
    EXPECT_EQ(gdiObjects(), firstGdiObjects);
    EXPECT_EQ(editorWindow(), nullptr);
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"TaviroPlugInEditor", &info))
        << "the editor's window class goes with its last window";
    // A copy of the document (577 KB) kept per round makes 5.8 MB.
    EXPECT_LT(heapBytes(), heapBefore + 1024 * 1024)
        << "the heap grew over the last " << kHeapRounds << " rounds";
}

} // namespace
} // namespace Taviro::Test
