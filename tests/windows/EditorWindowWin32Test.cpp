// The editor as a Windows host meets it: the controller's view attached to a top-level window with
// "HWND", driven by the window messages Windows sends, under Wine on a virtual X display.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "source/ParameterIds.h"
#include "source/controller/ControllerWithUI.h"
#include "source/editor/BitmapImage.h"
#include "source/editor/EditorFrame.h"
#include "source/editor/EditorViewWin32.h"
#include "source/editor/OffscreenImage.h"
#include "source/editor/PopupList.h"
#include "source/editor/ResourceLocation.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/support/HostedPlugIn.h"

namespace Taviro::Test {
namespace {

constexpr int kWidth = 946;
constexpr int kHeight = 565;

class EditorWindowWin32 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The bundle's files, which the module's resources are made of.
        Editor::setEditorResourceFolder(TAVIRO_EDITOR_RESOURCES);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
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
    Image screenshot()
    {
        pump(200);
        Image image{kWidth, kHeight, std::vector<uint32_t>(size_t(kWidth) * kHeight)};
        HDC window = ::GetDC(editorWindow());
        HDC memory = ::CreateCompatibleDC(window);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
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
    size_t editsOf(ParamID id) const
    {
        size_t n = 0;
        for (const auto& call : handler->calls)
            n += call.kind == 'p' && call.id == id;
        return n;
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
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
        {
            const int bx = x + dx, by = y + dy;
            if (bx >= 0 && by >= 0 && bx < b.width && by < b.height &&
                differingPixels(a, x, y, b, bx, by, 1, 1, tolerance) == 0)
                return true;
        }
    return false;
}

// The 8 × 8 blocks of `a` in which more than 8 pixels have no near match in `b`: a moved control or a
// missing bitmap makes many, text in another font's shapes a few.
int differingBlocks(const Image& a, const Image& b, int tolerance)
{
    int blocks = 0;
    for (int by = 0; by + 8 <= a.height; by += 8)
        for (int bx = 0; bx + 8 <= a.width; bx += 8)
        {
            int unmatched = 0;
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x)
                    unmatched += !nearMatch(a, b, x, y, tolerance);
            blocks += unmatched > 8;
        }
    return blocks;
}

// So many differing blocks make another picture.
constexpr int kDifferentPicture = 10;

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
            lit += (pixel(shown, x, y) & 0xFFFFFF) != 0;
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
    EXPECT_GE(editsOf(detune), 1u);

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

    // A menu choice: the program menu's entry 11.
    click(panelPoint(150, 40));
    const Editor::PopupList* list = view->frame()->openPopupList();
    ASSERT_TRUE(list);
    const auto box = list->box();
    click({box.x + 30, box.y + 1 + 11.5 * Editor::PopupList::kRowHeight});
    EXPECT_FALSE(view->frame()->isPopupOpen());
    EXPECT_NEAR(value(channelParameterId(0, kProgramChange)), 11 / 18.0, 1e-12);

    // The wheel, whose position comes in screen coordinates: one notch up on the detune knob.
    POINT screen{LONG(knob.x), LONG(knob.y)};
    ::ClientToScreen(editorWindow(), &screen);
    const ParamValue before = value(detune);
    ::SendMessageW(editorWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    pump(40);
    EXPECT_GT(value(detune), before);

    EXPECT_EQ(view->removed(), kResultOk);
}

// The window shows what the Linux editor draws offscreen in the same state (its renders, written by the
// Linux build's editor tests): the same bitmaps and controls in the same places.
TEST_F(EditorWindowWin32, ScreenshotsOfChannelsOneAndTenMatchTheLinuxRenders)
{
    // The states of the Linux renders: channel 1 with some knobs moved and OSC 1 on Saw, then channel 10.
    controller->setParamNormalized(channelParameterId(0, kOscVolume), 1.0);
    controller->setParamNormalized(channelParameterId(0, kOscFilterFrequency), 1.0);
    controller->setParamNormalized(channelParameterId(0, kOscAttackTime), 0.3);
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
        const std::string name = "editor-channel-" + std::to_string(shot.channel) + "-windows.png";
        saveRender(shown, name);
        const auto reference = Editor::decodePng(TAVIRO_LINUX_RENDERS "/" + std::string(shot.linuxRender));
        ASSERT_TRUE(reference) << shot.linuxRender;
        const Image expected = drawOffscreen(kWidth, kHeight, [&](Editor::DrawContext& c) {
            c.fillRect({0, 0, kWidth, kHeight}, {0, 0, 0, 1});
            c.drawImage(*reference, 1, {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}, 1);
        });
        // Measured under Wine: 4 and 0 blocks; a knob moved by 6 pixels makes 16, the missing logo 88.
        EXPECT_LT(differingBlocks(shown, expected, 64), kDifferentPicture) << name;
    }
    // The same comparison fails for a picture with a knob moved by 6 pixels or the logo's bitmap missing.
    const auto reference = Editor::decodePng(TAVIRO_LINUX_RENDERS "/editor-channel-10.png");
    ASSERT_TRUE(reference);
    const Editor::Rect knob{columnPoint(1, 5, 65).x, columnPoint(1, 5, 65).y, 42, 42};
    const Image shown = screenshot();
    const struct
    {
        const char* fault;
        std::function<void(Editor::DrawContext&)> paint;
    } faults[] = {
        {"a knob 6 pixels to the right",
         [&](Editor::DrawContext& c) {
             c.fillRect(knob, {0, 0, 0, 1});
             c.drawImage(*reference, 1, knob, {knob.x + 6, knob.y, knob.width, knob.height}, 1);
         }},
        {"the logo missing",
         [](Editor::DrawContext& c) {
             c.fillRect({20, 300, 130, 100}, {0.1, 0.1, 0.1, 1});
         }},
    };
    for (const auto& f : faults)
    {
        const Image faulty = drawOffscreen(kWidth, kHeight, [&](Editor::DrawContext& c) {
            c.fillRect({0, 0, kWidth, kHeight}, {0, 0, 0, 1});
            c.drawImage(*reference, 1, {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}, 1);
            f.paint(c);
        });
        EXPECT_GE(differingBlocks(shown, faulty, 64), kDifferentPicture) << f.fault;
    }
    EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorWindowWin32, FiftyOpenCloseCyclesLeakNoHandles)
{
    const auto handles = [] {
        return std::make_pair(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                              ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    };
    // One round first, so that what is made once per process (fonts, factories) exists.
    std::pair<DWORD, DWORD> first;
    for (int i = 0; i <= 50; ++i)
    {
        auto view = attachView();
        ASSERT_TRUE(view);
        EXPECT_EQ(view->removed(), kResultOk);
        pump(10);
        if (i == 0)
            first = handles();
    }
    // Windows counts the handles; Wine answers 0 for both, where the window and its class tell instead.
    EXPECT_EQ(handles(), first);
    EXPECT_EQ(editorWindow(), nullptr);
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"TaviroPlugInEditor", &info))
        << "the editor's window class goes with its last window";
}

} // namespace
} // namespace Taviro::Test
