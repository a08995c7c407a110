#pragma once

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Taviro::Test {

// Xvfb on a free display, from a shell that tells its process id first; DISPLAY then names it. The
// read waits (however long a loaded machine takes) for the display number; the pipe stays open: the
// server writes again on resets.
struct VirtualDisplay
{
    VirtualDisplay()
        : out(popen("echo $$; exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp -noreset", "r"))
    {
        char pidLine[32], number[32];
        if (out && std::fgets(pidLine, sizeof pidLine, out) && std::fgets(number, sizeof number, out))
        {
            pid = std::atoi(pidLine);
            name = std::string(":").append(number, std::strcspn(number, "\n"));
            setenv("DISPLAY", name.c_str(), 1);
        }
    }
    ~VirtualDisplay()
    {
        if (pid > 0)
            kill(pid, SIGTERM);
        if (out)
            pclose(out);
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    FILE* out;
    pid_t pid = -1;
    std::string name;
};

} // namespace Taviro::Test
