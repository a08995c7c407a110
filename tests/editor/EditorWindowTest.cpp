// The editor as a host meets it: the view the bundle's controller opens, embedded into a window of
// a real X server (an Xvfb of the test's own) and driven by a host run loop.
#include <poll.h>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "EditorTestSupport.h"
#include "source/editor/UIDescription.h"
#include "tests/support/HostedPlugIn.h"
#include "tests/support/VirtualDisplay.h"

namespace Taviro::Test {
namespace {

constexpr int kWidth = 946;
constexpr int kHeight = 565;

// The host's window frame and run loop, as a DAW offers them to a plug-in view on Linux.
class TestPlugFrame : public FObject, public IPlugFrame, public Linux::IRunLoop
{
public:
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override { return view->onSize(newSize); }
    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
    {
        handlers.push_back({handler, fd});
        return kResultOk;
    }
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override
    {
        std::erase_if(handlers, [&](const auto& h) { return h.first == handler; });
        return kResultOk;
    }
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval) override
    {
        timers.push_back(handler);
        return kResultOk;
    }
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override
    {
        std::erase(timers, handler);
        return kResultOk;
    }

    // Runs the loop (handlers when their descriptor is readable, timers every 5 ms or so) until
    // `done` holds or `limitMs` pass (generous: CI machines are loaded); whether `done` came to hold.
    bool runUntil(const std::function<bool()>& done, int limitMs = 10000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (!done())
        {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::vector<pollfd> fds;
            for (const auto& h : handlers)
                fds.push_back({h.second, POLLIN, 0});
            poll(fds.data(), fds.size(), 5);
            const auto current = handlers; // a handler may unregister itself
            for (size_t i = 0; i < fds.size(); ++i)
                if (fds[i].revents & POLLIN)
                    current[i].first->onFDIsSet(current[i].second);
            for (auto* timer : std::vector(timers))
                timer->onTimer();
        }
        return true;
    }
    void run(int ms) { runUntil([] { return false; }, ms); }
    size_t registrations() const { return handlers.size() + timers.size(); }

    OBJ_METHODS(TestPlugFrame, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IPlugFrame)
        DEF_INTERFACE(Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    std::vector<std::pair<Linux::IEventHandler*, int>> handlers;
    std::vector<Linux::ITimerHandler*> timers;
};

class EditorWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static VirtualDisplay display; // one for the program, stopped at its end
        ASSERT_FALSE(display.name.empty()) << "Xvfb could not be started";
        controller = loadedBundle().getFactory().createInstance<IEditController>(
            reinterpret_cast<const char*>(kControllerWithUIClassBytes.data()));
        ASSERT_TRUE(controller);
        ASSERT_EQ(controller->initialize(&hostContext), kResultOk);
        conn = xcb_connect(nullptr, nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
        parent = xcb_generate_id(conn);
        const uint32_t white[] = {screen->white_pixel};
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, parent, screen->root, 0, 0, kWidth, kHeight, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, white);
        xcb_map_window(conn, parent);
        xcb_flush(conn);
    }
    void TearDown() override
    {
        if (conn)
        {
            xcb_destroy_window(conn, parent);
            xcb_disconnect(conn);
        }
        if (controller)
            controller->terminate();
    }

    IPtr<IPlugView> openView()
    {
        IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
        if (view)
            view->setFrame(plugFrame);
        return view;
    }
    tresult attach(IPlugView& view)
    {
        return view.attached(reinterpret_cast<void*>(uintptr_t(parent)), kPlatformTypeX11EmbedWindowID);
    }
    std::vector<xcb_window_t> children() const
    {
        std::vector<xcb_window_t> list;
        if (auto* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, parent), nullptr))
        {
            list.assign(xcb_query_tree_children(tree), xcb_query_tree_children(tree) + tree->children_len);
            std::free(tree);
        }
        return list;
    }
    // The parent window's pixels as 0x00RRGGBB, row by row.
    std::vector<uint32_t> shown() const
    {
        std::vector<uint32_t> pixels;
        auto* reply = xcb_get_image_reply(
            conn, xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, parent, 0, 0, kWidth, kHeight, ~0u), nullptr);
        const int n = reply && xcb_get_image_data_length(reply) >= kWidth * kHeight * 4 ? kWidth * kHeight : 0;
        const auto* data = reply ? reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply)) : nullptr;
        for (int i = 0; i < n; ++i)
            pixels.push_back(data[i] & 0xFFFFFF);
        std::free(reply);
        return pixels;
    }
    // One button, key or motion event (`detail`: button or key code) as the server sends it.
    void sendOne(uint8_t type, uint8_t detail, int x = 0, int y = 0, uint16_t state = 0)
    {
        const xcb_window_t editor = children().at(0);
        xcb_button_press_event_t event{};
        event.response_type = type;
        event.detail = detail;
        event.time = eventTime += 1000; // far enough apart to be no double-click
        event.event = editor;
        event.event_x = static_cast<int16_t>(x);
        event.event_y = static_cast<int16_t>(y);
        event.state = state;
        event.same_screen = 1;
        xcb_send_event(conn, 0, editor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(conn);
    }
    // A button or key press and release.
    void send(uint8_t press, uint8_t detail, int x = 0, int y = 0)
    {
        sendOne(press, detail, x, y);
        sendOne(press + 1, detail, x, y);
    }
    ParamValue value(ParamID id) const { return controller->getParamNormalized(id); }

    HostApplication hostContext; // not reference counted: lives as long as the controller
    IPtr<IEditController> controller;
    IPtr<TestPlugFrame> plugFrame = owned(new TestPlugFrame);
    xcb_connection_t* conn = nullptr;
    xcb_window_t parent = 0;
    xcb_timestamp_t eventTime = 0;
};

// Only the name "editor" opens a view; it needs the host's run loop, has a fixed size, and shows
// the editor in the host's window as often as it is attached.
TEST_F(EditorWindow, AttachedViewShowsTheEditorAndAttachesAgainAfterRemoval)
{
    // What the window must show: the offscreen drawing of an editor in the same (initial) state.
    FrameUnderTest offscreen;
    ASSERT_TRUE(offscreen.frame);
    const Image expected = offscreen.render();
    const auto matching = [&] {
        const auto pixels = shown();
        int same = 0;
        for (int i = 0; i < static_cast<int>(pixels.size()); ++i)
            same += (expected.at(i % kWidth, i / kWidth) & 0xFFFFFF) == pixels[i];
        return static_cast<double>(same) / (kWidth * kHeight);
    };

    for (const char* name : {"Editor", "", "EDITOR", "editor "})
        EXPECT_EQ(controller->createView(name), nullptr) << '"' << name << '"';
    EXPECT_EQ(controller->createView(nullptr), nullptr);
    IPtr<IPlugView> withoutRunLoop = owned(controller->createView(ViewType::kEditor));
    EXPECT_EQ(attach(*withoutRunLoop), kResultFalse);

    auto view = openView();
    ASSERT_TRUE(view);
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), kWidth);
    EXPECT_EQ(size.getHeight(), kHeight);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_EQ(attach(*view), kResultOk);
        EXPECT_EQ(attach(*view), kResultFalse) << "twice";
        ASSERT_EQ(children().size(), 1u);
        EXPECT_TRUE(plugFrame->runUntil([&] { return matching() > 0.99; })) << "round " << round;
        const auto pixels = shown();
        EXPECT_GT(std::set<uint32_t>(pixels.begin(), pixels.end()).size(), 200u) << "the window is blank";

        EXPECT_EQ(view->removed(), kResultOk);
        EXPECT_TRUE(children().empty());
        EXPECT_EQ(plugFrame->registrations(), 0u);
    }
    EXPECT_EQ(view->removed(), kResultFalse) << "not attached";
}

// Events that arrive while the window draws must not wait for the next event.
TEST_F(EditorWindow, MouseAndKeysFromTheServerReachTheControls)
{
    auto view = openView();
    ASSERT_TRUE(view);
    ASSERT_EQ(attach(*view), kResultOk);
    plugFrame->run(100);

    const ParamID noteOff = channelParameterId(0, kReceiveNoteOff);
    const Point box = panelPoint(15 + 85 + 10, 417 + 25 + 12);
    send(XCB_BUTTON_PRESS, 1, box.x, box.y);
    EXPECT_TRUE(plugFrame->runUntil([&] { return value(noteOff) == 0.0; }));

    // "1800" and Return into OSC 1's filter frequency, as key codes of Xvfb's default US layout.
    const Point field = columnPoint(1, 26, 212);
    send(XCB_BUTTON_PRESS, 1, field.x, field.y);
    for (uint8_t code : {10, 17, 19, 19, 36})
        send(XCB_KEY_PRESS, code);
    const ParamID frequency = channelParameterId(0, kOscFilterFrequency);
    plugFrame->runUntil([&] { return value(frequency) != 0.0; });
    EXPECT_NEAR(value(frequency), 0.5, 1e-6);

    // Typing without Return, then the host takes the keys: the text is applied all the same.
    send(XCB_BUTTON_PRESS, 1, field.x, field.y);
    for (uint8_t code : {22, 22, 22, 22, 10, 11})
        send(XCB_KEY_PRESS, code); // four Backspaces, "12"
    xcb_focus_out_event_t focusOut{};
    focusOut.response_type = XCB_FOCUS_OUT;
    focusOut.detail = XCB_NOTIFY_DETAIL_NONLINEAR;
    focusOut.event = children().at(0);
    focusOut.mode = XCB_NOTIFY_MODE_NORMAL;
    xcb_send_event(conn, 0, focusOut.event, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&focusOut));
    xcb_flush(conn);
    EXPECT_TRUE(plugFrame->runUntil([&] { return value(frequency) != 0.5; })) << "the typed text was dropped";
    EXPECT_LT(value(frequency), 0.5);

    EXPECT_EQ(view->removed(), kResultOk);
}

// The window hands the frame the button and the modifiers of each event: a right-click opens the
// host's menu for the knob's parameter at the pointer, a drag with Shift moves the knob by the
// document's zoom factor more finely.
TEST_F(EditorWindow, RightClickAndShiftDragFromTheServerReachTheFrameWithTheirModifiers)
{
    auto host = owned(new MenuRecordingHandler);
    ASSERT_EQ(controller->setComponentHandler(host), kResultOk);
    auto view = openView();
    ASSERT_TRUE(view);
    ASSERT_EQ(attach(*view), kResultOk);
    plugFrame->run(100);

    const ParamID volume = channelParameterId(0, kOscVolume); // starts at 0.8
    const Point knob = columnPoint(1, 26, 86);
    send(XCB_BUTTON_PRESS, 3, knob.x, knob.y);
    ASSERT_TRUE(plugFrame->runUntil([&] { return !host->requests.empty(); }));
    EXPECT_EQ(host->requests[0].id, volume);
    EXPECT_EQ(host->requests[0].view, view.get());
    EXPECT_EQ(host->requests[0].poppedAt, std::make_pair(UCoord(knob.x), UCoord(knob.y)));

    const auto text = Editor::folderReader(TAVIRO_BUNDLE_DIR "/Contents/Resources")("TaviroPlugIn.uidesc");
    ASSERT_TRUE(text);
    const auto document = Editor::UIDescription::parse(*text);
    ASSERT_TRUE(document);
    const double zoom = knobZoomFactor(*document, "MC1", "OSC1Volume_MIDIChannel1");
    ASSERT_GT(zoom, 1.0);
    const uint16_t shift = XCB_MOD_MASK_SHIFT, dragging = shift | uint16_t(XCB_BUTTON_MASK_1);
    sendOne(XCB_BUTTON_PRESS, 1, knob.x, knob.y, shift);
    sendOne(XCB_MOTION_NOTIFY, 0, knob.x, knob.y + 30, dragging);
    sendOne(XCB_MOTION_NOTIFY, 0, knob.x, knob.y + 60, dragging);
    sendOne(XCB_BUTTON_RELEASE, 1, knob.x, knob.y + 60, dragging);
    EXPECT_TRUE(plugFrame->runUntil([&] { return !host->calls.empty() && host->calls.back().kind == 'e'; }));
    // 60 of the 200 pixels of the range down, slowed by the zoom factor.
    EXPECT_NEAR(value(volume), 0.8 - 0.3 / zoom, 1e-9);

    // Keys stay with the host, which passes them on: Up with Shift (the SDK's key code 12 and
    // modifier bit 1) nudges the knob under the pointer by a hundredth, slowed by the zoom factor.
    sendOne(XCB_MOTION_NOTIFY, 0, knob.x, knob.y);
    EXPECT_TRUE(plugFrame->runUntil([&] { return view->onKeyDown(0, 12, 1) == kResultTrue; }));
    EXPECT_NEAR(value(volume), 0.8 - 0.3 / zoom + 0.01 / zoom, 1e-9);
    EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse) << "a key the editor does not use";

    EXPECT_EQ(view->removed(), kResultOk);
    controller->setComponentHandler(nullptr);
}

TEST_F(EditorWindow, HundredOpenCloseCyclesLeakNothing)
{
    const auto openFileDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    // One round first, so that process-wide state created on first use (fonts, caches) exists.
    long descriptors = 0;
    for (int i = 0; i <= 100; ++i)
    {
        auto view = openView();
        ASSERT_EQ(attach(*view), kResultOk);
        plugFrame->run(i == 0 ? 20 : 2);
        ASSERT_EQ(view->removed(), kResultOk);
        if (i == 0)
            descriptors = openFileDescriptors();
    }
    EXPECT_EQ(openFileDescriptors(), descriptors);
    EXPECT_TRUE(children().empty());
    EXPECT_EQ(plugFrame->registrations(), 0u);
}

} // namespace
} // namespace Taviro::Test
