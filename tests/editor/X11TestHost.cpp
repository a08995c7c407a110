#include "X11TestHost.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace Taviro::Test {

namespace {
double nowMilliseconds()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

VirtualDisplay::VirtualDisplay()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    pid = fork();
    if (pid == 0)
    {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number it took, then a newline, once it accepts clients. The pipe stays
    // open while the server runs: it writes the number again when it resets.
    readEnd = fds[0];
    std::string number;
    pollfd p{readEnd, POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) > 0 && read(readEnd, &c, 1) == 1 && c != '\n')
        number += c;
    if (c == '\n' && !number.empty())
    {
        name = ":" + number;
        setenv("DISPLAY", name.c_str(), 1);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid > 0)
    {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    if (readEnd >= 0)
        close(readEnd);
}

tresult PLUGIN_API TestPlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    ++resizeRequests;
    lastResize = *newSize;
    return view->onSize(newSize);
}

tresult PLUGIN_API TestPlugFrame::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
    handlers.push_back({handler, fd});
    return kResultOk;
}

tresult PLUGIN_API TestPlugFrame::unregisterEventHandler(Linux::IEventHandler* handler)
{
    std::erase_if(handlers, [&](const Handler& h) { return h.handler == handler; });
    return kResultOk;
}

tresult PLUGIN_API TestPlugFrame::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms)
{
    timers.push_back({handler, static_cast<int>(ms), nowMilliseconds() + ms});
    return kResultOk;
}

tresult PLUGIN_API TestPlugFrame::unregisterTimer(Linux::ITimerHandler* handler)
{
    std::erase_if(timers, [&](const Timer& t) { return t.handler == handler; });
    return kResultOk;
}

void TestPlugFrame::run(int milliseconds)
{
    const double end = nowMilliseconds() + milliseconds;
    while (nowMilliseconds() < end)
    {
        std::vector<pollfd> fds;
        for (const auto& h : handlers)
            fds.push_back({h.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), 5);
        // Copies: a handler may unregister itself.
        const auto currentHandlers = handlers;
        for (size_t i = 0; i < fds.size() && i < currentHandlers.size(); ++i)
            if (fds[i].revents & POLLIN)
                currentHandlers[i].handler->onFDIsSet(currentHandlers[i].fd);
        const double now = nowMilliseconds();
        for (auto& t : timers)
            if (now >= t.due)
            {
                t.due = now + t.interval;
                t.handler->onTimer();
            }
    }
}

bool TestPlugFrame::runUntil(const std::function<bool()>& done, int limitMilliseconds)
{
    const double end = nowMilliseconds() + limitMilliseconds;
    while (!done())
    {
        if (nowMilliseconds() >= end)
            return false;
        run(20);
    }
    return true;
}

ParentWindow::ParentWindow(int width, int height) : conn(xcb_connect(nullptr, nullptr))
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    window = xcb_generate_id(conn);
    const uint32_t values[] = {screen->white_pixel};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_map_window(conn, window);
    xcb_flush(conn);
}

ParentWindow::~ParentWindow()
{
    xcb_destroy_window(conn, window);
    xcb_disconnect(conn);
}

std::vector<xcb_window_t> ParentWindow::children() const
{
    std::vector<xcb_window_t> list;
    if (auto* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, window), nullptr))
    {
        const auto* c = xcb_query_tree_children(tree);
        list.assign(c, c + xcb_query_tree_children_length(tree));
        std::free(tree);
    }
    return list;
}

std::vector<uint32_t> ParentWindow::image(int width, int height) const
{
    std::vector<uint32_t> pixels;
    auto* reply = xcb_get_image_reply(
        conn, xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr);
    if (!reply)
        return pixels;
    const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
    if (xcb_get_image_data_length(reply) >= width * height * 4)
        for (int i = 0; i < width * height; ++i)
            pixels.push_back(data[i] & 0xFFFFFF);
    std::free(reply);
    return pixels;
}

int openFileDescriptors()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd"))
    {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

} // namespace Taviro::Test
