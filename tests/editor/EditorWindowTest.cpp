// The plug-in view in a real X server (an Xvfb of the test's own), embedded into a host window and
// driven by a host run loop.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "EditorTestSupport.h"
#include "X11TestHost.h"
#include "source/editor/EditorView.h"
#include "source/editor/ResourceLocation.h"

namespace Taviro::Test {
namespace {

constexpr int kWidth = 946;
constexpr int kHeight = 565;

class EditorWindow : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        display = new VirtualDisplay;
        Editor::setEditorResourceFolder(TAVIRO_BUNDLE_DIR "/Contents/Resources");
    }
    static void TearDownTestSuite()
    {
        delete display;
        display = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(display->running()) << "Xvfb could not be started";
        parent = std::make_unique<ParentWindow>(kWidth, kHeight);
        plugFrame = owned(new TestPlugFrame);
    }

    IPtr<Editor::EditorView> makeView()
    {
        auto view = owned(new Editor::EditorView(host.controller));
        view->setFrame(plugFrame);
        return view;
    }
    void* parentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(parent->id())); }

    // Sends a button press and release to the editor's window as the server would.
    void clickAt(xcb_window_t window, int x, int y, uint8_t button = 1)
    {
        for (uint8_t type : {XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE})
        {
            xcb_button_press_event_t event{};
            event.response_type = type;
            event.detail = button;
            event.event = window;
            event.event_x = static_cast<int16_t>(x);
            event.event_y = static_cast<int16_t>(y);
            event.same_screen = 1;
            xcb_send_event(parent->connection(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&event));
        }
        xcb_flush(parent->connection());
    }
    // Sends a key press and release (a key code of the server's layout).
    void keyAt(xcb_window_t window, xcb_keycode_t code)
    {
        for (uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE})
        {
            xcb_key_press_event_t event{};
            event.response_type = type;
            event.detail = code;
            event.event = window;
            event.same_screen = 1;
            xcb_send_event(parent->connection(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&event));
        }
        xcb_flush(parent->connection());
    }
    // How much of the window shows what the offscreen drawing of the same editor shows.
    double matchWithOffscreenRender(Editor::EditorView& view)
    {
        const auto shown = parent->image(kWidth, kHeight);
        if (shown.size() != static_cast<size_t>(kWidth * kHeight))
            return 0;
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
        cairo_t* cr = cairo_create(image);
        view.frame()->draw(cr);
        cairo_destroy(cr);
        cairo_surface_flush(image);
        int same = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                same += (pixel(image, x, y) & 0xFFFFFF) == shown[y * kWidth + x];
        cairo_surface_destroy(image);
        return static_cast<double>(same) / (kWidth * kHeight);
    }

    static VirtualDisplay* display;
    ControllerUnderTest host;
    std::unique_ptr<ParentWindow> parent;
    IPtr<TestPlugFrame> plugFrame;
};

VirtualDisplay* EditorWindow::display = nullptr;

TEST_F(EditorWindow, AttachedViewShowsTheEditorAndDetachesCleanly)
{
    auto view = makeView();
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), kWidth);
    EXPECT_EQ(size.getHeight(), kHeight);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->attached(parentHandle(), kPlatformTypeHWND), kResultFalse);

    for (int round = 0; round < 2; ++round)
    {
        ASSERT_EQ(view->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
        EXPECT_EQ(view->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultFalse) << "twice";
        ASSERT_EQ(parent->children().size(), 1u);
        // Under load the first picture may take a while.
        plugFrame->runUntil([&] { return matchWithOffscreenRender(*view) > 0.99; });

        const auto shown = parent->image(kWidth, kHeight);
        ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
        const std::set<uint32_t> colours(shown.begin(), shown.end());
        EXPECT_GT(colours.size(), 200u) << "the window is blank";
        EXPECT_GT(matchWithOffscreenRender(*view), 0.99);

        EXPECT_EQ(view->removed(), kResultOk);
        EXPECT_TRUE(parent->children().empty());
        EXPECT_EQ(plugFrame->registrations(), 0u);
    }
    EXPECT_EQ(view->removed(), kResultFalse) << "not attached";
}

TEST_F(EditorWindow, MouseAndKeysFromTheServerReachTheControls)
{
    auto view = makeView();
    ASSERT_EQ(view->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    plugFrame->run(100);
    const xcb_window_t editor = parent->children().at(0);

    // The "Receive Note off" box of channel 1.
    const ParamID noteOff = channelParameterId(0, kReceiveNoteOff);
    clickAt(editor, 180 + 15 + 85 + 10, 10 + 417 + 25 + 12);
    EXPECT_TRUE(plugFrame->runUntil([&] { return host.controller->getParamNormalized(noteOff) == 0.0; }));

    // The filter frequency field of OSC 1, then "1800" and Return as key codes of the US layout
    // (Xvfb's default).
    clickAt(editor, 180 + 15 + 10 + 5 + 21, 10 + 55 + 30 + 205 + 7);
    plugFrame->run(50);
    for (xcb_keycode_t code : {10, 17, 19, 19, 36})
        keyAt(editor, code);
    const ParamID frequency = channelParameterId(0, kOscFilterFrequency);
    plugFrame->runUntil([&] { return host.controller->getParamNormalized(frequency) != 0.0; });
    EXPECT_NEAR(host.controller->getParamNormalized(frequency), 0.5, 1e-6);

    // Button 4 is the wheel turned away from the user: the OSC 1 volume knob goes up a notch.
    const ParamID volume = channelParameterId(0, kOscVolume);
    const double before = host.controller->getParamNormalized(volume);
    clickAt(editor, 180 + 15 + 10 + 5 + 21, 10 + 55 + 30 + 65 + 21, 4);
    plugFrame->runUntil([&] { return host.controller->getParamNormalized(volume) != before; });
    EXPECT_NEAR(host.controller->getParamNormalized(volume), before + 0.01, 1e-9);

    EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorWindow, ContentScaleResizesTheFixedSize)
{
    auto view = makeView();
    FUnknownPtr<IPlugViewContentScaleSupport> scaling(static_cast<IPlugView*>(view.get()));
    ASSERT_TRUE(scaling);
    ASSERT_EQ(view->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    ViewRect size;
    view->getSize(&size);
    EXPECT_EQ(size.getWidth(), 2 * kWidth);
    EXPECT_EQ(size.getHeight(), 2 * kHeight);
    EXPECT_EQ(plugFrame->resizeRequests, 1);
    EXPECT_EQ(plugFrame->lastResize.getWidth(), 2 * kWidth);

    // Only the one size fits.
    ViewRect other(0, 0, 800, 600);
    EXPECT_EQ(view->onSize(&other), kResultFalse);
    EXPECT_EQ(view->checkSizeConstraint(&other), kResultTrue);
    EXPECT_EQ(other.getWidth(), 2 * kWidth);

    auto* geometry = xcb_get_geometry_reply(parent->connection(),
                                            xcb_get_geometry(parent->connection(), parent->children().at(0)),
                                            nullptr);
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->width, 2 * kWidth);
    std::free(geometry);
    EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorWindow, WithoutRunLoopOrResourcesTheViewDoesNotAttach)
{
    auto withoutFrame = owned(new Editor::EditorView(host.controller));
    EXPECT_EQ(withoutFrame->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_TRUE(parent->children().empty());

    Editor::setEditorResourceFolder("/nonexistent");
    auto withoutResources = makeView();
    EXPECT_EQ(withoutResources->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    Editor::setEditorResourceFolder(TAVIRO_BUNDLE_DIR "/Contents/Resources");
    EXPECT_TRUE(parent->children().empty());
    EXPECT_EQ(plugFrame->registrations(), 0u);
    EXPECT_EQ(withoutResources->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(withoutResources->removed(), kResultOk);
}

TEST_F(EditorWindow, HundredOpenCloseCyclesLeakNothing)
{
    // One round first, so that lazily created process-wide state (fonts, caches) exists.
    {
        auto view = makeView();
        ASSERT_EQ(view->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
        plugFrame->run(20);
        view->removed();
    }
    const int descriptors = openFileDescriptors();
    for (int i = 0; i < 100; ++i)
    {
        auto view = makeView();
        ASSERT_EQ(view->attached(parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
        plugFrame->run(2);
        ASSERT_EQ(view->removed(), kResultOk);
    }
    EXPECT_EQ(openFileDescriptors(), descriptors);
    EXPECT_TRUE(parent->children().empty());
    EXPECT_EQ(plugFrame->registrations(), 0u);
}

} // namespace
} // namespace Taviro::Test
