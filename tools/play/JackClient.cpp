#include "tools/play/JackClient.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>

namespace Taviro::Play {

namespace {

std::string openFailure(jack_status_t status)
{
    if (status & JackServerFailed)
        return "no JACK server is running: start one (jackd, or QjackCtl), or run taviro-play under "
               "PipeWire as `pw-jack taviro-play`";
    if (status & JackNameNotUnique)
        return "the JACK server already has a client of that name";
    return "the JACK server refused taviro-play as a client";
}

// libjack's own messages repeat what the errors below say, in its own words; they are left out.
void quiet(const char*) {}

} // namespace

JackClient::JackClient(const std::string& name, LiveProcessor& live,
                       const std::vector<std::string>& busPortNames)
    : live(live), busPortNames(busPortNames), busBuffers(busPortNames.size()), midi(midiCapacity)
{
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status{};
    client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client)
        throw JackError(openFailure(status));
    jack_set_process_callback(client, onProcess, this);
    jack_set_buffer_size_callback(client, onBufferSize, this);
    jack_on_shutdown(client, onShutdown, this);
}

JackClient::~JackClient()
{
    if (active && !gone.load())
        jack_deactivate(client);
    jack_client_close(client);
}

jack_port_t* JackClient::registerPort(const std::string& name, const char* type, unsigned long flags)
{
    jack_port_t* port = jack_port_register(client, name.c_str(), type, flags, 0);
    if (!port)
        throw JackError("the JACK server refused the port \"" + name + "\"");
    return port;
}

int JackClient::sampleRate() const
{
    return static_cast<int>(jack_get_sample_rate(client));
}

int JackClient::bufferSize() const
{
    return static_cast<int>(jack_get_buffer_size(client));
}

void JackClient::activate()
{
    midiIn = registerPort("midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    mixLeft = registerPort("out_L", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    mixRight = registerPort("out_R", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    for (const std::string& port : busPortNames)
        busPorts.push_back(registerPort(port, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput));
    if (jack_activate(client) != 0)
        throw JackError("the JACK server did not let taviro-play start");
    active = true;
}

std::string JackClient::connectToSystem()
{
    std::string failures;
    auto connect = [&](const char* from, const char* to) {
        const int result = jack_connect(client, from, to);
        if (result != 0 && result != EEXIST)
            failures += std::string(failures.empty() ? "" : ", ") + from + " -> " + to;
    };
    if (const char** playback =
            jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput))
    {
        if (playback[0])
            connect(jack_port_name(mixLeft), playback[0]);
        if (playback[0] && playback[1])
            connect(jack_port_name(mixRight), playback[1]);
        jack_free(playback);
    }
    if (const char** sources =
            jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsPhysical | JackPortIsOutput))
    {
        for (const char** source = sources; *source; ++source)
            connect(*source, jack_port_name(midiIn));
        jack_free(sources);
    }
    return failures;
}

std::optional<int> JackClient::takeBufferSizeChange()
{
    const std::uint32_t frames = changedBufferSize.exchange(0);
    if (frames == 0)
        return std::nullopt;
    return static_cast<int>(frames);
}

int JackClient::onProcess(jack_nframes_t frames, void* self)
{
    return static_cast<JackClient*>(self)->process(frames);
}

int JackClient::onBufferSize(jack_nframes_t frames, void* self)
{
    // Only noted here: the main thread sets the plug-in up again, outside the process callback.
    static_cast<JackClient*>(self)->changedBufferSize.store(frames);
    return 0;
}

void JackClient::onShutdown(void* self)
{
    static_cast<JackClient*>(self)->gone.store(true);
}

int JackClient::process(jack_nframes_t frames)
{
    void* midiBuffer = jack_port_get_buffer(midiIn, frames);
    const std::uint32_t available = jack_midi_get_event_count(midiBuffer);
    const std::size_t count = std::min<std::size_t>(available, midi.size());
    std::size_t kept = 0;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, midiBuffer, i) == 0)
            midi[kept++] = RawMidi{event.time, event.buffer, event.size};
    }
    if (available > count)
        live.countDropped(available - count);

    for (std::size_t port = 0; port < busPorts.size(); ++port)
        busBuffers[port] = static_cast<float*>(jack_port_get_buffer(busPorts[port], frames));
    PeriodOutputs out{static_cast<float*>(jack_port_get_buffer(mixLeft, frames)),
                      static_cast<float*>(jack_port_get_buffer(mixRight, frames)), busBuffers};
    if (!live.process(std::span(midi.data(), kept), static_cast<int>(frames),
                      static_cast<std::int64_t>(jack_last_frame_time(client)), out))
    {
        std::fill_n(out.mixLeft, frames, 0.0f);
        std::fill_n(out.mixRight, frames, 0.0f);
        for (float* buffer : busBuffers)
            std::fill_n(buffer, frames, 0.0f);
    }
    return 0;
}

} // namespace Taviro::Play
