#include "tests/play/JackTestSupport.h"
#include "tests/render/FolderTest.h"

#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Taviro::Test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

void quiet(const char*) {}

// Starts `arguments` with standard output and error going to `log`; the process id, or -1.
pid_t spawn(const std::vector<std::string>& arguments, const fs::path& log)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit code once the process has ended within `seconds`; -1 if it did not (it is then killed).
int reap(pid_t pid, double seconds)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0)
    {
        if (Clock::now() > end)
        {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

PrivateJackServer::PrivateJackServer(int periodFrames, bool realtime)
    : serverName("taviro-test-" + std::to_string(getpid())),
      logPath(fs::temp_directory_path() / (serverName + ".log"))
{
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    const std::vector<std::string> arguments{"jackd", realtime ? "--realtime" : "--no-realtime",
                                             "-n",    serverName,
                                             "-d",    "dummy",
                                             "-r",    "48000",
                                             "-p",    std::to_string(periodFrames)};
    pid = spawn(arguments, logPath);
    if (pid < 0)
        return;
    setenv("JACK_DEFAULT_SERVER", serverName.c_str(), 1);
    // As long as a loaded machine needs, within reason.
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!ready && Clock::now() < end)
    {
        jack_status_t status{};
        if (jack_client_t* probe = jack_client_open("probe", JackNoStartServer, &status))
        {
            jack_client_close(probe);
            ready = true;
        }
        else if (waitpid(pid, nullptr, WNOHANG) == pid)
        {
            pid = -1;
            return;
        }
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

PrivateJackServer::~PrivateJackServer()
{
    if (pid > 0)
    {
        kill(pid, SIGTERM);
        reap(pid, 20);
    }
    std::error_code error;
    fs::remove(logPath, error);
}

std::string PrivateJackServer::log() const
{
    return fileContents(logPath);
}

TestClient::TestClient(const std::string& name, int audioInputs, std::int64_t recordFrames)
{
    jack_status_t status{};
    client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client)
        return;
    midiOut = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    for (int i = 0; i < audioInputs; ++i)
    {
        inputs.push_back(jack_port_register(client, ("in_" + std::to_string(i + 1)).c_str(),
                                            JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
        takes.emplace_back(static_cast<std::size_t>(recordFrames), 0.0f);
    }
    recordedFrames.assign(static_cast<std::size_t>(recordFrames), 0);
    jack_set_process_callback(client, onProcess, this);
    jack_set_xrun_callback(client, onXrun, this);
    jack_activate(client);
}

TestClient::~TestClient()
{
    if (client)
    {
        jack_deactivate(client);
        jack_client_close(client);
    }
}

void TestClient::arm(std::int64_t recordStart)
{
    start.store(recordStart);
    armed.store(true, std::memory_order_release);
}

bool TestClient::finished() const
{
    const auto length = takes.empty() ? 0 : static_cast<std::int64_t>(takes[0].size());
    return armed.load() && recordedUpTo.load() >= start.load() + length;
}

std::string TestClient::portName(const std::string& shortName) const
{
    return std::string(jack_get_client_name(client)) + ":" + shortName;
}

bool TestClient::connect(const std::string& from, const std::string& to)
{
    return jack_connect(client, from.c_str(), to.c_str()) == 0;
}

int TestClient::onXrun(void* self)
{
    auto& me = *static_cast<TestClient*>(self);
    const int index = me.xrunCount.load();
    if (index < static_cast<int>(me.xrunFrames.size()))
        me.xrunFrames[static_cast<std::size_t>(index)] = jack_frame_time(me.client);
    me.xrunCount.store(index + 1);
    return 0;
}

bool TestClient::xrunNear(std::int64_t frame, std::int64_t margin) const
{
    const int count = std::min(xrunCount.load(), static_cast<int>(xrunFrames.size()));
    for (int i = 0; i < count; ++i)
        if (std::abs(xrunFrames[static_cast<std::size_t>(i)] - frame) <= margin)
            return true;
    return false;
}

int TestClient::onProcess(jack_nframes_t frames, void* self)
{
    auto& me = *static_cast<TestClient*>(self);
    const std::int64_t first = jack_last_frame_time(me.client);
    void* midiBuffer = jack_port_get_buffer(me.midiOut, frames);
    jack_midi_clear_buffer(midiBuffer);
    if (!me.armed.load(std::memory_order_acquire))
        return 0;
    for (; me.nextEvent < me.midi.size() && me.midi[me.nextEvent].frame < first + frames; ++me.nextEvent)
    {
        const ScheduledMidi& event = me.midi[me.nextEvent];
        const std::int64_t offset = std::max<std::int64_t>(event.frame - first, 0); // late: at once
        jack_midi_event_write(midiBuffer, static_cast<jack_nframes_t>(offset), event.bytes, event.size);
        me.sentFrames[me.nextEvent] = first + offset;
    }
    const std::int64_t from = me.start.load();
    for (jack_nframes_t i = 0; i < frames; ++i)
    {
        const std::int64_t at = first + i - from;
        if (at >= 0 && at < static_cast<std::int64_t>(me.recordedFrames.size()))
            me.recordedFrames[static_cast<std::size_t>(at)] = 1;
    }
    for (std::size_t port = 0; port < me.inputs.size(); ++port)
    {
        const auto* in = static_cast<const float*>(jack_port_get_buffer(me.inputs[port], frames));
        auto& take = me.takes[port];
        for (jack_nframes_t i = 0; i < frames; ++i)
        {
            const std::int64_t at = first + i - from;
            if (at >= 0 && at < static_cast<std::int64_t>(take.size()))
                take[static_cast<std::size_t>(at)] = in[i];
        }
    }
    me.recordedUpTo.store(first + frames);
    return 0;
}

bool waitForPort(jack_client_t* client, const std::string& name, double seconds, bool present)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while ((jack_port_by_name(client, name.c_str()) != nullptr) != present)
    {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

PlayerProcess::PlayerProcess(const std::vector<std::string>& arguments, const fs::path& logFile)
    : log(logFile)
{
    std::vector<std::string> command{TAVIRO_PLAY_TOOL};
    command.insert(command.end(), arguments.begin(), arguments.end());
    pid = spawn(command, log);
}

PlayerProcess::~PlayerProcess()
{
    if (pid > 0)
        stop(SIGKILL);
}

int PlayerProcess::stop(int signal)
{
    if (pid <= 0)
        return exitCode;
    kill(pid, signal);
    return wait();
}

int PlayerProcess::wait(double seconds)
{
    if (pid <= 0)
        return exitCode;
    exitCode = reap(pid, seconds);
    pid = -1;
    return exitCode;
}

std::string PlayerProcess::output() const
{
    return fileContents(log);
}

} // namespace Taviro::Test
