#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <functional>
#include <vector>

namespace Taviro::Play {

// The main thread's loop: waits on file descriptors and runs timers. It is the run loop a plug-in
// view asks its frame for on Linux, and taviro-play's own watches (signals, the window, periodic
// work) use it the same way.
class RunLoop : public Steinberg::FObject, public Steinberg::Linux::IRunLoop
{
public:
    using Clock = std::chrono::steady_clock;

    // taviro-play's own: `onReady` when `fd` is readable, `onTime` every `interval`. Each answers
    // an id for `remove`.
    int watch(int fd, std::function<void()> onReady);
    int every(std::chrono::milliseconds interval, std::function<void()> onTime);
    void remove(int id);

    // Waits and dispatches until `done` holds.
    void run(const std::function<bool()>& done);
    // One wait of at most `limit`, then what is due.
    void runOnce(std::chrono::milliseconds limit);

    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) override;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) override;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

    OBJ_METHODS(RunLoop, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    // A registration; `owner` is the plug-in's handler it belongs to (null for our own), so that
    // unregistering finds it. Each has an id so that one removed during dispatch is not called.
    struct Watch
    {
        int id;
        int fd;
        const void* owner;
        std::function<void()> onReady;
    };
    struct Timer
    {
        int id;
        std::chrono::milliseconds interval;
        Clock::time_point due;
        const void* owner;
        std::function<void()> onTime;
    };

    template <typename Item>
    static bool registered(const std::vector<Item>& items, int id);

    std::vector<Watch> watches;
    std::vector<Timer> timers;
    int nextId = 0;
};

} // namespace Taviro::Play
