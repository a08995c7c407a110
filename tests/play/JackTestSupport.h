#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Taviro::Test {

// A JACK server of the test's own: the dummy driver at 48 kHz under a private name, which
// JACK_DEFAULT_SERVER then names for this process and every program it starts, so no other
// server is ever touched. A `realtime` server asks for real-time priority for its threads and its
// clients' process threads (it runs on without, when the system does not grant it).
class PrivateJackServer
{
public:
    static constexpr int sampleRate = 48000;

    explicit PrivateJackServer(int periodFrames = 256, bool realtime = false);
    ~PrivateJackServer();
    PrivateJackServer(const PrivateJackServer&) = delete;
    PrivateJackServer& operator=(const PrivateJackServer&) = delete;

    bool running() const { return ready; }
    const std::string& name() const { return serverName; }
    std::string log() const;

private:
    std::string serverName;
    std::filesystem::path logPath;
    pid_t pid = -1;
    bool ready = false;
};

struct ScheduledMidi
{
    std::int64_t frame; // absolute, in the server's frame time
    std::uint8_t bytes[3];
    std::uint8_t size;
};

// A channel message of two or three bytes (program change and channel pressure have one data byte).
inline ScheduledMidi message(std::int64_t frame, int status, int a, int b = 0)
{
    const bool oneByte = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0;
    return {frame,
            {static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)},
            static_cast<std::uint8_t>(oneByte ? 2 : 3)};
}

// A JACK client of the test: sends scheduled MIDI from "midi_out" at the exact frames, and records
// its audio inputs "in_1".."in_N" over a window of absolute frames. Storage is taken up front.
class TestClient
{
public:
    TestClient(const std::string& name, int audioInputs, std::int64_t recordFrames);
    ~TestClient();

    // Set before `arm`; events must be in frame order.
    void schedule(std::vector<ScheduledMidi> events)
    {
        midi = std::move(events);
        sentFrames.assign(midi.size(), -1);
    }
    // Starts sending the schedule and recording from `recordStart`.
    void arm(std::int64_t recordStart);
    bool finished() const; // the recording window has passed
    int xruns() const { return xrunCount.load(); }
    // Whether the server reported an xrun within `margin` frames of `frame` (absolute).
    bool xrunNear(std::int64_t frame, std::int64_t margin) const;
    std::int64_t now() const { return jack_frame_time(client); }

    // The recording of input `port` (0-based), and whether each of its frames was recorded at all (a
    // late server skips periods).
    const std::vector<float>& recorded(int port) const { return takes[static_cast<std::size_t>(port)]; }
    bool wasRecorded(std::int64_t frame) const
    {
        return frame >= 0 && frame < static_cast<std::int64_t>(recordedFrames.size()) &&
               recordedFrames[static_cast<std::size_t>(frame)];
    }
    // The frame each scheduled event went out at: its own, or a later one when it was late.
    std::int64_t sentAt(std::size_t event) const { return sentFrames[event]; }
    std::string portName(const std::string& shortName) const;
    bool connect(const std::string& from, const std::string& to);
    jack_client_t* handle() const { return client; }

private:
    static int onProcess(jack_nframes_t frames, void* self);
    static int onXrun(void* self);

    jack_client_t* client = nullptr;
    jack_port_t* midiOut = nullptr;
    std::vector<jack_port_t*> inputs;
    std::vector<std::vector<float>> takes;
    std::vector<std::uint8_t> recordedFrames;
    std::vector<ScheduledMidi> midi;
    std::vector<std::int64_t> sentFrames;
    std::size_t nextEvent = 0;
    std::atomic<bool> armed{false};
    std::atomic<std::int64_t> start{0};
    std::atomic<std::int64_t> recordedUpTo{0};
    std::atomic<int> xrunCount{0};
    std::vector<std::int64_t> xrunFrames = std::vector<std::int64_t>(4096); // the first ones
};

// Waits until a port of that full name exists, or with `present` false until it is gone (or
// `seconds` pass).
bool waitForPort(jack_client_t* client, const std::string& name, double seconds = 60, bool present = true);

// A taviro-play process with its output in a log file.
class PlayerProcess
{
public:
    PlayerProcess(const std::vector<std::string>& arguments, const std::filesystem::path& logFile);
    ~PlayerProcess();
    // SIGTERM (or `signal`), then waits for the exit; the exit code, or -1 when it had to be killed.
    int stop(int signal = 15);
    // Waits for the process to end by itself; the exit code, or -1 after `seconds`.
    int wait(double seconds = 60);
    std::string output() const;

private:
    pid_t pid = -1;
    std::filesystem::path log;
    int exitCode = -1;
};

} // namespace Taviro::Test
