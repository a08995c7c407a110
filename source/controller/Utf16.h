#pragma once

#include <string>
#include <string_view>

namespace Steinberg::Vst::TaviroPlugIn {

// The controller's texts are plain ASCII; the SDK wants them as UTF-16.
inline std::u16string utf16(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace Steinberg::Vst::TaviroPlugIn
