#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Stored sample formats of the recordings, by bits per sample.
enum SampleFormat : int32
{
    kSample8Bit = 0,  // unsigned, 128 = silence
    kSample16Bit = 1, // signed little-endian
    kSample24Bit = 2, // signed little-endian, three bytes
    kSample32Bit = 3, // signed little-endian
};

// Bytes of one stored sample of a format.
constexpr uint64 bytesPerSampleOf(int32 format)
{
    return static_cast<uint64>(format) + 1;
}

// The format for a bits-per-sample value; -1 for anything else.
inline int32 sampleFormatForBits(int32 bitsPerSample)
{
    switch (bitsPerSample)
    {
    case 8: return kSample8Bit;
    case 16: return kSample16Bit;
    case 24: return kSample24Bit;
    case 32: return kSample32Bit;
    default: return -1;
    }
}

// One stored sample as a value in -1..1: positive codes divided by the largest positive code,
// negative ones scaled by one over the most negative code, so that both ends map to exactly +-1.
template <typename T, int32 format>
inline T convertSample(const uint8* p)
{
    int32 v;
    T positiveDivisor, negativeScale;
    if constexpr (format == kSample8Bit)
    {
        v = static_cast<int32>(p[0]) - 128;
        positiveDivisor = T(127);
        negativeScale = T(0.0078125);
    }
    else if constexpr (format == kSample16Bit)
    {
        v = static_cast<int16>(static_cast<uint16>(p[0] | (p[1] << 8)));
        positiveDivisor = T(32767);
        negativeScale = T(3.0517578125e-05);
    }
    else if constexpr (format == kSample24Bit)
    {
        v = static_cast<int32>(p[0] | (p[1] << 8) | (p[2] << 16));
        if (v & 0x800000)
            v -= 0x1000000;
        positiveDivisor = T(8388607);
        negativeScale = T(1.1920928955078125e-07);
    }
    else
    {
        v = static_cast<int32>(static_cast<uint32>(p[0]) | (static_cast<uint32>(p[1]) << 8) |
                               (static_cast<uint32>(p[2]) << 16) | (static_cast<uint32>(p[3]) << 24));
        positiveDivisor = T(2147483647);
        negativeScale = T(4.656612873077393e-10);
    }
    if (v > 0)
        return static_cast<T>(v) / positiveDivisor;
    if (v < 0)
        return static_cast<T>(v) * negativeScale;
    return T(0);
}

// 16-bit codes converted once: the recordings are mostly 16-bit, and a division per read is the
// largest cost of sample playback.
template <typename T>
struct Sample16Table
{
    Sample16Table()
    {
        for (int32 code = 0; code < 65536; ++code)
        {
            const uint8 bytes[2] = {static_cast<uint8>(code & 0xff), static_cast<uint8>(code >> 8)};
            values[code] = convertSample<T, kSample16Bit>(bytes);
        }
    }
    T values[65536];
};

template <typename T>
inline const Sample16Table<T> sample16Table;

// convertSample, with 16-bit codes taken from the table.
template <typename T, int32 format>
inline T readSample(const uint8* p)
{
    if constexpr (format == kSample16Bit)
        return sample16Table<T>.values[p[0] | (p[1] << 8)];
    else
        return convertSample<T, format>(p);
}

} // namespace Steinberg::Vst::TaviroPlugIn
