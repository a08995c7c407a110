#pragma once

#include <fluidsynth.h>

#include <string>
#include <vector>

namespace TaviroSampleGen {

struct StereoBuffer
{
    std::vector<float> left;
    std::vector<float> right;
};

// How one note is played: held for holdSeconds, then released; rendering stops when the synth
// has no voice left or tailSeconds after the release.
struct NotePerformance
{
    int bank = 0;
    int program = 0;
    int key = 60;
    int velocity = 100;
    double holdSeconds = 1.0;
    double tailSeconds = 1.0;
    double tuningCents = 0.0; // within +-200: applied through the pitch wheel
};

// Offline libfluidsynth with one SoundFont at a fixed sample rate, reverb and chorus off. Fixed
// settings and no audio driver make its output the same on every run.
class FluidNoteRenderer
{
  public:
    FluidNoteRenderer(const std::string& soundFontPath, double sampleRate);
    ~FluidNoteRenderer();
    FluidNoteRenderer(const FluidNoteRenderer&) = delete;
    FluidNoteRenderer& operator=(const FluidNoteRenderer&) = delete;

    // Renders the note from a freshly reset synth; the first frame is the note-on.
    StereoBuffer render(const NotePerformance& note);

  private:
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int soundFontId = -1;
    double sampleRate;
};

} // namespace TaviroSampleGen
