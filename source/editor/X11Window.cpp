#include "source/editor/X11Window.h"

#include <cairo-xcb.h>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "source/editor/CairoDrawContext.h"
#include "source/editor/EditorFrame.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

xcb_visualtype_t* findVisual(xcb_connection_t* connection, xcb_visualid_t visualId)
{
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection)); screens.rem; xcb_screen_next(&screens))
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem; xcb_depth_next(&depths))
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals))
                if (visuals.data->visual_id == visualId)
                    return visuals.data;
    return nullptr;
}

constexpr uint8_t kWheelUp = 4;
constexpr uint8_t kWheelDown = 5;
constexpr uint8_t kEventTypeMask = 0x7F;

std::optional<MouseButton> buttonOf(xcb_button_t detail)
{
    switch (detail)
    {
    case 1:
        return MouseButton::left;
    case 2:
        return MouseButton::middle;
    case 3:
        return MouseButton::right;
    default:
        return std::nullopt;
    }
}

Modifiers modifiersOf(uint16_t state)
{
    return {(state & XCB_MOD_MASK_SHIFT) != 0, (state & XCB_MOD_MASK_CONTROL) != 0,
            (state & XCB_MOD_MASK_1) != 0};
}

} // namespace

std::unique_ptr<X11Window> X11Window::open(xcb_window_t parent, EditorFrame& frame, double scale)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
    {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<X11Window> window(new X11Window(connection, parent, frame));
    if (!window->create(scale))
        return nullptr;
    return window;
}

X11Window::X11Window(xcb_connection_t* c, xcb_window_t p, EditorFrame& f) : connection(c), parent(p), frame(f) {}

X11Window::~X11Window()
{
    keyboard.reset();
    if (surface)
    {
        // cairo keeps per-connection state; it must let go of this connection before it closes, or a
        // later connection at the same address would find stale state.
        cairo_device_finish(cairo_surface_get_device(surface));
        cairo_surface_destroy(surface);
    }
    if (id)
        xcb_destroy_window(connection, id);
    xcb_flush(connection);
    xcb_disconnect(connection);
}

bool X11Window::create(double s)
{
    // The window shares the parent's visual, so it needs no colormap of its own.
    auto* attributes = xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, parent),
                                                       nullptr);
    if (!attributes)
        return false;
    visual = findVisual(connection, attributes->visual);
    std::free(attributes);
    if (!visual)
        return false;

    scale = s;
    width = static_cast<int>(std::lround(frame.size().width * scale));
    height = static_cast<int>(std::lround(frame.size().height * scale));
    id = xcb_generate_id(connection);
    const uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK;
    const uint32_t values[] = {0, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                      XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                      XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                      XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_FOCUS_CHANGE};
    const auto cookie = xcb_create_window_checked(connection, XCB_COPY_FROM_PARENT, id, parent, 0, 0, width,
                                                  height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                                                  mask, values);
    if (xcb_generic_error_t* error = xcb_request_check(connection, cookie))
    {
        std::free(error);
        id = 0;
        return false;
    }
    surface = cairo_xcb_surface_create(connection, id, visual, width, height);
    keyboard = std::make_unique<X11Keyboard>(connection);
    xcb_map_window(connection, id);
    xcb_flush(connection);
    return true;
}

int X11Window::fileDescriptor() const { return xcb_get_file_descriptor(connection); }

void X11Window::setScale(double s)
{
    scale = s;
    width = static_cast<int>(std::lround(frame.size().width * scale));
    height = static_cast<int>(std::lround(frame.size().height * scale));
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    cairo_xcb_surface_set_size(surface, width, height);
    frame.invalidate();
    paint();
    xcb_flush(connection);
}

void X11Window::processEvents()
{
    for (;;)
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        {
            dispatch(*event);
            std::free(event);
        }
        if (frame.needsRedraw())
            paint();
        // Drawing waits for replies from the server, and events that arrive meanwhile are queued
        // without the descriptor showing them again: they are handled now, not at the next event.
        xcb_generic_event_t* queued = xcb_poll_for_queued_event(connection);
        if (!queued)
            break;
        dispatch(*queued);
        std::free(queued);
    }
    xcb_flush(connection);
}

void X11Window::idle()
{
    frame.idle();
    processEvents();
}

void X11Window::dispatch(const xcb_generic_event_t& event)
{
    const auto at = [this](int16_t x, int16_t y) { return Point{x / scale, y / scale}; };
    switch (event.response_type & kEventTypeMask)
    {
    case XCB_EXPOSE:
        exposed = true;
        frame.invalidate();
        break;
    case XCB_BUTTON_PRESS:
    {
        const auto& press = reinterpret_cast<const xcb_button_press_event_t&>(event);
        const Point p = at(press.event_x, press.event_y);
        const Modifiers modifiers = modifiersOf(press.state);
        if (press.detail == kWheelUp || press.detail == kWheelDown)
            frame.wheel(p, press.detail == kWheelUp ? 1 : -1, modifiers);
        else if (const auto button = buttonOf(press.detail))
            frame.mouseDown({p, *button, modifiers, clicks.press(*button, p, press.time)});
        break;
    }
    case XCB_BUTTON_RELEASE:
    {
        const auto& release = reinterpret_cast<const xcb_button_release_event_t&>(event);
        if (buttonOf(release.detail) == MouseButton::left)
            frame.mouseUp(
                {at(release.event_x, release.event_y), MouseButton::left, modifiersOf(release.state)});
        break;
    }
    case XCB_MOTION_NOTIFY:
    {
        const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        frame.mouseMoved({at(motion.event_x, motion.event_y), MouseButton::left, modifiersOf(motion.state)});
        break;
    }
    case XCB_LEAVE_NOTIFY:
        if (reinterpret_cast<const xcb_leave_notify_event_t&>(event).detail != XCB_NOTIFY_DETAIL_INFERIOR)
            frame.mouseLeft();
        break;
    case XCB_KEY_PRESS:
    {
        const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
        if (auto key = keyboard->pressed(press.detail))
        {
            key->modifiers = modifiersOf(press.state);
            frame.keyDown(*key);
        }
        break;
    }
    case XCB_KEY_RELEASE:
        keyboard->released(reinterpret_cast<const xcb_key_release_event_t&>(event).detail);
        break;
    case XCB_FOCUS_OUT:
    {
        // Another window took the keys (a grab only borrows them): the typed text is applied, an
        // open list closes, and the keys are not taken back.
        const auto& out = reinterpret_cast<const xcb_focus_out_event_t&>(event);
        if (hasKeyboard && out.mode == XCB_NOTIFY_MODE_NORMAL && out.detail != XCB_NOTIFY_DETAIL_INFERIOR)
        {
            hasKeyboard = false;
            frame.keyboardLost();
        }
        break;
    }
    default:
        return;
    }
    updateKeyboardFocus();
}

// Keys come to this window only while a text is typed or a list is open; otherwise they stay with the
// host, which may pass them on to the view.
void X11Window::updateKeyboardFocus()
{
    const bool wants = frame.wantsKeyboard();
    if (wants == hasKeyboard)
        return;
    hasKeyboard = wants;
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, wants ? id : parent, XCB_CURRENT_TIME);
}

void X11Window::paint()
{
    if (!exposed)
        return;
    cairo_t* cr = cairo_create(surface);
    // Drawn into a group first and then copied in one go, so the window never shows half a picture.
    cairo_push_group(cr);
    CairoDrawContext context(cr);
    context.scale(scale);
    frame.draw(context);
    cairo_pop_group_to_source(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    xcb_flush(connection);
    frame.redrawDone();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
