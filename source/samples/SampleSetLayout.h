#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <array>
#include <span>

namespace Steinberg::Vst::TaviroPlugIn {

// One zone of a multi-sample set: the WAVE resource that holds its recording and the key at which
// that recording sounds at its recorded pitch.
struct ZoneResource
{
    uint16 resourceId;
    int32 rootKey;
};

// The zones of one set in load order. Load order decides ties in zone selection, so it is part of
// the sound and must not be sorted.
struct SampleSetLayout
{
    const char* name; // the value string of the oscillators' multi-sample choice
    std::span<const ZoneResource> zones;
};

// clang-format off: the tables keep the rows of eight zones.
namespace SampleSetZones {

inline constexpr std::array<ZoneResource, 15> eGuitarClean{{
    {101, 45}, {102, 57}, {103, 69}, {104, 81}, {105, 48}, {106, 60}, {107, 72}, {108, 84},
    {109, 51}, {110, 63}, {111, 75}, {112, 42}, {113, 54}, {114, 66}, {115, 78},
}};

inline constexpr std::array<ZoneResource, 24> piano{{
    {116, 24}, {117, 36}, {118, 48}, {119, 60}, {120, 72}, {121, 84}, {122, 96}, {123, 27},
    {124, 51}, {125, 63}, {126, 75}, {127, 87}, {128, 99}, {129, 40}, {130, 90}, {131, 102},
    {132, 55}, {133, 32}, {134, 44}, {135, 56}, {136, 68}, {137, 80}, {138, 92}, {139, 104},
}};

// Closed Hi-Hat, Crash Cymbal, Hi Tom, Kick Drum, Low Tom, Mid Tom, Open Hi-Hat, Pedal Hi-Hat,
// Ride Bell, Ride Cymbal, Snare Drum.
inline constexpr std::array<ZoneResource, 11> drumSet{{
    {141, 42}, {142, 49}, {143, 50}, {144, 36}, {145, 43}, {146, 47}, {147, 46}, {153, 44},
    {149, 53}, {150, 51}, {151, 38},
}};

// The three waveform sets: root keys 24, 27, ... 105 in ascending order.
inline constexpr std::array<ZoneResource, 28> sawAntiAliased{{
    {162, 24}, {169, 27}, {176, 30}, {155, 33}, {163, 36}, {170, 39}, {177, 42}, {156, 45},
    {164, 48}, {171, 51}, {178, 54}, {157, 57}, {165, 60}, {172, 63}, {179, 66}, {158, 69},
    {166, 72}, {173, 75}, {180, 78}, {159, 81}, {167, 84}, {174, 87}, {181, 90}, {160, 93},
    {168, 96}, {175, 99}, {182, 102}, {161, 105},
}};

inline constexpr std::array<ZoneResource, 28> triangleAntiAliased{{
    {190, 24}, {197, 27}, {204, 30}, {183, 33}, {191, 36}, {198, 39}, {205, 42}, {184, 45},
    {192, 48}, {199, 51}, {206, 54}, {185, 57}, {193, 60}, {200, 63}, {207, 66}, {186, 69},
    {194, 72}, {201, 75}, {208, 78}, {187, 81}, {195, 84}, {202, 87}, {209, 90}, {188, 93},
    {196, 96}, {203, 99}, {210, 102}, {189, 105},
}};

inline constexpr std::array<ZoneResource, 28> squareAntiAliased{{
    {218, 24}, {225, 27}, {232, 30}, {211, 33}, {219, 36}, {226, 39}, {233, 42}, {212, 45},
    {220, 48}, {227, 51}, {234, 54}, {213, 57}, {221, 60}, {228, 63}, {235, 66}, {214, 69},
    {222, 72}, {229, 75}, {236, 78}, {215, 81}, {223, 84}, {230, 87}, {237, 90}, {216, 93},
    {224, 96}, {231, 99}, {238, 102}, {217, 105},
}};

inline constexpr std::array<ZoneResource, 8> mutedEGuitar{{
    {248, 40}, {249, 42}, {239, 45}, {242, 48}, {245, 51}, {250, 54}, {240, 57}, {243, 60},
}};

} // namespace SampleSetZones
// clang-format on

// The seven sets in bank order; the oscillators' multi-sample choice n selects position n - 1.
inline constexpr std::array<SampleSetLayout, 7> sampleSetLayouts{{
    {"E-Guitar clean", SampleSetZones::eGuitarClean},
    {"Piano", SampleSetZones::piano},
    {"Drum Set", SampleSetZones::drumSet},
    {"Saw anti-aliased", SampleSetZones::sawAntiAliased},
    {"Triangle anti-aliased", SampleSetZones::triangleAntiAliased},
    {"Square anti-aliased", SampleSetZones::squareAntiAliased},
    {"Muted E-Guitar", SampleSetZones::mutedEGuitar},
}};

} // namespace Steinberg::Vst::TaviroPlugIn
