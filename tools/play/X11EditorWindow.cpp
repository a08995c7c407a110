#include "tools/play/X11EditorWindow.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Taviro::Play {

using namespace Steinberg;

namespace {

constexpr double referenceDpi = 96.0;
constexpr std::uint32_t minimumSizeFlag = 1 << 4; // of WM_NORMAL_HINTS
constexpr std::uint32_t maximumSizeFlag = 1 << 5;
constexpr int sizeHintWords = 18;

// The screen's resolution: the desktop's "Xft.dpi" resource if it sets one, else the size the
// server reports for the screen.
double screenDpi(xcb_connection_t* connection, xcb_screen_t* screen)
{
    double dpi = 0;
    auto cookie =
        xcb_get_property(connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16);
    if (auto* reply = xcb_get_property_reply(connection, cookie, nullptr))
    {
        const char* text = static_cast<const char*>(xcb_get_property_value(reply));
        const std::string resources(text, static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        const auto at = resources.find("Xft.dpi:");
        if (at != std::string::npos)
            dpi = std::atof(resources.c_str() + at + std::strlen("Xft.dpi:"));
        std::free(reply);
    }
    if (dpi <= 0 && screen->width_in_millimeters > 0)
        dpi = screen->width_in_pixels * 25.4 / screen->width_in_millimeters;
    return dpi;
}

} // namespace

double contentScaleForDpi(double dotsPerInch)
{
    if (!(dotsPerInch > 0))
        return 1.0;
    return std::clamp(std::round(dotsPerInch / referenceDpi * 4.0) / 4.0, 1.0, 4.0);
}

IPtr<X11EditorWindow> X11EditorWindow::open(Vst::IEditController& controller, const std::string& title,
                                            RunLoop& loop)
{
    const char* display = std::getenv("DISPLAY");
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
    {
        xcb_disconnect(connection);
        throw DisplayError(std::string("cannot open the display \"") + (display ? display : "") +
                           "\" for the editor; run with --no-gui to play without it");
    }
    IPtr<X11EditorWindow> window = owned(new X11EditorWindow(connection, loop));
    window->create(controller, title);
    return window;
}

X11EditorWindow::X11EditorWindow(xcb_connection_t* connection, RunLoop& loop)
    : connection(connection), loop(loop)
{
}

X11EditorWindow::~X11EditorWindow()
{
    close();
    xcb_disconnect(connection);
}

xcb_atom_t X11EditorWindow::atom(const char* name)
{
    auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_atom_t result = XCB_ATOM_NONE;
    if (auto* reply = xcb_intern_atom_reply(connection, cookie, nullptr))
    {
        result = reply->atom;
        std::free(reply);
    }
    return result;
}

void X11EditorWindow::create(Vst::IEditController& controller, const std::string& title)
{
    view = owned(controller.createView(Vst::ViewType::kEditor));
    if (!view || view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
        throw DisplayError("the plug-in has no editor for X11; run with --no-gui");
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (FUnknownPtr<IPlugViewContentScaleSupport> scaling{view})
        scaling->setContentScaleFactor(static_cast<IPlugViewContentScaleSupport::ScaleFactor>(
            contentScaleForDpi(screenDpi(connection, screen))));
    view->setFrame(this);
    ViewRect size;
    if (view->getSize(&size) != kResultOk || size.getWidth() <= 0 || size.getHeight() <= 0)
        throw DisplayError("the plug-in's editor has no size");

    window = xcb_generate_id(connection);
    const std::uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0,
                      static_cast<std::uint16_t>(size.getWidth()),
                      static_cast<std::uint16_t>(size.getHeight()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const auto length = static_cast<std::uint32_t>(title.size());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        length, title.data());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"),
                        8, length, title.data());
    static constexpr char windowClass[] = "taviro-play\0taviro-play";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof windowClass, windowClass);
    deleteWindow = atom("WM_DELETE_WINDOW");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow);
    setFixedSize(size.getWidth(), size.getHeight());
    xcb_map_window(connection, window);
    xcb_flush(connection);

    if (view->attached(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)),
                       kPlatformTypeX11EmbedWindowID) != kResultOk)
        throw DisplayError("the plug-in's editor could not open in its window");
    attached = true;
    watchId = loop.watch(xcb_get_file_descriptor(connection), [this] { processEvents(); });
}

void X11EditorWindow::setFixedSize(int width, int height)
{
    std::uint32_t hints[sizeHintWords] = {};
    hints[0] = minimumSizeFlag | maximumSizeFlag;
    hints[5] = hints[7] = static_cast<std::uint32_t>(width);
    hints[6] = hints[8] = static_cast<std::uint32_t>(height);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, sizeHintWords, hints);
}

void X11EditorWindow::processEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
    {
        if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE)
        {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->format == 32 && message->data.data32[0] == deleteWindow)
                closeRequested = true;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(connection))
        closeRequested = true; // the display went away
}

void X11EditorWindow::close()
{
    if (watchId >= 0)
        loop.remove(watchId);
    watchId = -1;
    if (view)
    {
        if (attached)
            view->removed();
        view->setFrame(nullptr);
        view = nullptr;
    }
    attached = false;
    if (window)
    {
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
        window = 0;
    }
}

tresult PLUGIN_API X11EditorWindow::resizeView(IPlugView* resized, ViewRect* newSize)
{
    if (!resized || !newSize || !window)
        return kInvalidArgument;
    const std::uint32_t size[] = {static_cast<std::uint32_t>(newSize->getWidth()),
                                  static_cast<std::uint32_t>(newSize->getHeight())};
    setFixedSize(newSize->getWidth(), newSize->getHeight());
    xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(connection);
    return resized->onSize(newSize);
}

// The view finds the run loop through its frame, as it does in a DAW.
tresult PLUGIN_API X11EditorWindow::queryInterface(const TUID iid, void** object)
{
    if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
        return loop.queryInterface(iid, object);
    QUERY_INTERFACE(iid, object, IPlugFrame::iid, IPlugFrame)
    return FObject::queryInterface(iid, object);
}

} // namespace Taviro::Play
