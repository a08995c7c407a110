#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Taviro::Test
{

// Hand-made Standard MIDI File images for reader tests.
inline std::vector<std::uint8_t> smfHeader(int format, int tracks, int division)
{
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            static_cast<std::uint8_t>(format),
            static_cast<std::uint8_t>(tracks >> 8),
            static_cast<std::uint8_t>(tracks),
            static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division)};
}

inline void appendTrack(std::vector<std::uint8_t>& file, std::initializer_list<std::uint8_t> body)
{
    std::size_t size = body.size();
    for (std::uint8_t b : {std::uint8_t('M'), std::uint8_t('T'), std::uint8_t('r'), std::uint8_t('k'),
                           static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                           static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)})
        file.push_back(b);
    for (std::uint8_t b : body)
        file.push_back(b);
}

inline std::vector<std::uint8_t> smfFile(int format, int division,
                                         std::initializer_list<std::initializer_list<std::uint8_t>> tracks)
{
    auto file = smfHeader(format, static_cast<int>(tracks.size()), division);
    for (auto track : tracks)
        appendTrack(file, track);
    return file;
}

} // namespace Taviro::Test
