#include "tools/render/MidiFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace Taviro::Render
{
namespace
{

constexpr std::size_t maximumFileSize = 256u << 20;

std::string hexByte(unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

// Bounds-checked big-endian reading over one region of the file; every failure names the file
// offset so that a broken file can be inspected.
class ByteReader
{
  public:
    ByteReader(std::span<const std::uint8_t> bytes, std::size_t fileOffset, std::string where)
        : bytes(bytes), base(fileOffset), where(std::move(where))
    {
    }

    bool atEnd() const { return position >= bytes.size(); }
    std::size_t remaining() const { return bytes.size() - position; }
    std::size_t offset() const { return base + position; }

    std::uint8_t byte()
    {
        need(1);
        return bytes[position++];
    }

    std::uint8_t peek()
    {
        need(1);
        return bytes[position];
    }

    std::uint32_t bigEndian(int size)
    {
        need(static_cast<std::size_t>(size));
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | bytes[position++];
        return value;
    }

    // A variable-length quantity: at most four bytes of seven bits each.
    std::uint32_t variableLength()
    {
        std::size_t start = offset();
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
        {
            std::uint8_t b = byte();
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return value;
        }
        fail("variable-length number longer than four bytes", start);
    }

    std::span<const std::uint8_t> take(std::size_t size)
    {
        need(size);
        auto part = bytes.subspan(position, size);
        position += size;
        return part;
    }

    [[noreturn]] void fail(const std::string& what, std::size_t at) const
    {
        throw MidiFileError(where + ": " + what + " at byte " + std::to_string(at));
    }

  private:
    void need(std::size_t size) const
    {
        if (remaining() < size)
            throw MidiFileError(where + ": truncated, " + std::to_string(size) + " byte(s) needed at byte " +
                                std::to_string(offset()) + " but only " + std::to_string(remaining()) +
                                " left");
    }

    std::span<const std::uint8_t> bytes;
    std::size_t base;
    std::string where;
    std::size_t position = 0;
};

int dataBytesOf(std::uint8_t status)
{
    switch (status & 0xF0)
    {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

MidiEventType typeOf(std::uint8_t status, std::uint8_t velocity)
{
    switch (status & 0xF0)
    {
    case 0x80:
        return MidiEventType::NoteOff;
    case 0x90:
        return velocity == 0 ? MidiEventType::NoteOff : MidiEventType::NoteOn;
    case 0xA0:
        return MidiEventType::PolyPressure;
    case 0xB0:
        return MidiEventType::ControlChange;
    case 0xC0:
        return MidiEventType::ProgramChange;
    case 0xD0:
        return MidiEventType::ChannelPressure;
    default:
        return MidiEventType::PitchBend;
    }
}

// Reads one track chunk's events into `events`; answers the tick at which the track ends.
std::uint64_t readTrack(ByteReader& reader, std::uint16_t track, std::vector<MidiEvent>& events)
{
    std::uint64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (!reader.atEnd())
    {
        tick += reader.variableLength();
        std::size_t eventOffset = reader.offset();
        std::uint8_t status = reader.peek();
        if (status & 0x80)
            reader.byte();
        else if (runningStatus)
            status = runningStatus;
        else
            reader.fail("data byte " + hexByte(status) + " without a status byte", eventOffset);

        // Meta and system exclusive events leave running status alone: a file that continues a
        // channel message's running status after them still plays as its author heard it.
        if (status == 0xFF)
        {
            std::uint8_t metaType = reader.byte();
            std::uint32_t length = reader.variableLength();
            auto data = reader.take(length);
            if (metaType == 0x2F)
                return tick; // end of track: anything after it is not part of the track
            if (metaType == 0x51)
            {
                if (length != 3)
                    reader.fail("tempo event with " + std::to_string(length) + " data bytes", eventOffset);
                std::uint32_t tempo = (data[0] << 16) | (data[1] << 8) | data[2];
                if (tempo == 0)
                    reader.fail("tempo of zero microseconds per quarter note", eventOffset);
                MidiEvent event;
                event.tick = tick;
                event.type = MidiEventType::Tempo;
                event.microsecondsPerQuarter = tempo;
                event.track = track;
                events.push_back(event);
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7)
        {
            reader.take(reader.variableLength());
            continue;
        }
        if (status >= 0xF0)
            reader.fail("status byte " + hexByte(status) + " does not belong in a MIDI file", eventOffset);

        runningStatus = status;
        MidiEvent event;
        event.tick = tick;
        event.channel = status & 0x0F;
        event.track = track;
        event.data1 = reader.byte();
        if (dataBytesOf(status) == 2)
            event.data2 = reader.byte();
        if ((event.data1 | event.data2) & 0x80)
            reader.fail("data byte above 127 in a channel message", eventOffset);
        event.type = typeOf(status, event.data2);
        events.push_back(event);
    }
    return tick; // a track without an end-of-track event ends with its chunk
}

MidiDivision divisionOf(std::uint16_t word, ByteReader& header)
{
    MidiDivision division;
    if (word & 0x8000)
    {
        int frames = -static_cast<int>(static_cast<std::int8_t>(word >> 8));
        if (frames != 24 && frames != 25 && frames != 29 && frames != 30)
            header.fail("SMPTE division with " + std::to_string(frames) + " frames per second", 12);
        division.framesPerSecond = frames;
        division.ticksPerFrame = word & 0xFF;
        division.ticksPerQuarter = 0;
        if (division.ticksPerFrame == 0)
            header.fail("SMPTE division with zero ticks per frame", 12);
    }
    else
    {
        division.ticksPerQuarter = word;
        if (word == 0)
            header.fail("division of zero ticks per quarter note", 12);
    }
    return division;
}

} // namespace

MidiSequence parseMidiFile(std::span<const std::uint8_t> bytes)
{
    ByteReader file(bytes, 0, "MIDI file");
    if (bytes.size() < 4 || std::memcmp(bytes.data(), "MThd", 4) != 0)
        throw MidiFileError("not a Standard MIDI File: it does not start with \"MThd\"");
    file.take(4);
    std::uint32_t headerLength = file.bigEndian(4);
    if (headerLength < 6)
        file.fail("header chunk of " + std::to_string(headerLength) + " bytes", 4);
    ByteReader header(file.take(headerLength), 8, "MIDI file header");

    MidiSequence sequence;
    sequence.format = static_cast<int>(header.bigEndian(2));
    int declaredTracks = static_cast<int>(header.bigEndian(2));
    sequence.division = divisionOf(static_cast<std::uint16_t>(header.bigEndian(2)), header);
    if (sequence.format == 2)
        throw MidiFileError("MIDI file format 2 (independent sequences) is not supported; use format 0 or 1");
    if (sequence.format > 2)
        throw MidiFileError("unknown MIDI file format " + std::to_string(sequence.format));
    if (declaredTracks == 0)
        throw MidiFileError("MIDI file header declares no tracks");
    if (sequence.format == 0 && declaredTracks != 1)
        throw MidiFileError("MIDI file of format 0 declares " + std::to_string(declaredTracks) +
                            " tracks instead of one");

    std::vector<MidiEvent> events;
    while (sequence.trackCount < declaredTracks)
    {
        if (file.atEnd())
            throw MidiFileError("MIDI file is truncated: the header declares " +
                                std::to_string(declaredTracks) + " tracks but the file holds " +
                                std::to_string(sequence.trackCount));
        std::size_t chunkOffset = file.offset();
        auto id = file.take(4);
        std::uint32_t length = file.bigEndian(4);
        if (length > file.remaining())
            throw MidiFileError("MIDI file is truncated: the chunk at byte " + std::to_string(chunkOffset) +
                                " declares " + std::to_string(length) + " bytes but only " +
                                std::to_string(file.remaining()) + " follow");
        std::size_t dataOffset = file.offset();
        auto data = file.take(length);
        if (std::memcmp(id.data(), "MTrk", 4) != 0)
            continue; // chunks of unknown kinds are to be skipped
        std::uint16_t track = static_cast<std::uint16_t>(sequence.trackCount++);
        ByteReader reader(data, dataOffset, "MIDI track " + std::to_string(track + 1));
        sequence.endTick = std::max(sequence.endTick, readTrack(reader, track, events));
    }

    // Tracks were appended in file order, so a stable sort by tick gives the merge order.
    std::stable_sort(events.begin(), events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    sequence.events = std::move(events);
    return sequence;
}

MidiSequence readMidiFile(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw MidiFileError("cannot read MIDI file " + path + ": it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw MidiFileError("cannot open MIDI file " + path + ": " + std::strerror(errno));
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    if (size < 0)
        throw MidiFileError("cannot read MIDI file " + path);
    if (static_cast<std::size_t>(size) > maximumFileSize)
        throw MidiFileError("MIDI file " + path + " is larger than 256 MiB");
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        throw MidiFileError("cannot read MIDI file " + path);
    try
    {
        return parseMidiFile(bytes);
    }
    catch (const MidiFileError& error)
    {
        throw MidiFileError(path + ": " + error.what());
    }
}

} // namespace Taviro::Render
