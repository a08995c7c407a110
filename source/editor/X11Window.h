#pragma once

#include <memory>

#include <cairo.h>
#include <xcb/xcb.h>

#include "source/editor/ClickCounter.h"
#include "source/editor/X11Keyboard.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class EditorFrame;

// The editor's own X11 window inside the host's window, on a display connection of its own. It
// turns X events (with their buttons, modifiers and double-clicks) into the frame's events and draws
// the frame when it asks for it; every behaviour lives in the frame.
class X11Window
{
public:
    // Nothing when the display cannot be reached or the parent is not a window.
    static std::unique_ptr<X11Window> open(xcb_window_t parent, EditorFrame& frame, double scale);
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    int fileDescriptor() const;
    xcb_window_t window() const { return id; }
    // Handles every event waiting on the connection, then draws if needed.
    void processEvents();
    // Lets the frame catch up with parameters and animations, then draws if needed.
    void idle();
    void setScale(double scale);

private:
    X11Window(xcb_connection_t* connection, xcb_window_t parent, EditorFrame& frame);
    bool create(double scale);
    void dispatch(const xcb_generic_event_t& event);
    void paint();
    void updateKeyboardFocus();

    xcb_connection_t* connection;
    xcb_window_t parent;
    xcb_window_t id = 0;
    xcb_visualtype_t* visual = nullptr;
    EditorFrame& frame;
    cairo_surface_t* surface = nullptr;
    double scale = 1;
    int width = 0;
    int height = 0;
    bool exposed = false;
    bool hasKeyboard = false;
    std::unique_ptr<X11Keyboard> keyboard;
    ClickCounter clicks;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
