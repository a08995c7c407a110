#include "RiffWaveWriter.h"

#include <cstdio>

namespace TaviroSampleGen {
namespace {

class LittleEndianWriter
{
  public:
    explicit LittleEndianWriter(std::vector<uint8_t>& bytes) : bytes(bytes) {}

    void tag(const char (&fourCC)[5])
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(fourCC[i]));
    }
    void u16(uint32_t value) { integer(value, 2); }
    void u32(uint32_t value) { integer(value, 4); }
    void integer(uint32_t value, int byteCount)
    {
        for (int i = 0; i < byteCount; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }

  private:
    std::vector<uint8_t>& bytes;
};

constexpr uint32_t kSmplBodySize = 36 + 24; // header fields and one loop record

} // namespace

std::vector<uint8_t> makeRiffWaveImage(const PcmRecording& recording)
{
    const uint32_t bytesPerSample = static_cast<uint32_t>(recording.bitsPerSample / 8);
    const uint32_t blockAlign = bytesPerSample * static_cast<uint32_t>(recording.channels);
    const uint32_t dataSize = static_cast<uint32_t>(recording.values.size()) * bytesPerSample;
    const uint32_t padding = dataSize & 1;
    const uint32_t smplChunkSize = recording.loop ? 8 + kSmplBodySize : 0;
    const uint32_t riffSize = 4 + (8 + 16) + (8 + dataSize + padding) + smplChunkSize;

    std::vector<uint8_t> bytes;
    bytes.reserve(8 + riffSize);
    LittleEndianWriter out(bytes);
    out.tag("RIFF");
    out.u32(riffSize);
    out.tag("WAVE");

    out.tag("fmt ");
    out.u32(16);
    out.u16(1); // integer PCM
    out.u16(static_cast<uint32_t>(recording.channels));
    out.u32(static_cast<uint32_t>(recording.sampleRate));
    out.u32(static_cast<uint32_t>(recording.sampleRate) * blockAlign);
    out.u16(blockAlign);
    out.u16(static_cast<uint32_t>(recording.bitsPerSample));

    out.tag("data");
    out.u32(dataSize);
    for (int32_t value : recording.values)
        out.integer(static_cast<uint32_t>(value), static_cast<int>(bytesPerSample));
    if (padding)
        bytes.push_back(0);

    if (recording.loop)
    {
        const uint32_t samplePeriodNs = static_cast<uint32_t>(1000000000.0 / recording.sampleRate + 0.5);
        out.tag("smpl");
        out.u32(kSmplBodySize);
        out.u32(0);              // manufacturer
        out.u32(0);              // product
        out.u32(samplePeriodNs); // sample period
        out.u32(0);              // MIDI unity note: the root key comes from the zone table
        out.u32(0);              // MIDI pitch fraction
        out.u32(0);              // SMPTE format
        out.u32(0);              // SMPTE offset
        out.u32(1);              // number of sample loops
        out.u32(0);              // sampler data
        out.u32(0);              // cue point ID
        out.u32(0);              // loop type: forward
        out.u32(recording.loop->start);
        out.u32(recording.loop->end); // exclusive: the frame at which playback wraps
        out.u32(0);                   // fraction
        out.u32(0);                   // play count: endless
    }
    return bytes;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace TaviroSampleGen
