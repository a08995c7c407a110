#include "tools/render/DemoSong.h"

#include "tools/render/SmfWriter.h"

#include <array>
#include <cmath>

namespace Taviro::Render
{
namespace
{

constexpr int ticksPerBeat = 480;
constexpr int beatsPerBar = 4;

std::uint64_t at(int bar, double beat)
{
    return static_cast<std::uint64_t>(std::lround((bar * beatsPerBar + beat) * ticksPerBeat));
}

std::uint64_t beats(double count)
{
    return static_cast<std::uint64_t>(std::lround(count * ticksPerBeat));
}

// MIDI channels (0-based) and the factory programs they play.
enum Channel
{
    piano = 0,
    cleanGuitar = 1,
    bass = 2,
    strings = 3,
    pad = 4,
    flute = 5,
    mutedGuitar = 6,
    drums = 9,
};

enum Program
{
    pianoCologne = 0,
    eGuitarClean = 1,
    synthBass = 5,
    synthStrings = 7,
    warmPad = 11,
    flutePreset = 12,
    mutedEGuitar = 14,
};

enum Drum
{
    kick = 36,
    snare = 38,
    closedHat = 42,
    lowTom = 43,
    openHat = 46,
    midTom = 47,
    crash = 49,
    hiTom = 50,
    ride = 51,
};

struct Chord
{
    int root;                 // bass note
    std::array<int, 3> tones; // close voicing around middle C
};

// i - VI - III - VII twice, then iv - i - VI - V, and home.
const Chord Am{45, {57, 60, 64}};
const Chord F{41, {57, 60, 65}};
const Chord C{48, {55, 60, 64}};
const Chord G{43, {55, 59, 62}};
const Chord Dm{38, {57, 62, 65}};
const Chord E{40, {56, 59, 64}};

constexpr int songBars = 17;
const std::array<Chord, songBars> progression{Am, F, C, G, Am, F, C, G, Am, F, C, G, Dm, Am, F, E, Am};

constexpr int introEnd = 4;     // bars 0..3: piano, pad, hi-hat
constexpr int bridgeStart = 12; // bars 12..15: strings, muted guitar, ride
constexpr int finalBar = 16;

struct MelodyNote
{
    int bar;
    double beat;
    int key;
    double length;
};

// The flute's tune (the preset sounds an octave above the written keys).
const MelodyNote melody[] = {
    {4, 0, 64, 1.5},    {4, 1.5, 67, 0.5},  {4, 2, 69, 1.5}, {4, 3.5, 67, 0.5}, {5, 0, 69, 1},
    {5, 1, 72, 1},      {5, 2, 69, 1},      {5, 3, 65, 1},   {6, 0, 67, 1.5},   {6, 1.5, 64, 0.5},
    {6, 2, 60, 1},      {6, 3, 62, 1},      {7, 0, 71, 2},   {7, 2, 67, 1},     {7, 3, 62, 1},
    {8, 0, 64, 1},      {8, 1, 69, 1},      {8, 2, 72, 1},   {8, 3, 71, 0.5},   {8, 3.5, 72, 0.5},
    {9, 0, 72, 1.5},    {9, 1.5, 69, 0.5},  {9, 2, 65, 2},   {10, 0, 67, 1},    {10, 1, 72, 1},
    {10, 2, 76, 1.5},   {10, 3.5, 74, 0.5}, {11, 0, 74, 3},  {11, 3, 69, 1},    {12, 0, 74, 1.5},
    {12, 1.5, 72, 0.5}, {12, 2, 69, 1},     {12, 3, 65, 1},  {13, 0, 72, 1.5},  {13, 1.5, 71, 0.5},
    {13, 2, 69, 2},     {14, 0, 77, 1},     {14, 1, 76, 1},  {14, 2, 74, 1},    {14, 3, 72, 1},
    {15, 0, 71, 2},     {15, 2, 68, 1},     {15, 3, 71, 1},  {16, 0, 69, 4},
};

class DemoSong
{
  public:
    // Channel volumes (controller 7) balance the parts; the instrument's gain rises by about 12 dB
    // for every doubling of velocity x volume, so small steps go a long way.
    std::vector<std::uint8_t> write()
    {
        conductor();
        part("Piano", piano, pianoCologne, 115, 54, [this] { pianoPart(); });
        part("Clean guitar", cleanGuitar, eGuitarClean, 127, 88, [this] { cleanGuitarPart(); });
        part("Bass", bass, synthBass, 106, 64, [this] { bassPart(); });
        part("Strings", strings, synthStrings, 92, 36, [this] { stringsPart(); });
        part("Pad", pad, warmPad, 98, 64, [this] { padPart(); });
        part("Flute", flute, flutePreset, 74, 74, [this] { flutePart(); });
        part("Muted guitar", mutedGuitar, mutedEGuitar, 84, 44, [this] { mutedGuitarPart(); });
        part("Drums", drums, 0, 84, 64, [this] { drumPart(); });
        return smf.build();
    }

  private:
    // Tempo and metre, with a ritardando into the last chord.
    void conductor()
    {
        smf.addTrack("Taviro demo");
        smf.timeSignature(0, 4, 2);
        smf.tempo(0, 96);
        smf.tempo(at(15, 2), 88);
        smf.tempo(at(15, 3), 80);
        smf.tempo(at(finalBar, 0), 70);
    }

    template <typename Notes>
    void part(const char* name, int channel, int program, int volume, int pan, Notes notes)
    {
        smf.addTrack(name);
        current = channel;
        smf.programChange(0, channel, program);
        smf.controlChange(0, channel, 7, volume);
        smf.controlChange(0, channel, 10, pan);
        notes();
    }

    void play(int bar, double beat, double length, int key, int velocity)
    {
        smf.note(at(bar, beat), beats(length), current, key, velocity);
    }

    void chord(int bar, double beat, double length, const std::array<int, 3>& tones, int shift, int velocity)
    {
        for (int key : tones)
            play(bar, beat, length, key + shift, velocity);
    }

    void pianoPart()
    {
        // Intro: rolling eighths up and down the chord over its root.
        for (int bar = 0; bar < introEnd; ++bar)
        {
            const Chord& c = progression[bar];
            const int pattern[8] = {c.root,          c.tones[0], c.tones[1], c.tones[2],
                                    c.tones[0] + 12, c.tones[2], c.tones[1], c.tones[0]};
            for (int i = 0; i < 8; ++i)
                play(bar, i * 0.5, i == 0 ? 2.0 : 0.5, pattern[i], i % 2 ? 58 : 72);
        }
        // Then a syncopated comp: beat 1, the "and" of 2, beat 4.
        for (int bar = introEnd; bar < finalBar; ++bar)
        {
            const Chord& c = progression[bar];
            play(bar, 0, 1.5, c.root, 74);
            chord(bar, 0, 1.4, c.tones, 0, 70);
            chord(bar, 1.5, 1.0, c.tones, 0, 60);
            chord(bar, 3, 0.9, c.tones, 0, 64);
        }
        play(finalBar, 0, 4, 33, 80);
        play(finalBar, 0, 4, 45, 76);
        chord(finalBar, 0, 4, Am.tones, 0, 74);
        play(finalBar, 0, 4, 71, 60); // the added ninth
    }

    void cleanGuitarPart()
    {
        // Offbeat stabs through the verse, a climbing arpeggio in the bridge.
        for (int bar = introEnd; bar < bridgeStart; ++bar)
            for (double beat : {0.5, 1.5, 2.5, 3.5})
                chord(bar, beat, 0.3, progression[bar].tones, 12, beat == 1.5 ? 90 : 80);
        for (int bar = bridgeStart; bar < finalBar; ++bar)
        {
            const auto& t = progression[bar].tones;
            const int arpeggio[8] = {t[0], t[1], t[2], t[0] + 12, t[1] + 12, t[2] + 12, t[0] + 12, t[2]};
            for (int i = 0; i < 8; ++i)
                play(bar, i * 0.5, 0.45, arpeggio[i] + 12, i % 2 ? 74 : 84);
        }
        chord(finalBar, 0.5, 3.5, Am.tones, 12, 60);
    }

    void bassPart()
    {
        // Long roots under the second half of the intro, then an eighth-note groove.
        for (int bar = 2; bar < introEnd; ++bar)
            play(bar, 0, 3.8, progression[bar].root, 84);
        for (int bar = introEnd; bar < finalBar; ++bar)
        {
            int root = progression[bar].root;
            play(bar, 0, 0.9, root, 100);
            play(bar, 1.5, 0.4, root, 80);
            play(bar, 2.5, 0.4, root + 7, 84);
            play(bar, 3, 0.4, root + 12, 88);
            play(bar, 3.5, 0.4, root + 7, 78);
        }
        play(finalBar, 0, 4, Am.root - 12, 100);
    }

    void stringsPart()
    {
        // Soft in the second verse, full in the bridge, with a little tremolo from the mod wheel.
        for (int bar = 8; bar < finalBar; ++bar)
            chord(bar, 0, 3.95, progression[bar].tones, 12, bar < bridgeStart ? 52 : 74);
        smf.controlChange(at(bridgeStart, 0), current, 1, 30);
        chord(finalBar, 0, 4, Am.tones, 12, 70);
        smf.controlChange(at(finalBar, 0), current, 1, 0);
    }

    void padPart()
    {
        for (int bar = 0; bar <= finalBar; ++bar)
            chord(bar, 0, bar == finalBar ? 4 : 3.95, progression[bar].tones, 0, bar < introEnd ? 90 : 80);
    }

    void flutePart()
    {
        for (const MelodyNote& n : melody)
            play(n.bar, n.beat, n.length * 0.95, n.key, n.length >= 2 ? 86 : 78);
        // Scoop up a semitone into the long notes of bars 7 and 15.
        for (int bar : {7, 15})
            bendUp(at(bar, 0), beats(0.5));
        // Vibrato swelling in on the held notes of bars 11 and 16.
        modulationSwell(at(11, 0.5), beats(2.5), 80);
        modulationSwell(at(finalBar, 0.5), beats(3.0), 90);
    }

    void bendUp(std::uint64_t start, std::uint64_t length)
    {
        constexpr int steps = 12;
        for (int i = 0; i <= steps; ++i)
            smf.pitchBend(start + length * i / steps, current, i * 8192 / steps);
        smf.pitchBend(start + length + 1, current, 8192);
    }

    void modulationSwell(std::uint64_t start, std::uint64_t length, int depth)
    {
        constexpr int steps = 16;
        for (int i = 0; i <= steps; ++i)
            smf.controlChange(start + length * i / steps, current, 1, depth * i / steps);
        smf.controlChange(start + length + beats(0.5), current, 1, 0);
    }

    void mutedGuitarPart()
    {
        // Palm-muted eighths on root and fifth, accented on the beat, in the second verse and bridge.
        for (int bar = 8; bar < finalBar; ++bar)
        {
            int root = progression[bar].root + 12;
            for (int i = 0; i < 8; ++i)
            {
                int velocity = i % 2 ? 62 : 82;
                play(bar, i * 0.5, 0.4, root, velocity);
                play(bar, i * 0.5, 0.4, root + 7, velocity - 6);
            }
        }
    }

    void hit(int bar, double beat, int drum, int velocity) { play(bar, beat, 0.25, drum, velocity); }

    void drumPart()
    {
        // Intro: hi-hat alone, a kick on the last bar's downbeat and a snare pickup.
        for (int bar = 2; bar < introEnd; ++bar)
            for (int i = 0; i < 8; ++i)
                hit(bar, i * 0.5, closedHat, i % 2 ? 48 : 64);
        hit(3, 0, kick, 90);
        hit(3, 3.5, snare, 70);

        for (int bar = introEnd; bar < finalBar; ++bar)
        {
            const bool bridge = bar >= bridgeStart;
            const bool openBar = bar % 2 == 1;
            hit(bar, 0, kick, 110);
            hit(bar, bridge ? 1.5 : 2.5, kick, 92);
            hit(bar, 2, kick, 100);
            hit(bar, 1, snare, 104);
            hit(bar, 3, snare, 108);
            for (int i = 0; i < 8; ++i)
            {
                if (bridge)
                    hit(bar, i * 0.5, ride, i % 2 ? 58 : 74);
                else if (openBar && i == 7)
                    hit(bar, 3.5, openHat, 72);
                else
                    hit(bar, i * 0.5, closedHat, i % 2 ? 52 : 70);
            }
        }
        for (int bar : {introEnd, 8, bridgeStart})
            hit(bar, 0, crash, 100);

        // Fills: a snare run into the bridge, toms into the last chord.
        for (double beat : {3.0, 3.25, 3.5, 3.75})
            hit(11, beat, snare, 70 + static_cast<int>((beat - 3.0) * 60));
        const int toms[6] = {hiTom, hiTom, midTom, midTom, lowTom, lowTom};
        for (int i = 0; i < 6; ++i)
            hit(15, 1 + i * 0.5, toms[i], 84 + 3 * i);
        hit(finalBar, 0, kick, 116);
        hit(finalBar, 0, crash, 110);
    }

    SmfWriter smf{ticksPerBeat};
    int current = 0;
};

} // namespace

std::vector<std::uint8_t> demoSongMidiFile()
{
    return DemoSong().write();
}

} // namespace Taviro::Render
