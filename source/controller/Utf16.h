#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>
#include <string_view>

namespace Steinberg::Vst::TaviroPlugIn {

// The controller's texts are plain ASCII; the SDK wants them as UTF-16 (char16: char16_t, or
// wchar_t with the Windows compilers).
inline std::basic_string<char16> utf16(std::string_view ascii)
{
    return std::basic_string<char16>(ascii.begin(), ascii.end());
}

} // namespace Steinberg::Vst::TaviroPlugIn
