#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cstdio>
#include <string>

// Numbers typed as UTF-16 texts, read as sscanf's "%lf" and "%lld" read them: false when the text
// does not start with one. The SDK's own reading reports success on Windows even when nothing was
// read, so typed texts go through these. A number is ASCII: reading stops at the first other
// character.
namespace Steinberg::Vst {

inline std::string asciiStart(const char16* text)
{
    std::string ascii;
    for (; text && *text > 0 && *text < 0x80; ++text)
        ascii += static_cast<char>(*text);
    return ascii;
}

inline bool scanNumber(const char16* text, double& value)
{
    double read = 0.0;
    if (!text || std::sscanf(asciiStart(text).c_str(), "%lf", &read) != 1)
        return false;
    value = read;
    return true;
}

inline bool scanWholeNumber(const char16* text, long long& value)
{
    long long read = 0;
    if (!text || std::sscanf(asciiStart(text).c_str(), "%lld", &read) != 1)
        return false;
    value = read;
    return true;
}

} // namespace Steinberg::Vst
