#include "tools/play/RunLoop.h"

#include <poll.h>

#include <algorithm>

namespace Taviro::Play {

using namespace Steinberg;

template <typename Item>
bool RunLoop::registered(const std::vector<Item>& items, int id)
{
    return std::any_of(items.begin(), items.end(), [id](const Item& item) { return item.id == id; });
}

int RunLoop::watch(int fd, std::function<void()> onReady)
{
    watches.push_back({nextId, fd, nullptr, std::move(onReady)});
    return nextId++;
}

int RunLoop::every(std::chrono::milliseconds interval, std::function<void()> onTime)
{
    timers.push_back({nextId, interval, Clock::now() + interval, nullptr, std::move(onTime)});
    return nextId++;
}

void RunLoop::remove(int id)
{
    std::erase_if(watches, [id](const Watch& w) { return w.id == id; });
    std::erase_if(timers, [id](const Timer& t) { return t.id == id; });
}

tresult PLUGIN_API RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
    if (!handler)
        return kInvalidArgument;
    watches.push_back({nextId++, fd, handler, [handler, fd] { handler->onFDIsSet(fd); }});
    return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
    const auto removed = std::erase_if(watches, [handler](const Watch& w) { return w.owner == handler; });
    return removed ? kResultOk : kResultFalse;
}

tresult PLUGIN_API RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds)
{
    if (!handler || milliseconds == 0)
        return kInvalidArgument;
    const std::chrono::milliseconds interval(milliseconds);
    timers.push_back(
        {nextId++, interval, Clock::now() + interval, handler, [handler] { handler->onTimer(); }});
    return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
    const auto removed = std::erase_if(timers, [handler](const Timer& t) { return t.owner == handler; });
    return removed ? kResultOk : kResultFalse;
}

void RunLoop::run(const std::function<bool()>& done)
{
    while (!done())
        runOnce(std::chrono::milliseconds(100));
}

void RunLoop::runOnce(std::chrono::milliseconds limit)
{
    auto wake = Clock::now() + limit;
    for (const Timer& timer : timers)
        wake = std::min(wake, timer.due);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now());

    std::vector<pollfd> fds;
    for (const Watch& w : watches)
        fds.push_back({w.fd, POLLIN, 0});
    std::vector<Watch> polled = watches; // a handler may register or unregister others
    ::poll(fds.data(), fds.size(), static_cast<int>(std::max<long>(0, wait.count())));
    for (std::size_t i = 0; i < fds.size(); ++i)
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) && registered(watches, polled[i].id))
            polled[i].onReady();

    const auto now = Clock::now();
    std::vector<Timer> current = timers;
    for (const Timer& timer : current)
    {
        if (timer.due > now || !registered(timers, timer.id))
            continue;
        for (Timer& stored : timers)
            if (stored.id == timer.id)
                stored.due = now + stored.interval;
        timer.onTime();
    }
}

} // namespace Taviro::Play
