#pragma once

// What the factory tells hosts about the vendor and the classes.
namespace Steinberg::Vst::TaviroPlugIn {

inline constexpr const char* kVendor = "Orsolen";
inline constexpr const char* kVendorUrl = "https://www.orsolen.com";
inline constexpr const char* kVendorEmail = "mailto:info@orsolen.com";

inline constexpr const char* kPlugInName = "Taviro PlugIn";
inline constexpr const char* kVersionString = "1.0.0.0";
inline constexpr const char* kSdkVersionString = "VST 3.5.2";
inline constexpr const char* kInstrumentSubCategories = "Instrument|Synth|Sampler";

} // namespace Steinberg::Vst::TaviroPlugIn
