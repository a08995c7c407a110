#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ibstream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Taviro::Test {

// An in-memory IBStream, either read or written from its start (state streams never seek); it
// takes at most `writeLimit` bytes so that write failures can be provoked.
class ByteStream : public Steinberg::FObject, public Steinberg::IBStream
{
public:
    using int32 = Steinberg::int32;
    using int64 = Steinberg::int64;

    explicit ByteStream(std::vector<unsigned char> initial = {}, size_t writeLimit = SIZE_MAX)
    : bytes(std::move(initial)), limit(writeLimit)
    {
    }

    Steinberg::tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        return transfer(buffer, false, bytes.size(), numBytes, numBytesRead);
    }
    Steinberg::tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        return transfer(buffer, true, limit, numBytes, numBytesWritten);
    }
    Steinberg::tresult PLUGIN_API seek(int64, int32, int64*) override { return Steinberg::kNotImplemented; }
    Steinberg::tresult PLUGIN_API tell(int64*) override { return Steinberg::kNotImplemented; }

    const std::vector<unsigned char>& data() const { return bytes; }
    size_t position() const { return cursor; }

    OBJ_METHODS(ByteStream, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IBStream)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    Steinberg::tresult transfer(void* buffer, bool writing, size_t end, int32 numBytes, int32* done)
    {
        const size_t n = std::min(end - cursor, static_cast<size_t>(std::max(numBytes, 0)));
        if (writing)
            bytes.resize(cursor + n);
        void* here = bytes.data() + cursor;
        if (n)
            std::memcpy(writing ? here : buffer, writing ? buffer : here, n);
        cursor += n;
        if (done)
            *done = static_cast<int32>(n);
        return Steinberg::kResultOk;
    }

    std::vector<unsigned char> bytes;
    size_t limit;
    size_t cursor = 0;
};

} // namespace Taviro::Test
