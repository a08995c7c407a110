#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace Taviro::Test {

// Builds RIFF WAVE byte images chunk by chunk, including malformed ones.
class WaveImage
{
  public:
    // "RIFF", a size filled in by bytes() unless riffSize is set, "WAVE".
    WaveImage()
    {
        raw("RIFF");
        u32(0);
        raw("WAVE");
    }

    WaveImage& raw(const std::string& text)
    {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    WaveImage& u16(uint32_t value) { return little(value, 2); }
    WaveImage& u32(uint32_t value) { return little(value, 4); }
    WaveImage& zeros(size_t count)
    {
        bytes_.insert(bytes_.end(), count, 0);
        return *this;
    }

    // A chunk with the given body; `declaredSize` overrides the size field; `pad` adds the pad byte
    // after an odd body.
    WaveImage& chunk(const std::string& id, const std::vector<uint8_t>& body, bool pad = true,
                     int64_t declaredSize = -1)
    {
        raw(id);
        u32(declaredSize < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declaredSize));
        bodyOffsets.push_back(bytes_.size());
        bytes_.insert(bytes_.end(), body.begin(), body.end());
        if (pad && body.size() % 2)
            bytes_.push_back(0);
        return *this;
    }

    WaveImage& format(uint32_t tag = 1, uint32_t channels = 2, uint32_t rate = 44100, uint32_t bits = 16)
    {
        return chunk("fmt ", formatBody(tag, channels, rate, bits));
    }
    WaveImage& data(size_t size) { return chunk("data", std::vector<uint8_t>(size, 0x11)); }
    WaveImage& sampler(int32_t loopCount, uint32_t start, uint32_t end)
    {
        return chunk("smpl", samplerBody(loopCount, start, end));
    }
    WaveImage& riffSize(uint32_t size)
    {
        fixedRiffSize = true;
        for (int i = 0; i < 4; ++i)
            bytes_[4 + i] = static_cast<uint8_t>(size >> (8 * i));
        return *this;
    }

    static std::vector<uint8_t> formatBody(uint32_t tag, uint32_t channels, uint32_t rate, uint32_t bits)
    {
        WaveImage body(Empty{});
        const uint32_t blockAlign = channels * bits / 8;
        body.u16(tag).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign).u16(bits);
        return body.bytes_;
    }
    static std::vector<uint8_t> samplerBody(int32_t loopCount, uint32_t start, uint32_t end)
    {
        WaveImage body(Empty{});
        body.zeros(28).u32(static_cast<uint32_t>(loopCount)).zeros(4); // manufacturer .. sampler data
        body.u32(0).u32(0).u32(start).u32(end).u32(0).u32(0);          // first loop record
        return body.bytes_;
    }

    // Offset of the body of the n-th chunk added with chunk() (0-based).
    size_t bodyOffset(size_t n) const { return bodyOffsets.at(n); }

    std::vector<uint8_t> bytes() const
    {
        std::vector<uint8_t> image = bytes_;
        if (!fixedRiffSize)
            for (int i = 0; i < 4; ++i)
                image[4 + i] = static_cast<uint8_t>((image.size() - 8) >> (8 * i));
        return image;
    }

  private:
    struct Empty
    {
    };
    explicit WaveImage(Empty) {}

    WaveImage& little(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }

    std::vector<uint8_t> bytes_;
    std::vector<size_t> bodyOffsets;
    bool fixedRiffSize = false;
};

} // namespace Taviro::Test
