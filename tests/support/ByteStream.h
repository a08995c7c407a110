#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ibstream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Taviro::Test {

// An in-memory IBStream for tests: reads what it was given, writes into a vector, and can be
// told to accept only a limited number of bytes so that write failures can be provoked.
class ByteStream : public Steinberg::FObject, public Steinberg::IBStream
{
public:
    explicit ByteStream(std::vector<unsigned char> initial = {}, size_t writeLimit = SIZE_MAX)
    : bytes(std::move(initial)), limit(writeLimit)
    {
    }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) override
    {
        size_t available = bytes.size() - std::min(bytes.size(), cursor);
        size_t n = std::min<size_t>(available, numBytes < 0 ? 0 : static_cast<size_t>(numBytes));
        if (n)
            std::memcpy(buffer, bytes.data() + cursor, n);
        cursor += n;
        if (numBytesRead)
            *numBytesRead = static_cast<Steinberg::int32>(n);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override
    {
        size_t room = limit - std::min(limit, cursor);
        size_t n = std::min<size_t>(room, numBytes < 0 ? 0 : static_cast<size_t>(numBytes));
        if (cursor + n > bytes.size())
            bytes.resize(cursor + n);
        if (n)
            std::memcpy(bytes.data() + cursor, buffer, n);
        cursor += n;
        if (numBytesWritten)
            *numBytesWritten = static_cast<Steinberg::int32>(n);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                       Steinberg::int64* result) override
    {
        Steinberg::int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? cursor : bytes.size();
        if (base + pos < 0)
            return Steinberg::kResultFalse;
        cursor = static_cast<size_t>(base + pos);
        if (result)
            *result = static_cast<Steinberg::int64>(cursor);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override
    {
        if (pos)
            *pos = static_cast<Steinberg::int64>(cursor);
        return Steinberg::kResultOk;
    }

    const std::vector<unsigned char>& data() const { return bytes; }
    size_t position() const { return cursor; }

    OBJ_METHODS(ByteStream, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IBStream)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    std::vector<unsigned char> bytes;
    size_t limit;
    size_t cursor = 0;
};

} // namespace Taviro::Test
