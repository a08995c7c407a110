#pragma once

// RIFF WAVE files read byte by byte, by the tests' own code rather than by a reader under test.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace Taviro::Test {

// The unsigned little-endian number of `size` bytes at `at`.
inline std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The chunks of a RIFF WAVE file by identifier; none unless the RIFF size is the file's and the
// chunks fill the file exactly.
inline std::map<std::string, std::string> waveChunks(const std::string& file)
{
    std::map<std::string, std::string> chunks;
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0 ||
        littleEndian(file, 4, 4) != file.size() - 8)
        return {};
    std::size_t at = 12;
    while (at + 8 <= file.size())
    {
        const std::uint32_t size = littleEndian(file, at + 4, 4);
        chunks[file.substr(at, 4)] = file.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return at == file.size() ? chunks : std::map<std::string, std::string>{};
}

// The sample at byte `at` of a data chunk: 24-bit integer (full scale 2^23) or 32-bit float.
inline double waveSample(const std::string& data, std::size_t at, bool pcm24)
{
    const std::uint32_t bits = littleEndian(data, at, pcm24 ? 3 : 4);
    if (pcm24)
        return static_cast<std::int32_t>(bits << 8) / 256 / 8388608.0;
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

} // namespace Taviro::Test
