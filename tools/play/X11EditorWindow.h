#pragma once

#include "tools/play/RunLoop.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <xcb/xcb.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace Taviro::Play {

// The display cannot be opened or the editor cannot be shown; the message is for the user.
class DisplayError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The plug-in's editor in a top-level X11 window of its own: titled, of the view's fixed size (the
// window manager is told it cannot be resized), at the content scale of the screen, driven by the
// main run loop. Closing the window (the window manager's close button) sets `closed`.
class X11EditorWindow : public Steinberg::FObject, public Steinberg::IPlugFrame
{
public:
    // Throws DisplayError.
    static Steinberg::IPtr<X11EditorWindow> open(Steinberg::Vst::IEditController& controller,
                                                 const std::string& title, RunLoop& loop);
    ~X11EditorWindow() override;

    bool closed() const { return closeRequested; }
    // Detaches the view and destroys the window; also done on destruction.
    void close();

    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view,
                                             Steinberg::ViewRect* newSize) override;
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** object) override;

    OBJ_METHODS(X11EditorWindow, FObject)
    REFCOUNT_METHODS(FObject)

private:
    X11EditorWindow(xcb_connection_t* connection, RunLoop& loop);
    void create(Steinberg::Vst::IEditController& controller, const std::string& title);
    void setFixedSize(int width, int height);
    void processEvents();
    xcb_atom_t atom(const char* name);

    xcb_connection_t* connection;
    RunLoop& loop;
    xcb_window_t window = 0;
    int watchId = -1;
    xcb_atom_t deleteWindow = 0;
    Steinberg::IPtr<Steinberg::IPlugView> view;
    bool attached = false;
    bool closeRequested = false;
};

// The content scale for a screen of `dotsPerInch`: whole quarters of 96 dpi, from 1 to 4.
double contentScaleForDpi(double dotsPerInch);

} // namespace Taviro::Play
