#include "tools/render/SmfWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Taviro::Render
{
namespace
{

std::uint8_t dataByte(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 127));
}

std::uint8_t statusByte(int kind, int channel)
{
    return static_cast<std::uint8_t>(kind | (channel & 0x0F));
}

void appendVariableLength(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    std::uint8_t groups[10];
    int count = 0;
    do
    {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (count--)
        out.push_back(static_cast<std::uint8_t>(groups[count] | (count ? 0x80 : 0)));
}

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int size)
{
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

int SmfWriter::addTrack(const std::string& name)
{
    tracks.emplace_back();
    std::vector<std::uint8_t> meta{0xFF, 0x03};
    appendVariableLength(meta, name.size());
    meta.insert(meta.end(), name.begin(), name.end());
    add(0, std::move(meta));
    return static_cast<int>(tracks.size()) - 1;
}

void SmfWriter::add(std::uint64_t tick, std::vector<std::uint8_t> bytes)
{
    if (tracks.empty())
        throw std::logic_error("SmfWriter: addTrack before adding events");
    tracks.back().push_back({tick, std::move(bytes)});
}

void SmfWriter::tempo(std::uint64_t tick, double beatsPerMinute)
{
    auto microseconds = static_cast<std::uint32_t>(std::lround(60000000.0 / beatsPerMinute));
    std::vector<std::uint8_t> meta{0xFF, 0x51, 0x03};
    appendBigEndian(meta, microseconds, 3);
    add(tick, std::move(meta));
}

void SmfWriter::timeSignature(std::uint64_t tick, int numerator, int denominatorPowerOfTwo)
{
    add(tick, {0xFF, 0x58, 0x04, dataByte(numerator), dataByte(denominatorPowerOfTwo), 24, 8});
}

void SmfWriter::note(std::uint64_t tick, std::uint64_t length, int channel, int key, int velocity)
{
    add(tick, {statusByte(0x90, channel), dataByte(key), dataByte(std::max(1, velocity))});
    add(tick + length, {statusByte(0x80, channel), dataByte(key), 64});
}

void SmfWriter::controlChange(std::uint64_t tick, int channel, int controller, int value)
{
    add(tick, {statusByte(0xB0, channel), dataByte(controller), dataByte(value)});
}

void SmfWriter::programChange(std::uint64_t tick, int channel, int program)
{
    add(tick, {statusByte(0xC0, channel), dataByte(program)});
}

void SmfWriter::pitchBend(std::uint64_t tick, int channel, int value)
{
    value = std::clamp(value, 0, 16383);
    add(tick, {statusByte(0xE0, channel), dataByte(value & 0x7F), dataByte(value >> 7)});
}

std::vector<std::uint8_t> SmfWriter::build() const
{
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, 1, 2);
    appendBigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    appendBigEndian(out, static_cast<std::uint32_t>(ticksPerQuarter), 2);

    for (const auto& events : tracks)
    {
        std::vector<const Event*> ordered;
        for (const Event& event : events)
            ordered.push_back(&event);
        // Note-offs sort before note-ons at the same tick so that a repeated key is released
        // before it is struck again; otherwise the order of insertion holds.
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const Event* a, const Event* b)
                         {
                             if (a->tick != b->tick)
                                 return a->tick < b->tick;
                             return (a->bytes[0] & 0xF0) == 0x80 && (b->bytes[0] & 0xF0) != 0x80;
                         });

        std::vector<std::uint8_t> body;
        std::uint64_t previous = 0;
        for (const Event* event : ordered)
        {
            appendVariableLength(body, event->tick - previous);
            body.insert(body.end(), event->bytes.begin(), event->bytes.end());
            previous = event->tick;
        }
        body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});

        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        appendBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

} // namespace Taviro::Render
