// Reads a recording in place: accepts uncompressed PCM WAVE (mono or stereo, 8/16/24/32 bits,
// "fmt " first), finds its "data" chunk and at most one loop from a "smpl" chunk after it.
#include "ResourceStore.h"
#include "WaveSample.h"

#include <cstring>
#include <limits>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

constexpr uint64 kChunkHeaderSize = 8;
constexpr uint64 kFormatBodySize = 16;
constexpr uint64 kFirstChunk = 12;
constexpr uint64 kFirstLoopStart = 44;      // in the "smpl" body
constexpr uint64 kFirstLoopEnd = 48;        // in the "smpl" body
constexpr uint64 kLoopCountOffset = 28;     // in the "smpl" body
constexpr uint64 kSmplBodyWithOneLoop = 52; // up to the first loop's end field

uint32 readU32(const uint8* p)
{
    return static_cast<uint32>(p[0]) | static_cast<uint32>(p[1]) << 8 | static_cast<uint32>(p[2]) << 16 |
           static_cast<uint32>(p[3]) << 24;
}

uint16 readU16(const uint8* p)
{
    return static_cast<uint16>(p[0] | p[1] << 8);
}

bool hasId(const uint8* p, const char (&fourCC)[5])
{
    return std::memcmp(p, fourCC, 4) == 0;
}

// A chunk's body size counts its pad byte when odd. 64 bits: a size near 4 GiB plus the pad byte
// must not wrap.
uint64 evenSize(uint32 size)
{
    return static_cast<uint64>(size) + (size & 1u);
}

// Positions are byte offsets from the start of the image; a chunk is read only after its header
// has been found to fit.
struct ChunkWalk
{
    bool headerFits(uint64 position) const { return position + kChunkHeaderSize <= size; }
    const uint8* at(uint64 position) const { return image + position; }
    uint64 bodySize(uint64 position) const { return evenSize(readU32(at(position + 4))); }
    uint64 next(uint64 position) const { return position + kChunkHeaderSize + bodySize(position); }

    const uint8* image;
    uint64 size;
};

void takeLoop(WaveSample& sample, const ChunkWalk& walk, uint64 chunk)
{
    const uint64 body = chunk + kChunkHeaderSize;
    if (readU32(walk.at(chunk + 4)) < kSmplBodyWithOneLoop || body + kSmplBodyWithOneLoop > walk.size)
        return;
    const auto loopCount = static_cast<int32>(readU32(walk.at(body + kLoopCountOffset)));
    if (loopCount <= 0)
        return;
    const uint64 start = readU32(walk.at(body + kFirstLoopStart));
    const uint64 end = readU32(walk.at(body + kFirstLoopEnd));
    const auto frameBytes = static_cast<uint64>(sample.bytesPerSample) * static_cast<uint64>(sample.channels);
    if (start < end && end * frameBytes <= static_cast<uint64>(sample.dataSize))
    {
        sample.hasLoop = true;
        sample.loopStart = start;
        sample.loopEnd = end;
    }
}

// Whether the two samples of each stereo frame have the same bytes; a fixed width lets the
// compiler compare many frames at a time.
template <uint64 bytes>
bool sidesMatch(const uint8* data, uint64 frames)
{
    uint8 difference = 0;
    for (uint64 f = 0; f < frames; ++f)
        for (uint64 b = 0; b < bytes; ++b)
            difference |= data[f * 2 * bytes + b] ^ data[f * 2 * bytes + bytes + b];
    return difference == 0;
}

} // namespace

bool parseWaveImage(WaveSample& sample, const uint8* image, size_t size)
{
    sample.hasLoop = false;
    sample.sidesAlike = false;
    const ChunkWalk walk{image, size};
    if (size < kFirstChunk || !hasId(image, "RIFF") || !hasId(image + 8, "WAVE"))
        return false;

    if (!walk.headerFits(kFirstChunk) || !hasId(walk.at(kFirstChunk), "fmt "))
        return false;
    const uint64 formatSize = walk.bodySize(kFirstChunk);
    const uint64 afterFormat = walk.next(kFirstChunk);
    if (afterFormat > size || formatSize < kFormatBodySize)
        return false;

    const uint8* format = walk.at(kFirstChunk + kChunkHeaderSize);
    const uint16 formatTag = readU16(format);
    const uint16 channels = readU16(format + 2);
    const uint32 sampleRate = readU32(format + 4);
    const uint16 bitsPerSample = readU16(format + 14);
    if (formatTag != 1)
        return false;
    if (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != 24 && bitsPerSample != 32)
        return false;
    if (channels != 1 && channels != 2)
        return false;
    sample.channels = channels;
    sample.sampleRate = static_cast<int32>(sampleRate);
    sample.bitsPerSample = bitsPerSample;
    sample.bytesPerSample = bitsPerSample / 8;

    if (!walk.headerFits(afterFormat))
        return false;
    uint64 chunk = afterFormat;
    for (;;)
    {
        if (hasId(walk.at(chunk), "data"))
        {
            const uint64 body = chunk + kChunkHeaderSize;
            const uint64 dataSize = walk.bodySize(chunk);
            // The record counts data bytes in 32 bits; a larger chunk cannot be described.
            if (body + dataSize <= size && dataSize <= static_cast<uint64>(std::numeric_limits<int32>::max()))
            {
                sample.data = walk.at(body);
                sample.dataSize = static_cast<int32>(dataSize);
                break;
            }
        }
        chunk = walk.next(chunk);
        if (!walk.headerFits(chunk))
            return false;
    }

    for (chunk = walk.next(chunk); walk.headerFits(chunk); chunk = walk.next(chunk))
        if (hasId(walk.at(chunk), "smpl"))
            takeLoop(sample, walk, chunk);
    return true;
}

bool hasAlikeSides(const WaveSample& sample)
{
    if (sample.channels != 2)
        return false;
    const uint64 frames =
        static_cast<uint64>(sample.dataSize) / (2 * static_cast<uint64>(sample.bytesPerSample));
    switch (sample.bytesPerSample)
    {
    case 1:
        return sidesMatch<1>(sample.data, frames);
    case 2:
        return sidesMatch<2>(sample.data, frames);
    case 3:
        return sidesMatch<3>(sample.data, frames);
    default:
        return sidesMatch<4>(sample.data, frames);
    }
}

bool loadWaveResource(WaveSample& sample, uint16 resourceId)
{
    const ResourceBytes resource = findResource("WAVE", resourceId);
    if (!parseWaveImage(sample, resource.data, resource.size))
        return false;
    // The memo: 1 once the sides were found to differ, 2 once found alike. The resources are
    // mapped once per process, so the whole-recording scan runs at the first activation only.
    uint8 known = resource.memo->load(std::memory_order_relaxed);
    if (known == 0)
    {
        known = hasAlikeSides(sample) ? 2 : 1;
        resource.memo->store(known, std::memory_order_relaxed);
    }
    sample.sidesAlike = known == 2;
    return true;
}

} // namespace Steinberg::Vst::TaviroPlugIn
