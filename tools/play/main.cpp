// taviro-play: the Taviro PlugIn instrument as a live player on JACK, with its editor in a window
// of its own and its sound settings kept between runs.

#include "tools/play/Player.h"
#include "tools/play/RunLoop.h"
#include "tools/play/X11EditorWindow.h"
#include "tools/render/RenderOptions.h"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <unistd.h>

using namespace Taviro::Play;

namespace {

constexpr auto serviceInterval = std::chrono::milliseconds(20);

int signalPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(signalPipe[1], &byte, 1); // all a signal handler may do
}

void catchQuitSignals()
{
    if (::pipe(signalPipe) != 0)
        throw std::runtime_error("cannot set up signal handling");
    struct sigaction action
    {
    };
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int play(const PlayOptions& options, const std::string& argumentZero)
{
    catchQuitSignals();
    Player player(options, argumentZero, std::cerr);
    Steinberg::IPtr<RunLoop> loop = Steinberg::owned(new RunLoop);
    bool quit = false;
    loop->watch(signalPipe[0], [&quit] {
        char bytes[16];
        [[maybe_unused]] auto read = ::read(signalPipe[0], bytes, sizeof bytes);
        quit = true;
    });
    loop->every(serviceInterval, [&] {
        player.service();
        quit = quit || player.serverGone();
    });
    Steinberg::IPtr<X11EditorWindow> window;
    if (options.gui)
    {
        auto* controller = player.plugin().controller();
        if (!controller)
            throw DisplayError("the plug-in has no editor; run with --no-gui");
        window = X11EditorWindow::open(*controller, player.instrumentName(), *loop);
    }
    std::cout << "taviro-play: playing " << player.instrumentName() << " as JACK client \""
              << options.clientName << "\" at " << player.sampleRate() << " Hz, " << player.periodSize()
              << " frames a period; Ctrl+C quits" << std::endl;

    loop->run([&] { return quit || (window && window->closed()); });
    if (window)
        window->close();
    const bool gone = player.serverGone();
    const bool saved = player.finish();
    if (gone)
        std::cerr << "taviro-play: the JACK server shut down\n";
    if (auto dropped = player.liveProcessor().droppedCount())
        std::cerr << "taviro-play: warning: " << dropped
                  << " event(s) did not fit into their period and were dropped\n";
    return gone || !saved ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string program = std::filesystem::path(argv[0]).filename().string();
    try
    {
        PlayOptions options = parsePlayOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.showHelp)
        {
            std::cout << playUsageText(program);
            return 0;
        }
        return play(options, argv[0]);
    }
    catch (const Taviro::Render::UsageError& error)
    {
        std::cerr << program << ": " << error.what() << "\n"
                  << "Try " << program << " --help\n";
        return 2;
    }
    catch (const std::exception& error)
    {
        std::cerr << program << ": " << error.what() << "\n";
        return 1;
    }
}
