#pragma once

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "source/controller/ControllerWithUI.h"

#include <gtest/gtest.h>

#include <string>

namespace Taviro::Test {

// UTF-16 text from the SDK as plain ASCII, for readable comparisons.
inline std::string ascii(const Steinberg::Vst::TChar* text)
{
    std::string out;
    for (; text && *text; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

inline std::u16string utf16(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

// The unit of channel index ch: the characters "c", "h" and the two digits of ch.
inline Steinberg::Vst::UnitID unitOf(Steinberg::int32 ch)
{
    return ('c' << 24) | ('h' << 16) | (('0' + ch / 10) << 8) | ('0' + ch % 10);
}

// A controller initialised as a host does it, terminated and released after each test.
class ControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controller = Steinberg::owned(new Steinberg::Vst::TaviroPlugIn::ControllerWithUI());
        ASSERT_EQ(controller->initialize(&host), Steinberg::kResultOk);
    }

    void TearDown() override { controller->terminate(); }

    Steinberg::Vst::ParameterInfo infoAt(Steinberg::int32 index)
    {
        Steinberg::Vst::ParameterInfo info{};
        EXPECT_EQ(controller->getParameterInfo(index, info), Steinberg::kResultOk) << "index " << index;
        return info;
    }

    std::string text(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue normalized)
    {
        Steinberg::Vst::String128 string{};
        EXPECT_EQ(controller->getParamStringByValue(id, normalized, string), Steinberg::kResultOk);
        return ascii(string);
    }

    Steinberg::Vst::HostApplication host; // not reference counted: lives as long as the test
    Steinberg::IPtr<Steinberg::Vst::TaviroPlugIn::ControllerWithUI> controller;
};

} // namespace Taviro::Test
