// Writes the fuzzers' starting inputs from what the build made: states from getState (fresh, and
// with every factory program), the recordings cut short, and the UI description cut down to two
// channel panels. Usage: fuzz-seeds <seed folder> <bundle Resources folder>
#include "source/state/GlobalParameterState.h"
#include "source/state/InstrumentPrograms.h"
#include "tests/support/ByteStream.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;
namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr size_t kShortData = 2048;    // bytes of PCM kept from a recording without a loop
constexpr size_t kLongestLoop = 16384; // a loop ending within this many bytes is kept whole

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

uint32_t readU32(const unsigned char* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

void putU32(Bytes& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

Bytes stateImage(const GlobalParameterState& state)
{
    Taviro::Test::ByteStream stream;
    state.getState(&stream);
    return stream.data();
}

// The state fuzzer's script after the state: three bytes per action (kind | block << 2 | channel
// << 4, then two arguments).
void appendScript(Bytes& image)
{
    const unsigned char script[] = {
        0x02, 46,  200, // channel 1: program change to USER 1
        0x10, 64,  100, // channel 2: note-on, key 64
        0x16, 6,   0,   // channel 2, second block: OSC 1 filter frequency down to 0
        0x15, 64,  10,  // channel 2, second block: note-off by its ID
        0x33, 129, 249, // channel 4: volume note expression for note ID 64 (of channel 2)
        0x2e, 42,  252, // channel 3, fourth block: a volume that is not a number
    };
    image.insert(image.end(), std::begin(script), std::end(script));
}

void writeStates(const fs::path& folder)
{
    GlobalParameterState state;
    setInitialContents(state);
    writeFile(folder / "fresh.state", stateImage(state));
    Bytes scripted = stateImage(state);
    appendScript(scripted);
    writeFile(folder / "fresh-scripted.state", scripted);
    for (int8 program = 1; program < kNumFactoryPrograms; ++program)
    {
        for (int32 ch = 0; ch < kNumChannels; ++ch)
            if (ch != 9)
            {
                state.program[ch] = program;
                applyProgram(state, ch, nullptr);
            }
        writeFile(folder / ("program-" + std::to_string(program) + ".state"), stateImage(state));
    }
}

// The recording with its "data" chunk cut short (frame-aligned) and every other chunk kept.
Bytes shortened(const Bytes& wave)
{
    if (wave.size() < 36 || std::memcmp(wave.data(), "RIFF", 4) != 0)
        return wave;
    const size_t frameBytes = size_t(wave[22] | wave[23] << 8) * (size_t(wave[34] | wave[35] << 8) / 8);
    size_t loopEnd = 0;
    for (size_t at = 12; at + 8 <= wave.size(); at += 8 + ((readU32(&wave[at + 4]) + 1) & ~1u))
        if (std::memcmp(&wave[at], "smpl", 4) == 0 && at + 8 + 52 <= wave.size())
            loopEnd = readU32(&wave[at + 8 + 48]) * frameBytes;
    const size_t keep = loopEnd > 0 && loopEnd <= kLongestLoop
                            ? loopEnd
                            : kShortData / std::max<size_t>(frameBytes, 1) * frameBytes;

    Bytes out(wave.begin(), wave.begin() + 12);
    for (size_t at = 12; at + 8 <= wave.size();)
    {
        const size_t body = readU32(&wave[at + 4]);
        const size_t next = std::min(wave.size(), at + 8 + body + (body & 1));
        if (std::memcmp(&wave[at], "data", 4) == 0 && body > keep)
        {
            out.insert(out.end(), wave.begin() + at, wave.begin() + at + 8 + keep);
            putU32(out, out.size() - keep - 4, static_cast<uint32_t>(keep));
        }
        else
            out.insert(out.end(), wave.begin() + at, wave.begin() + next);
        at = next;
    }
    putU32(out, 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

void writeRecordings(const fs::path& resources, const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(resources / "WAVE"))
        if (entry.path().extension() == ".wav")
            writeFile(folder / entry.path().filename(), shortened(readFile(entry.path())));
}

// The description with only the window and the panels of channels 1 and 10: the whole one is eight
// times as large, which makes every mutation of it as much slower, and repeats the same panel.
void writeDescription(const fs::path& resources, const fs::path& folder)
{
    pugi::xml_document document;
    if (!document.load_file((resources / "TaviroPlugIn.uidesc").c_str()))
        return;
    auto root = document.child("vstgui-ui-description");
    auto keptChannel = [](std::string_view name) {
        return name.ends_with("MIDIChannel1") || name.ends_with("MIDIChannel10") ||
               name.starts_with("Editor") || name == "ActiveVoices" || name == "MC1" || name == "MC10";
    };
    auto tags = root.child("control-tags");
    for (auto tag = tags.first_child(); tag;)
    {
        auto next = tag.next_sibling();
        if (!keptChannel(tag.attribute("name").value()))
            tags.remove_child(tag);
        tag = next;
    }
    for (auto t = root.child("template"); t;)
    {
        auto next = t.next_sibling("template");
        if (!keptChannel(t.attribute("name").value()))
            root.remove_child(t);
        t = next;
    }
    document.save_file((folder / "two-panels.uidesc").c_str(), "", pugi::format_raw);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: fuzz-seeds <seed folder> <bundle Resources folder>\n";
        return 2;
    }
    const fs::path seeds = argv[1], resources = argv[2];
    for (const char* name : {"state", "wave", "uidesc", "midi"})
        fs::create_directories(seeds / name);
    writeStates(seeds / "state");
    writeRecordings(resources, seeds / "wave");
    writeDescription(resources, seeds / "uidesc");
    return 0;
}
