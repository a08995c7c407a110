// The audio file writer where libsndfile is absent (the Windows build): RIFF WAVE written directly,
// stereo, 24-bit integer or 32-bit float, with the sizes filled in when the file is committed. The
// samples are converted as libsndfile converts them, so both writers give the same samples.
#include "tools/render/AudioFileWriter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace Taviro::Render {

struct AudioFileHandle
{
    std::FILE* stream = nullptr;
    SampleFormat format = SampleFormat::Pcm24;
    int sampleRate = 0;
    std::uint64_t dataBytes = 0;
    std::vector<unsigned char> bytes;
};

namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
// RIFF sizes are 32-bit: the data chunk must leave room for the header before it.
constexpr std::uint64_t kLargestData = 0xFFFFFFFFu - 64;

void put16(std::vector<unsigned char>& out, std::uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putId(std::vector<unsigned char>& out, const char* id)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(id[i]));
}

// RIFF header, format chunk (a float file also gets its "fact" chunk) and the data chunk header.
std::vector<unsigned char> header(SampleFormat format, int sampleRate, std::uint64_t dataBytes)
{
    const bool isFloat = format == SampleFormat::Float32;
    const std::uint32_t bytesPerSample = isFloat ? 4 : 3;
    const std::uint32_t frames = static_cast<std::uint32_t>(dataBytes / (2 * bytesPerSample));
    std::vector<unsigned char> out;
    putId(out, "RIFF");
    put32(out, 0); // set below
    putId(out, "WAVE");
    putId(out, "fmt ");
    put32(out, isFloat ? 18 : 16);
    put16(out, isFloat ? kFormatFloat : kFormatPcm);
    put16(out, 2);
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * 2 * bytesPerSample);
    put16(out, 2 * bytesPerSample);
    put16(out, 8 * bytesPerSample);
    if (isFloat)
    {
        put16(out, 0);
        putId(out, "fact");
        put32(out, 4);
        put32(out, frames);
    }
    putId(out, "data");
    put32(out, static_cast<std::uint32_t>(dataBytes));
    const auto riffSize = static_cast<std::uint32_t>(out.size() - 8 + dataBytes);
    std::memcpy(out.data() + 4, &riffSize, 4); // little-endian on every target we build for
    return out;
}

// As libsndfile with clipping on: scaled to 32 bits, rounded, the top 24 bits kept.
void putPcm24(std::vector<unsigned char>& out, double sample)
{
    const double scaled = sample * 2147483648.0;
    std::int32_t value;
    if (scaled >= 2147483647.0)
        value = 0x7FFFFFFF;
    else if (scaled <= -2147483648.0)
        value = static_cast<std::int32_t>(0x80000000u);
    else
        value = static_cast<std::int32_t>(std::lrint(scaled));
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value >> 16));
    out.push_back(static_cast<unsigned char>(value >> 24));
}

void putFloat(std::vector<unsigned char>& out, double sample)
{
    const float value = static_cast<float>(sample);
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    put32(out, bits);
}

// ".<name>.<number>.tmp" beside the target, a name no other file has.
fs::path temporaryFileFor(const fs::path& target, const fs::path& folder)
{
    static std::atomic<unsigned> counter{0};
    const auto clock =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::string name(1, '.');
        name.append(target.filename().string()).append(1, '.').append(std::to_string(clock % 1000000));
        name.append(1, '-').append(std::to_string(counter++)).append(".tmp");
        if (!fs::exists(folder / name, error))
            return folder / name;
    }
    return {};
}

} // namespace

AudioFileWriter::AudioFileWriter(std::string path, int sampleRate, SampleFormat format)
    : finalPath(std::move(path))
{
    fs::path target(finalPath);
    fs::path folder = folderForNewFile(finalPath);

    temporaryPath = temporaryFileFor(target, folder).string();
    std::FILE* stream = temporaryPath.empty() ? nullptr : std::fopen(temporaryPath.c_str(), "wb");
    if (!stream)
    {
        temporaryPath.clear();
        throw AudioFileError("cannot write into folder " + folder.string() + ": " + std::strerror(errno));
    }
    file = std::make_unique<AudioFileHandle>(AudioFileHandle{stream, format, sampleRate, 0, {}});
    const auto start = header(format, sampleRate, 0);
    if (std::fwrite(start.data(), 1, start.size(), stream) != start.size())
    {
        discard();
        throw AudioFileError("cannot write " + finalPath + ": " + std::strerror(errno));
    }
}

AudioFileWriter::~AudioFileWriter()
{
    discard();
}

void AudioFileWriter::discard()
{
    if (file)
        std::fclose(file->stream);
    file.reset();
    if (!temporaryPath.empty())
        std::remove(temporaryPath.c_str());
    temporaryPath.clear();
}

void AudioFileWriter::write(const double* left, const double* right, std::size_t frames)
{
    if (!file)
        throw AudioFileError("cannot write " + finalPath + ": the file is already closed");
    std::vector<unsigned char>& bytes = file->bytes;
    bytes.clear();
    for (std::size_t i = 0; i < frames; ++i)
        for (double sample : {left[i], right[i]})
        {
            if (file->format == SampleFormat::Pcm24)
                putPcm24(bytes, sample);
            else
                putFloat(bytes, sample);
        }
    if (file->dataBytes + bytes.size() > kLargestData)
        throw AudioFileError("cannot write " + finalPath + ": longer than a WAV file can hold");
    if (std::fwrite(bytes.data(), 1, bytes.size(), file->stream) != bytes.size())
        throw AudioFileError("cannot write " + finalPath + ": " + std::strerror(errno));
    file->dataBytes += bytes.size();
}

void AudioFileWriter::commit()
{
    if (!file)
        throw AudioFileError("cannot write " + finalPath + ": the file is already closed");
    const auto finished = header(file->format, file->sampleRate, file->dataBytes);
    const bool written = std::fseek(file->stream, 0, SEEK_SET) == 0 &&
                         std::fwrite(finished.data(), 1, finished.size(), file->stream) == finished.size();
    const bool closed = std::fclose(file->stream) == 0;
    file.reset();
    if (!written || !closed)
        throw AudioFileError("cannot write " + finalPath + ": " + std::strerror(errno));
    std::error_code error;
    fs::rename(temporaryPath, finalPath, error); // replaces an existing file, on Windows too
    if (error)
        throw AudioFileError("cannot write " + finalPath + ": " + error.message());
    temporaryPath.clear();
}

} // namespace Taviro::Render
