#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <functional>
#include <string>
#include <vector>

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

namespace Taviro::Test {

using namespace Steinberg;

// An X server of the test's own: Xvfb on the first free display, stopped when the object goes.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();
    bool running() const { return pid > 0 && !name.empty(); }
    const std::string& display() const { return name; }

private:
    pid_t pid = -1;
    int readEnd = -1;
    std::string name;
};

// The host's window frame and run loop, as a DAW offers them to a plug-in view on Linux.
class TestPlugFrame : public FObject, public IPlugFrame, public Linux::IRunLoop
{
public:
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override;
    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) override;
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override;
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) override;
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override;

    // Runs the loop for a while: event handlers when their descriptor is readable, timers when due.
    void run(int milliseconds);
    // Runs the loop until `done` holds, for at most `limitMilliseconds`; whether it came to hold.
    bool runUntil(const std::function<bool()>& done, int limitMilliseconds = 5000);
    size_t registrations() const { return handlers.size() + timers.size(); }
    int resizeRequests = 0;
    ViewRect lastResize;

    OBJ_METHODS(TestPlugFrame, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IPlugFrame)
        DEF_INTERFACE(Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    struct Handler
    {
        Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer
    {
        Linux::ITimerHandler* handler;
        int interval;
        double due;
    };
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
};

// A top-level window standing in for the host's editor window.
class ParentWindow
{
public:
    ParentWindow(int width, int height);
    ~ParentWindow();
    xcb_window_t id() const { return window; }
    xcb_connection_t* connection() const { return conn; }
    std::vector<xcb_window_t> children() const;
    // The window's pixels as 0x00RRGGBB, row by row.
    std::vector<uint32_t> image(int width, int height) const;

private:
    xcb_connection_t* conn;
    xcb_window_t window;
};

int openFileDescriptors();

} // namespace Taviro::Test
