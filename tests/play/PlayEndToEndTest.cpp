// Runs taviro-play as a user would, on a JACK server of the test's own: MIDI in from a test client,
// every output recorded by another, the state file, the error messages and the editor's window.

#include "tests/play/JackTestSupport.h"
#include "tests/render/FolderTest.h"
#include "tests/support/VirtualDisplay.h"
#include "tools/play/StateFile.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

namespace Taviro::Test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int period = 256;
constexpr int rate = PrivateJackServer::sampleRate;
constexpr int channelPairs = 16;
const std::string player = "taviro-play:";

// Byte offsets in the processor's 5244-byte state stream: an 8-byte version, then 262 bytes per
// channel: three 84-byte oscillator records (volume first), master volume, note-off switch, program.
constexpr std::size_t channel1Volume = 8, channel1Program = 8 + 261, channel4Program = 8 + 3 * 262 + 261;

void addNote(std::vector<ScheduledMidi>& events, std::int64_t frame, int channel, int pitch, int length)
{
    events.push_back(message(frame, 0x90 | channel, pitch, 100));
    events.push_back(message(frame + length, 0x80 | channel, pitch));
}

// The processor's stream in a state file.
std::vector<std::uint8_t> processorState(const fs::path& path)
{
    const std::string bytes = fileContents(path);
    return Play::decodeState(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
        .processor;
}

// The first frame at or after `from` that is not silent; -1 if none.
std::int64_t onset(const std::vector<float>& take, std::int64_t from)
{
    for (auto i = static_cast<std::size_t>(std::max<std::int64_t>(0, from)); i < take.size(); ++i)
        if (take[i] != 0.0f)
            return static_cast<std::int64_t>(i);
    return -1;
}

bool silent(const std::vector<float>& take, std::int64_t from, std::int64_t to)
{
    const auto begin =
        take.begin() + std::clamp<std::int64_t>(from, 0, static_cast<std::int64_t>(take.size()));
    const auto end = take.begin() + std::clamp<std::int64_t>(to, 0, static_cast<std::int64_t>(take.size()));
    return std::all_of(begin, end, [](float x) { return x == 0.0f; });
}

// The lag in `shortest`..`longest` at which `length` frames from `from` best match themselves,
// refined between frames: the signal's period.
double periodInFrames(const std::vector<float>& take, std::int64_t from, int length, int shortest,
                      int longest)
{
    auto match = [&](int lag) {
        double product = 0, energy = 0;
        for (int i = 0; i < length; ++i)
        {
            const double a = take[static_cast<std::size_t>(from + i)],
                         b = take[static_cast<std::size_t>(from + i + lag)];
            product += a * b;
            energy += a * a + b * b;
        }
        return energy > 0 ? 2 * product / energy : 0.0;
    };
    int best = shortest;
    for (int lag = shortest; lag <= longest; ++lag)
        if (match(lag) > match(best))
            best = lag;
    const double l = match(best - 1), c = match(best), r = match(best + 1);
    const double curvature = l - 2 * c + r;
    return best + (curvature != 0 ? 0.5 * (l - r) / curvature : 0.0);
}

// How far `length` frames from `b` differ from those from `a`: the RMS of the difference over that
// of the first.
double relativeDifference(const std::vector<float>& take, std::int64_t a, std::int64_t b, int length)
{
    double difference = 0, level = 0;
    for (int i = 0; i < length; ++i)
    {
        const double x = take[static_cast<std::size_t>(a + i)], y = take[static_cast<std::size_t>(b + i)];
        difference += (x - y) * (x - y);
        level += x * x;
    }
    return level > 0 ? std::sqrt(difference / level) : 0.0;
}

// Whether the ports `from` and `to` are (or within half a minute become) connected.
bool connectedWithin(jack_client_t* client, const std::string& from, const std::string& to)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    do
    {
        bool found = false;
        if (const char** peers =
                jack_port_get_all_connections(client, jack_port_by_name(client, from.c_str())))
        {
            for (const char** peer = peers; *peer; ++peer)
                found = found || to == *peer;
            jack_free(peers);
        }
        if (found)
            return true;
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

class PlayEndToEnd : public FolderTest
{
protected:
    static PrivateJackServer& server()
    {
        static PrivateJackServer jack(period); // one for the program, stopped at its end
        return jack;
    }

    void SetUp() override
    {
        FolderTest::SetUp();
        ASSERT_TRUE(server().running()) << "jackd did not start:\n" << server().log();
    }

    // taviro-play with `arguments`, once its last port exists.
    std::unique_ptr<PlayerProcess> startPlayer(std::vector<std::string> arguments, jack_client_t* watcher,
                                               const std::string& lastPort = player + "out_R")
    {
        // A player that has just quit can linger in the server a moment; a new one would take
        // another name.
        EXPECT_TRUE(waitForPort(watcher, player + "midi_in", 60, false)) << "the last player is still there";
        auto process = std::make_unique<PlayerProcess>(
            arguments, folder / ("player-" + std::to_string(++runs) + ".log"));
        EXPECT_TRUE(waitForPort(watcher, lastPort)) << process->output();
        return process;
    }

    // Sends `events` (frames counted from a moment shortly ahead) from a test client and waits for them.
    void sendMidi(std::vector<ScheduledMidi> events)
    {
        TestClient sender("sender", 0, 0);
        ASSERT_TRUE(sender.connect(sender.portName("midi_out"), player + "midi_in"));
        const std::int64_t start = sender.now() + rate / 4;
        for (auto& event : events)
            event.frame += start;
        const std::int64_t last = events.empty() ? start : events.back().frame;
        sender.schedule(std::move(events));
        sender.arm(start);
        while (static_cast<std::int64_t>(sender.now()) < last + 4 * period)
            std::this_thread::sleep_for(10ms);
    }

    fs::path statePath() const { return folder / "state.bin"; }

    int runs = 0;
};

// Notes on MIDI channels 1 and 10 come out of their own pairs only, at their frames, all with one
// delay, at their pitch; a program change between two equal notes changes the sound; the mix is the
// sum of the pairs.
TEST_F(PlayEndToEnd, NotesSoundOnTheirChannelsPairAtTheirFramesAndTheMixIsTheSumOfThePairs)
{
    constexpr int noteLength = 3 * rate / 10;
    constexpr std::int64_t spacing = 13 * rate / 10; // the piano's release needs most of a second
    // Three A4s of channel 1 at different places in their periods, the first two on "Piano Cologne",
    // the last on "E-Guitar clean", and a drum.
    constexpr int notes = 3;
    const std::int64_t noteFrames[notes] = {1000, 1000 + spacing + 77, 1000 + 2 * spacing + 255};
    const std::int64_t programChangeFrame = noteFrames[2] - rate / 10;
    const std::int64_t drumFrame = 1000 + 3 * spacing + 130;
    const std::int64_t recordLength = drumFrame + spacing;

    TestClient watcher("watcher", 0, 0);
    auto process = startPlayer({"--no-gui", "--multi-out", "--state", statePath().string()}, watcher.handle(),
                               player + "Audio Output MIDI channel 16 R");
    std::vector<std::string> outputs{"out_L", "out_R"};
    for (int pair = 1; pair <= channelPairs; ++pair)
        for (const char* side : {" L", " R"})
            outputs.push_back("Audio Output MIDI channel " + std::to_string(pair) + side);

    // From each event to the first sound of its note (3: the drum) on each port (0 left, 1 right). It
    // includes the sound's own silence before its first sample: a few frames, the drum's the longest.
    struct Delay
    {
        int note, port;
        std::int64_t frames;
    };
    constexpr int soundLead = 48;
    std::vector<Delay> delays;
    int starts[notes + 1] = {}, pitches[notes] = {}; // how often each was measured
    std::vector<double> alike, changed; // differences of the piano's two notes, and across the change
    constexpr int window = 2048;

    // A loaded machine makes the server skip periods for a client now and then. Frames a take did not
    // record are left out of every check, and the takes go on (up to five) until every measure was
    // taken at least once: each note's start (the drum's too) and pitch, and the sound comparison.
    auto complete = [&] {
        return std::ranges::all_of(starts, [](int n) { return n > 0; }) &&
               std::ranges::all_of(pitches, [](int n) { return n > 0; }) && !changed.empty();
    };
    for (int take = 1; take <= 5 && !complete(); ++take)
    {
        SCOPED_TRACE("take " + std::to_string(take));
        TestClient sender("sender" + std::to_string(take), 0, 0);
        TestClient recorder("recorder" + std::to_string(take), 2 + 2 * channelPairs, recordLength);
        ASSERT_TRUE(sender.connect(sender.portName("midi_out"), player + "midi_in"));
        for (std::size_t i = 0; i < outputs.size(); ++i)
            ASSERT_TRUE(
                recorder.connect(player + outputs[i], recorder.portName("in_" + std::to_string(i + 1))))
                << outputs[i];
        // At the start of a period (the server counts frames in whole periods), so that each note
        // has its place in its period, the drum far from the start of its own.
        const std::int64_t start = (sender.now() + rate / 2) / period * period;
        std::vector<ScheduledMidi> events{message(start, 0xC0, 0)}; // each take starts on the piano
        for (int i = 0; i < notes; ++i)
        {
            if (i == 2)
                events.push_back(message(start + programChangeFrame, 0xC0, 1));
            addNote(events, start + noteFrames[i], 0, 69, noteLength);
        }
        addNote(events, start + drumFrame, 9, 38, noteLength); // in frame order: each note ends first
        sender.schedule(events);
        recorder.arm(start);
        sender.arm(start);
        const auto deadline = std::chrono::steady_clock::now() + 120s;
        while (!recorder.finished() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(recorder.finished());

        // Where an event went out (late ones later), in frames of the recording.
        auto sent = [&](std::int64_t frame, int status) {
            for (std::size_t i = 0; i < events.size(); ++i)
                if (events[i].frame == start + frame && events[i].bytes[0] == status)
                    return sender.sentAt(i) - start;
            return std::int64_t{-1};
        };
        // Whether `length` frames from `from` were recorded, with no xrun (when the player may have
        // missed a period) near them.
        auto clean = [&](std::int64_t from, std::int64_t length) {
            for (std::int64_t i = from; i < from + length; ++i)
                if (!recorder.wasRecorded(i))
                    return false;
            return !recorder.xrunNear(start + from + length / 2, length / 2 + 4 * period);
        };
        auto left = [&](int pair) -> const std::vector<float>& {
            return recorder.recorded(2 + 2 * (pair - 1));
        };
        auto right = [&](int pair) -> const std::vector<float>& {
            return recorder.recorded(3 + 2 * (pair - 1));
        };
        auto silentPair = [&](int pair, std::int64_t from, std::int64_t to) {
            return silent(left(pair), from, to) && silent(right(pair), from, to);
        };
        // A note's start counts on both ports when the frames from its event to the end of the next
        // period were recorded cleanly.
        auto measureStart = [&](int pair, int note, std::int64_t at) {
            if (!clean(at, period + soundLead))
                return;
            delays.push_back({note, 0, onset(left(pair), at) - at});
            delays.push_back({note, 1, onset(right(pair), at) - at});
            ++starts[note];
        };

        for (int pair = 2; pair <= channelPairs; ++pair)
        {
            if (pair == 10)
                continue;
            EXPECT_TRUE(silentPair(pair, 0, recordLength)) << "pair " << pair;
        }
        const std::int64_t drumSent = sent(drumFrame, 0x99);
        EXPECT_TRUE(silentPair(10, 0, drumSent)) << "the drum pair sounded before the drum";
        EXPECT_TRUE(silentPair(1, drumSent, recordLength)) << "the drum sounded on the channel-1 pair";
        measureStart(10, notes, drumSent);

        std::int64_t noteSent[notes];
        for (int i = 0; i < notes; ++i)
        {
            const std::int64_t at = noteSent[i] = sent(noteFrames[i], 0x90);
            ASSERT_TRUE(silentPair(1, at - period, at)) << "the note before still sounds at " << at;
            measureStart(1, i, at);
            // A4 is 440 Hz: a period of 109.1 frames, where the semitones beside it have 103.0 and 115.6
            // (a recorded instrument is not tuned to the cent: the tolerance keeps well inside a
            // quarter tone).
            std::int64_t stretch = at + rate / 20;
            while (stretch < at + noteLength - window && !clean(stretch, window))
                stretch += period;
            if (clean(stretch, window))
            {
                EXPECT_NEAR(periodInFrames(left(1), stretch, window / 2, 90, 130), rate / 440.0, 2.5)
                    << "note " << i;
                ++pitches[i];
            }
        }

        // The same stretch of each note after its start: the piano's two notes sound alike, the
        // guitar's differs from them by about as much as the notes are loud.
        auto compared = [&](int a, int b) {
            const std::int64_t from = rate / 20;
            return clean(noteSent[a] + from, window) && clean(noteSent[b] + from, window)
                       ? relativeDifference(left(1), noteSent[a] + from, noteSent[b] + from, window)
                       : -1.0;
        };
        if (const double d = compared(0, 1); d >= 0)
            alike.push_back(d);
        if (const double d = compared(1, 2); d >= 0)
            changed.push_back(d);

        // The mix is the sum of the pairs, in every period but those an xrun tore (the recorder read
        // while a late player still wrote): at most one period per xrun.
        double peak = 0;
        std::set<std::int64_t> tornPeriods;
        for (std::int64_t i = 0; i < recordLength; ++i)
        {
            const auto frame = static_cast<std::size_t>(i);
            float sumLeft = 0, sumRight = 0;
            for (int pair = 1; pair <= channelPairs; ++pair)
            {
                sumLeft += left(pair)[frame];
                sumRight += right(pair)[frame];
            }
            if (std::abs(recorder.recorded(0)[frame] - sumLeft) > 1e-6f ||
                std::abs(recorder.recorded(1)[frame] - sumRight) > 1e-6f)
                tornPeriods.insert((start + i) / period);
            peak = std::max(peak, std::abs(static_cast<double>(sumLeft)));
        }
        EXPECT_LE(static_cast<int>(tornPeriods.size()), recorder.xruns())
            << "periods where the mix is not the sum of the pairs";
        EXPECT_GT(peak, 0.01);
    }
    EXPECT_EQ(process->stop(), 0) << process->output();

    // Every note was measured at least once: its start, its pitch, the sounds compared.
    for (int i = 0; i < notes; ++i)
    {
        EXPECT_GT(starts[i], 0) << "the start of note " << i << " was not recorded";
        EXPECT_GT(pitches[i], 0) << "note " << i << " was not recorded long enough for its pitch";
    }
    EXPECT_GT(starts[notes], 0) << "the drum's start was not recorded";
    ASSERT_FALSE(changed.empty()) << "the notes around the program change were not recorded";
    for (double d : alike)
        EXPECT_LT(d, 0.1) << "the piano's two notes differ";
    for (double d : changed)
        EXPECT_GT(d, 0.5) << "the program change did not change the sound";

    // The graph may delay by one period; every note, the drum's too, by the same amount: to the
    // frame for the piano's two notes, and within the sounds' own silence before their first sample
    // for all of them.
    ASSERT_FALSE(delays.empty());
    const auto [shortest, longest] = std::ranges::minmax(delays, {}, &Delay::frames);
    EXPECT_GE(shortest.frames, 0);
    EXPECT_LE(longest.frames, period + soundLead);
    EXPECT_LE(longest.frames - shortest.frames, soundLead)
        << "notes " << shortest.note << " and " << longest.note << " (3: the drum)";
    for (const Delay& delay : delays)
        for (const Delay& other : delays)
            if (delay.note < 2 && other.note < 2 && delay.port == other.port)
            {
                EXPECT_EQ(delay.frames, other.frames) << "the piano's notes, port " << delay.port;
            }
}

// A program change kept over a quit by SIGTERM and a start again (and again, quit by SIGINT); a cut
// state file is reported and the defaults played and saved instead.
TEST_F(PlayEndToEnd, TheStateSurvivesARestartAndADamagedStateFileGivesAWarningAndTheDefaults)
{
    TestClient watcher("watcher", 0, 0);
    const std::vector<std::string> arguments{"--no-gui", "--state", statePath().string()};

    auto first = startPlayer(arguments, watcher.handle());
    sendMidi({message(0, 0xC0, 11), message(10, 0xC3, 5)}); // channel 1 "Warm Pad", channel 4 "Synth Bass"
    EXPECT_EQ(first->stop(SIGTERM), 0) << first->output();
    const auto edited = processorState(statePath());
    ASSERT_EQ(edited.size(), 5244u);
    EXPECT_EQ(edited[channel1Program], 11);
    EXPECT_EQ(edited[channel4Program], 5);

    auto second = startPlayer(arguments, watcher.handle());
    EXPECT_EQ(second->stop(SIGINT), 0) << second->output();
    EXPECT_EQ(processorState(statePath()), edited);
    // Only the state file is left: the temporary files were renamed.
    EXPECT_EQ(entryCount(folder), 1 + runs) << "state file and logs only";

    // (This run also connects itself: the mix to the server's playback ports.)
    auto fresh =
        startPlayer({"--no-gui", "--connect", "--state", (folder / "fresh.bin").string()}, watcher.handle());
    for (const char* side : {"L", "R"})
    {
        const std::string port = player + "out_" + side;
        const std::string playback = std::string("system:playback_") + (side[0] == 'L' ? "1" : "2");
        EXPECT_TRUE(connectedWithin(watcher.handle(), port, playback)) << port << "\n" << fresh->output();
    }
    EXPECT_EQ(fresh->stop(), 0);
    const auto defaults = processorState(folder / "fresh.bin");
    EXPECT_NE(defaults, edited);

    const std::string whole = fileContents(statePath());
    std::ofstream(statePath(), std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() / 2);
    auto damaged = startPlayer(arguments, watcher.handle());
    EXPECT_EQ(damaged->stop(), 0);
    const std::string output = damaged->output();
    EXPECT_NE(output.find("warning: the state file " + statePath().string() + " is damaged"),
              std::string::npos)
        << output;
    EXPECT_EQ(processorState(statePath()), defaults);
}

TEST_F(PlayEndToEnd, FailuresSayWhatWentWrong)
{
    fs::create_directories(folder / "Empty.vst3");
    const std::string state = (folder / "s.bin").string();
    // The arguments, a variable set for the run (with its value), the exit code and the texts expected.
    // clang-format off
    const struct { std::vector<std::string> arguments; const char* variable; const char* value; int exitCode;
                   std::vector<std::string> expected; } cases[] = {
        {{"--no-gui", "--plugin", (folder / "Missing.vst3").string()}, nullptr, nullptr, 1, {"no plug-in at"}},
        {{"--no-gui", "--plugin", (folder / "Empty.vst3").string()}, nullptr, nullptr, 1, {"cannot load the plug-in"}},
        {{"--no-gui", "--state", state}, "JACK_DEFAULT_SERVER", "taviro-no-such-server", 1,
         {"no JACK server is running", "pw-jack"}},
        {{"--state", state}, "DISPLAY", ":4242", 1, {"cannot open the display", "--no-gui"}},
        {{"--no-gui", "--period", "64"}, nullptr, nullptr, 2, {"unknown argument \"--period\""}}};
    // clang-format on
    for (const auto& c : cases)
    {
        const char* before = c.variable ? std::getenv(c.variable) : nullptr;
        const std::string saved = before ? before : "";
        if (c.variable)
            setenv(c.variable, c.value, 1);
        PlayerProcess process(c.arguments, folder / "failure.log");
        const int code = process.wait();
        if (c.variable && before)
            setenv(c.variable, saved.c_str(), 1);
        else if (c.variable)
            unsetenv(c.variable);
        const std::string output = process.output();
        EXPECT_EQ(code, c.exitCode) << output;
        for (const std::string& text : c.expected)
            EXPECT_NE(output.find(text), std::string::npos) << "\"" << text << "\" not in: " << output;
        EXPECT_FALSE(fs::exists(folder / "s.bin")) << "a failed start saves nothing";
    }
}

// The X server's view of the editor's top-level window.
struct X11Client
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    ~X11Client() { xcb_disconnect(connection); }

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return result;
    }
    std::vector<std::uint8_t> property(xcb_window_t window, xcb_atom_t name)
    {
        auto* reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr);
        std::vector<std::uint8_t> value;
        if (reply)
        {
            const auto* bytes = static_cast<const std::uint8_t*>(xcb_get_property_value(reply));
            value.assign(bytes, bytes + xcb_get_property_value_length(reply));
            std::free(reply);
        }
        return value;
    }
    std::vector<xcb_window_t> children(xcb_window_t window)
    {
        std::vector<xcb_window_t> list;
        if (auto* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr))
        {
            list.assign(xcb_query_tree_children(tree), xcb_query_tree_children(tree) + tree->children_len);
            std::free(tree);
        }
        return list;
    }
    xcb_window_t root() { return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root; }
    // The top-level window titled `title`, once it and the view inside it exist.
    xcb_window_t waitForWindow(const std::string& title)
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline)
        {
            for (xcb_window_t window : children(root()))
            {
                const auto name = property(window, XCB_ATOM_WM_NAME);
                if (std::string(name.begin(), name.end()) == title && !children(window).empty())
                    return window;
            }
            std::this_thread::sleep_for(50ms);
        }
        return XCB_WINDOW_NONE;
    }
    void send(xcb_window_t window, const void* event, std::uint32_t mask = XCB_EVENT_MASK_NO_EVENT)
    {
        xcb_send_event(connection, 0, window, mask, static_cast<const char*>(event));
        xcb_flush(connection);
    }
};

// The editor opens in a window of its own; a drag on a knob reaches the processor; closing the
// window quits and saves.
TEST_F(PlayEndToEnd, TheEditorWindowEditsTheProcessorAndClosingItQuits)
{
    static VirtualDisplay display;
    ASSERT_FALSE(display.name.empty()) << "Xvfb could not be started";
    TestClient watcher("watcher", 0, 0);
    auto process = startPlayer({"--state", statePath().string()}, watcher.handle());

    X11Client x;
    const xcb_window_t window = x.waitForWindow("Taviro PlugIn");
    ASSERT_NE(window, XCB_WINDOW_NONE) << process->output();
    auto* geometry = xcb_get_geometry_reply(x.connection, xcb_get_geometry(x.connection, window), nullptr);
    ASSERT_TRUE(geometry);
    const int width = geometry->width, height = geometry->height;
    std::free(geometry);
    const double scale = width / 946.0;
    EXPECT_GE(scale, 1.0);
    EXPECT_NEAR(height, 565 * scale, 1);
    // Not resizable: the window manager is told its smallest and largest size are its size.
    const auto hints = x.property(window, XCB_ATOM_WM_NORMAL_HINTS);
    ASSERT_GE(hints.size(), 9 * 4u);
    std::uint32_t words[9];
    std::memcpy(words, hints.data(), sizeof words);
    EXPECT_EQ(words[0] & 0x30u, 0x30u);
    EXPECT_EQ(std::vector<std::uint32_t>(words + 5, words + 9),
              (std::vector<std::uint32_t>{std::uint32_t(width), std::uint32_t(height), std::uint32_t(width),
                                          std::uint32_t(height)}));

    // Drag OSC 1's volume knob of channel 1 (panel at 180, 10; group 15, 55; column 10, 30; knob 5, 65,
    // 42 x 42) down by 40 pixels: from full volume to less.
    const xcb_window_t view = x.children(window).at(0);
    std::this_thread::sleep_for(300ms);
    const double knobX = 180 + 15 + 10 + 5 + 21, knobY = 10 + 55 + 30 + 65 + 21;
    for (auto [type, dy] : {std::pair{XCB_BUTTON_PRESS, 0}, std::pair{XCB_BUTTON_RELEASE, 40}})
    {
        xcb_button_press_event_t event{};
        event.response_type = static_cast<std::uint8_t>(type);
        event.detail = 1;
        event.event = view;
        event.event_x = static_cast<std::int16_t>(knobX * scale);
        event.event_y = static_cast<std::int16_t>((knobY + dy) * scale);
        event.same_screen = 1;
        x.send(view, &event);
    }
    std::this_thread::sleep_for(500ms);

    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = x.atom("WM_PROTOCOLS");
    close.data.data32[0] = x.atom("WM_DELETE_WINDOW");
    x.send(window, &close);
    EXPECT_EQ(process->wait(), 0) << process->output();

    const auto state = processorState(statePath());
    ASSERT_EQ(state.size(), 5244u);
    double volume = 0;
    std::memcpy(&volume, state.data() + channel1Volume, sizeof volume); // little-endian on this machine
    EXPECT_LT(volume, 0.99);
    EXPECT_GT(volume, 0.0);
}

} // namespace
} // namespace Taviro::Test
