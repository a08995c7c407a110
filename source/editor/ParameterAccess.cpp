#include "source/editor/ParameterAccess.h"

#include <algorithm>
#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

int32 ParameterAccess::stepCount(ParamID id) const
{
    const Parameter* parameter = controller.getParameterObject(id);
    return parameter ? parameter->getInfo().stepCount : 0;
}

double ParameterAccess::toPlain(ParamID id, ParamValue normalized) const
{
    return controller.normalizedParamToPlain(id, normalized);
}

std::string ParameterAccess::text(ParamID id, ParamValue normalized) const
{
    String128 text{};
    if (controller.getParamStringByValue(id, normalized, text) != kResultOk)
        return {};
    text[127] = 0;
    return utf16ToUtf8(text);
}

std::optional<ParamValue> ParameterAccess::parse(ParamID id, const std::string& text) const
{
    String128 wide{};
    utf8ToUtf16(text, wide, 128);
    ParamValue normalized = 0;
    // "nan" reads as a number to some conversions; it must never reach the host.
    if (controller.getParamValueByString(id, wide, normalized) != kResultOk || std::isnan(normalized))
        return std::nullopt;
    return std::clamp(normalized, 0.0, 1.0);
}

void ParameterAccess::performEdit(ParamID id, ParamValue normalized)
{
    controller.setParamNormalized(id, normalized);
    controller.performEdit(id, controller.getParamNormalized(id));
}

void ParameterAccess::edit(ParamID id, ParamValue normalized)
{
    beginEdit(id);
    performEdit(id, normalized);
    endEdit(id);
}

std::string utf16ToUtf8(const char16* text)
{
    std::string out;
    for (size_t i = 0; text[i] != 0; ++i)
    {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
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
    return out;
}

// Typed texts are numbers and names: anything outside ASCII becomes '?', which no parameter accepts
// as part of a number.
void utf8ToUtf16(const std::string& text, char16* out, size_t capacity)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < capacity; ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80)
            out[n++] = byte;
        else if ((byte & 0xC0) != 0x80)
            out[n++] = u'?';
    }
    out[n] = 0;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
