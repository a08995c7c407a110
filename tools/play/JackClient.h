#pragma once

#include "tools/play/LiveProcessor.h"

#include <jack/jack.h>

#include <atomic>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Taviro::Play {

// The JACK server cannot be reached or refused a request; the message is for the user.
class JackError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// taviro-play's JACK client: one MIDI input ("midi_in"), the stereo mix ("out_L", "out_R") and, when
// `busPortNames` is not empty, one port per name (a left and a right per output bus). Its process
// callback gathers the period's MIDI into a preallocated list (what does not fit is dropped and
// counted) and lets the LiveProcessor fill the ports; silence when it refuses.
class JackClient
{
public:
    static constexpr std::size_t midiCapacity = 2048;

    JackClient(const std::string& name, LiveProcessor& live, const std::vector<std::string>& busPortNames);
    ~JackClient();
    JackClient(const JackClient&) = delete;
    JackClient& operator=(const JackClient&) = delete;

    int sampleRate() const;
    int bufferSize() const;
    // Registers the ports and starts the periods. The ports appear only now, when the player is
    // ready: the server refuses connections to a client that is not active yet, and a patchbay or
    // script that sees a port may connect it at once.
    void activate();
    // The mix to the first two hardware playback ports, every hardware MIDI source to the input.
    // Answers what could not be connected (empty when all went well).
    std::string connectToSystem();

    // Main thread: a period size the server changed to since the last call, if any.
    std::optional<int> takeBufferSizeChange();
    bool serverGone() const { return gone.load(); }
    jack_client_t* handle() const { return client; }

private:
    static int onProcess(jack_nframes_t frames, void* self);
    static int onBufferSize(jack_nframes_t frames, void* self);
    static void onShutdown(void* self);
    int process(jack_nframes_t frames);
    jack_port_t* registerPort(const std::string& name, const char* type, unsigned long flags);

    LiveProcessor& live;
    std::vector<std::string> busPortNames;
    jack_client_t* client = nullptr;
    jack_port_t* midiIn = nullptr;
    jack_port_t* mixLeft = nullptr;
    jack_port_t* mixRight = nullptr;
    std::vector<jack_port_t*> busPorts;
    std::vector<float*> busBuffers; // the period's buffers of busPorts
    std::vector<RawMidi> midi;
    std::atomic<std::uint32_t> changedBufferSize{0};
    std::atomic<bool> gone{false};
    bool active = false;
};

} // namespace Taviro::Play
