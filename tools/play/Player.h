#pragma once

#include "tools/play/JackClient.h"
#include "tools/play/LiveProcessor.h"
#include "tools/play/PlayOptions.h"
#include "tools/render/HostedPlugin.h"

#include <memory>
#include <ostream>
#include <string>

namespace Taviro::Play {

// taviro-play without its windows: the bundle hosted as a DAW hosts it, its saved state restored,
// a JACK client that plays it live. Construction throws Render::HostError or JackError with a
// message for the user; a damaged state file is only a warning.
class Player
{
public:
    Player(const PlayOptions& options, const std::string& argumentZero, std::ostream& warnings);
    ~Player();

    // Main thread, often: a new period size from the server sets processing up again; the
    // parameter changes of the audio thread reach the controller.
    void service();
    bool serverGone() const { return jack && jack->serverGone(); }
    // Stops playing and saves the state; false (with a message on `warnings`) if it could not.
    bool finish();

    Render::HostedPlugin& plugin() { return *hosted; }
    LiveProcessor& liveProcessor() { return *live; }
    JackClient& jackClient() { return *jack; }
    const std::string& instrumentName() const { return hosted->componentClass().name; }
    int sampleRate() const { return rate; }
    int periodSize() const { return blockSize; }

private:
    void restoreSavedState();
    void stopPeriods();
    void configure(int frames);
    std::vector<std::string> busPortNames() const;

    std::ostream& warnings;
    std::string statePath;
    // Declared so that they go in this order: the JACK client, the plug-in (whose controller holds
    // the edit forwarder), the live processor the forwarder feeds.
    std::unique_ptr<LiveProcessor> live;
    std::unique_ptr<Render::HostedPlugin> hosted;
    std::unique_ptr<JackClient> jack;
    int rate = 0;
    int blockSize = 0;
};

} // namespace Taviro::Play
