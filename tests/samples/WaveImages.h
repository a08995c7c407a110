#pragma once

#include "source/samples/WaveSample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace Taviro::Test {

// Builds RIFF WAVE byte images, malformed ones included; the bytes live in a std::string.
class WaveReader : public testing::Test
{
protected:
    using S = std::string;
    static S u16(uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
    static S u32(uint32_t v) { return u16(v) + u16(v >> 16); }
    // Its size field says `size` if given, else the body's; an odd body gets its pad byte if `pad`.
    static S chunk(const S& id, const S& body, int64_t size = -1, bool pad = true)
    {
        return id + u32(size < 0 ? body.size() : size) + body + S(pad && body.size() % 2, 0);
    }
    static S fmtBody(uint32_t tag, uint32_t ch, uint32_t bits, uint32_t rate = 44100)
    {
        return u16(tag) + u16(ch) + u32(rate) + u32(rate * ch * bits / 8) + u16(ch * bits / 8) + u16(bits);
    }
    static S fmt(uint32_t tag, uint32_t ch, uint32_t bits) { return chunk("fmt ", fmtBody(tag, ch, bits)); }
    static S data(size_t size, bool pad = true) { return chunk("data", S(size, 1), -1, pad); }
    // Loop count at body offset 28, 24-byte loop records from 36: the first's start at 44, end at 48.
    static S smpl(int32_t count, uint32_t start, uint32_t end)
    {
        return chunk("smpl", S(28, 0) + u32(count) + S(12, 0) + u32(start) + u32(end) + S(8, 0));
    }
    static S riff(const S& chunks) { return "RIFF" + u32(chunks.size() + 4) + "WAVE" + chunks; }
};

} // namespace Taviro::Test
