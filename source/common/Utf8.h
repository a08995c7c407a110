#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>

// The SDK carries texts as UTF-16; the editor, files and terminals want UTF-8.
namespace Steinberg::Vst {

inline void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
        out += static_cast<char>(c);
    else if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A zero-terminated UTF-16 text (surrogate pairs joined) as UTF-8; null gives "".
inline std::string utf16ToUtf8(const Steinberg::char16* text)
{
    std::string out;
    for (size_t i = 0; text && text[i] != 0; ++i)
    {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        appendUtf8(out, c);
    }
    return out;
}

} // namespace Steinberg::Vst
