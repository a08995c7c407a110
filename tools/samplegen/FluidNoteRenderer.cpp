#include "FluidNoteRenderer.h"

#include <fluidsynth.h>

#include <cmath>
#include <stdexcept>

namespace TaviroSampleGen {
namespace {

constexpr int kBlockFrames = 64;
constexpr int kMelodicChannel = 0;
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;
constexpr int kPitchWheelCentre = 8192;
constexpr double kPitchWheelRangeCents = 200.0; // the synth's default bend range, 2 semitones

void quietLibraryMessages()
{
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
}

} // namespace

FluidNoteRenderer::FluidNoteRenderer(const std::string& soundFontPath, double sampleRate)
    : sampleRate(sampleRate)
{
    quietLibraryMessages();
    settings = new_fluid_settings();
    if (!settings)
        throw std::runtime_error("fluidsynth: no settings");
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // Unity gain: each set is scaled afterwards to its own peak.
    fluid_settings_setnum(settings, "synth.gain", 1.0);

    synth = new_fluid_synth(settings);
    if (!synth)
        throw std::runtime_error("fluidsynth: cannot create the synthesizer");
    soundFontId = fluid_synth_sfload(synth, soundFontPath.c_str(), 0);
    if (soundFontId == FLUID_FAILED)
        throw std::runtime_error("fluidsynth: cannot load " + soundFontPath);
}

FluidNoteRenderer::~FluidNoteRenderer()
{
    if (synth)
        delete_fluid_synth(synth);
    if (settings)
        delete_fluid_settings(settings);
}

StereoBuffer FluidNoteRenderer::render(const NotePerformance& note)
{
    fluid_synth_system_reset(synth);
    fluid_synth_set_interp_method(synth, -1, FLUID_INTERP_HIGHEST);
    const int channel = note.bank == kDrumBank ? kDrumChannel : kMelodicChannel;
    if (fluid_synth_program_select(synth, channel, soundFontId, note.bank, note.program) != FLUID_OK)
        throw std::runtime_error("fluidsynth: no preset for bank " + std::to_string(note.bank) + " program " +
                                 std::to_string(note.program));
    const double wheel = kPitchWheelCentre + note.tuningCents / kPitchWheelRangeCents * kPitchWheelCentre;
    fluid_synth_pitch_bend(synth, channel, static_cast<int>(std::lround(wheel)));
    fluid_synth_noteon(synth, channel, note.key, note.velocity);

    const auto holdFrames = static_cast<size_t>(note.holdSeconds * sampleRate);
    const auto lastFrame = holdFrames + static_cast<size_t>(note.tailSeconds * sampleRate);
    StereoBuffer out;
    bool released = false;
    for (size_t frame = 0; frame < lastFrame; frame += kBlockFrames)
    {
        if (!released && frame >= holdFrames)
        {
            fluid_synth_noteoff(synth, channel, note.key);
            released = true;
        }
        if (released && fluid_synth_get_active_voice_count(synth) == 0)
            break;
        out.left.resize(frame + kBlockFrames);
        out.right.resize(frame + kBlockFrames);
        fluid_synth_write_float(synth, kBlockFrames, out.left.data(), static_cast<int>(frame), 1,
                                out.right.data(), static_cast<int>(frame), 1);
    }
    return out;
}

} // namespace TaviroSampleGen
