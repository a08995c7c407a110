#include "tools/play/StateFile.h"

#include "tools/render/HostedPlugin.h"

#include "public.sdk/source/common/memorystream.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace Taviro::Play {

using namespace Steinberg;
using namespace Steinberg::Vst;
namespace fs = std::filesystem;

namespace {

constexpr char magic[8] = {'T', 'V', 'P', 'L', 'A', 'Y', 'S', 'T'};
constexpr std::uint32_t formatVersion = 1;

std::uint32_t checksum(std::span<const std::uint8_t> bytes)
{
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (std::uint8_t byte : bytes)
        hash = (hash ^ byte) * 16777619u;
    return hash;
}

void putWord(std::vector<std::uint8_t>& out, std::uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(word >> shift));
}

class Reader
{
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes(bytes) {}

    std::span<const std::uint8_t> take(std::size_t count)
    {
        if (bytes.size() - position < count)
            throw StateFileError("it is cut short");
        auto part = bytes.subspan(position, count);
        position += count;
        return part;
    }
    std::uint32_t word()
    {
        auto part = take(4);
        return part[0] | part[1] << 8 | part[2] << 16 | static_cast<std::uint32_t>(part[3]) << 24;
    }
    std::size_t offset() const { return position; }

private:
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

std::vector<std::uint8_t> streamBytes(MemoryStream& stream)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(stream.getData());
    return {data, data + stream.getSize()};
}

} // namespace

std::vector<std::uint8_t> encodeState(const SavedState& state)
{
    std::vector<std::uint8_t> out(std::begin(magic), std::end(magic));
    putWord(out, formatVersion);
    for (const auto* stream : {&state.processor, &state.controller})
    {
        putWord(out, static_cast<std::uint32_t>(stream->size()));
        out.insert(out.end(), stream->begin(), stream->end());
    }
    putWord(out, checksum(out));
    return out;
}

SavedState decodeState(std::span<const std::uint8_t> bytes)
{
    Reader reader(bytes);
    if (std::memcmp(reader.take(sizeof magic).data(), magic, sizeof magic) != 0)
        throw StateFileError("it is not a taviro-play state file");
    if (reader.word() != formatVersion)
        throw StateFileError("it was written by another version of taviro-play");
    SavedState state;
    for (auto* stream : {&state.processor, &state.controller})
    {
        auto part = reader.take(reader.word());
        stream->assign(part.begin(), part.end());
    }
    const std::uint32_t expected = checksum(bytes.first(reader.offset()));
    if (reader.word() != expected || reader.offset() != bytes.size())
        throw StateFileError("its checksum does not match");
    return state;
}

std::string defaultStatePath()
{
    const char* home = std::getenv("HOME");
    return (fs::path(home ? home : ".") / ".config" / "taviro-play" / "state.bin").string();
}

std::optional<SavedState> readStateFile(const std::string& path)
{
    std::error_code error;
    if (!fs::exists(path, error))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    if (!file.good() && !file.eof())
        throw StateFileError("cannot read the state file " + path);
    try
    {
        return decodeState(bytes);
    }
    catch (const StateFileError& damage)
    {
        throw StateFileError("the state file " + path + " is damaged (" + damage.what() + ")");
    }
}

void writeStateFile(const std::string& path, const SavedState& state)
{
    const fs::path target(path);
    std::error_code error;
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0)
        throw StateFileError("cannot write the state file " + path + ": " + std::strerror(errno));
    const auto bytes = encodeState(state);
    std::size_t written = 0;
    while (written < bytes.size())
    {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const bool complete = written == bytes.size() && ::fsync(descriptor) == 0;
    ::close(descriptor);
    if (!complete || std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        throw StateFileError("cannot write the state file " + path + ": " + reason);
    }
}

SavedState captureState(Render::HostedPlugin& plugin)
{
    SavedState state;
    IPtr<MemoryStream> processorStream = owned(new MemoryStream());
    if (plugin.component().getState(processorStream) == kResultOk)
        state.processor = streamBytes(*processorStream);
    if (IEditController* controller = plugin.controller())
    {
        IPtr<MemoryStream> controllerStream = owned(new MemoryStream());
        if (controller->getState(controllerStream) == kResultOk) // this plug-in's controller keeps none
            state.controller = streamBytes(*controllerStream);
    }
    return state;
}

void restoreState(Render::HostedPlugin& plugin, const SavedState& state)
{
    auto reading = [](const std::vector<std::uint8_t>& bytes) {
        return owned(
            new MemoryStream(const_cast<std::uint8_t*>(bytes.data()), static_cast<TSize>(bytes.size())));
    };
    if (plugin.component().setState(reading(state.processor)) != kResultOk)
        throw StateFileError("the plug-in does not accept the saved sound settings");
    if (IEditController* controller = plugin.controller())
    {
        controller->setComponentState(reading(state.processor));
        if (!state.controller.empty())
            controller->setState(reading(state.controller));
    }
}

} // namespace Taviro::Play
