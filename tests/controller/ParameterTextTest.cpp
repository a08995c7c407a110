// Value texts and parsing of the parameters, and the filter-frequency law.
#include "ControllerFixture.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::utf16;

namespace {

constexpr ParamID kOsc1Type = 0;
constexpr ParamID kOsc2MultiSample = 15;
constexpr ParamID kOsc1Volume = 2;
constexpr ParamID kOsc1Detune = 3;
constexpr ParamID kOsc1FilterType = 5;
constexpr ParamID kOsc1FilterFrequency = 6;
constexpr ParamID kOsc3FilterFrequency = 34;
constexpr ParamID kOsc1FilterQ = 7;
constexpr ParamID kOsc1Octave = 8;
constexpr ParamID kOsc1Attack = 9;
constexpr ParamID kReceiveNoteOff = 45;
constexpr ParamID kUsedVoices = 784;
constexpr ParamID kEditorChannel = 785;

// f = 80 + 17920 * v^e with the power taken in single precision.
double filterHertz(double v)
{
    const float exponent = static_cast<float>(std::log(1720.0 / 17920.0) / std::log(0.5));
    return 80.0 + 17920.0 * static_cast<double>(std::pow(static_cast<float>(v), exponent));
}

} // namespace

class ParameterText : public Taviro::Test::ControllerTest
{
protected:
    bool parse(ParamID id, const std::string& input, ParamValue& value)
    {
        const std::u16string text = utf16(input);
        return controller->getParamValueByString(id, const_cast<TChar*>(text.c_str()), value) == kResultOk;
    }
};

TEST_F(ParameterText, ListsShowTheirEntriesAndParseThemBack)
{
    EXPECT_EQ(text(kOsc1Octave, 0.0), "8");
    EXPECT_EQ(text(kOsc1Octave, 8.0 / 16.0), "0");
    EXPECT_EQ(text(kOsc1Octave, 1.0), "-8");
    EXPECT_EQ(text(kOsc1Type, 1.0), "Multi Sample");
    EXPECT_EQ(text(kOsc1Type, 2.0 / 6.0), "Triangle (aliased)");
    EXPECT_EQ(text(kOsc2MultiSample, 7.0 / 7.0), "Muted E-Guitar");
    EXPECT_EQ(text(kOsc1FilterType, 3.0 / 3.0), "Bandpass");
    EXPECT_EQ(text(kEditorChannel, 1.0), "MIDI channel 16");
    EXPECT_EQ(text(46, 11.0 / 18.0), "Warm Pad");

    ParamValue value = -1;
    ASSERT_TRUE(parse(kOsc1Octave, "-1", value));
    EXPECT_DOUBLE_EQ(value, 9.0 / 16.0);
    ASSERT_TRUE(parse(kOsc1Type, "White noise", value));
    EXPECT_DOUBLE_EQ(value, 5.0 / 6.0);
    EXPECT_FALSE(parse(kOsc1Type, "white noise", value));
    EXPECT_FALSE(parse(kOsc1FilterType, "Notch", value));
}

TEST_F(ParameterText, RangesPrintThePlainValueWithTheirPrecision)
{
    EXPECT_EQ(text(kOsc1Detune, 0.5), "0");
    EXPECT_EQ(text(kOsc1Detune, 0.0), "-200");
    EXPECT_EQ(text(kOsc1Detune, 1.0), "200");
    EXPECT_EQ(text(kOsc1Volume, 0.8), "80.0");
    EXPECT_EQ(text(42, 0.8), "240.0");
    EXPECT_EQ(text(kOsc1Attack, 0.02 / 4.995), "0.025");
    EXPECT_EQ(text(kOsc1FilterQ, 0.257), "0.26");
    EXPECT_EQ(text(kUsedVoices, 5.0 / 128.0), "5");
    EXPECT_EQ(text(kUsedVoices, 1.0), "128");
    EXPECT_EQ(text(kReceiveNoteOff, 0.51), "On");
    EXPECT_EQ(text(kReceiveNoteOff, 0.5), "Off");

    ParamValue value = -1;
    ASSERT_TRUE(parse(kOsc1Detune, "100", value));
    EXPECT_DOUBLE_EQ(value, 0.75);
    ASSERT_TRUE(parse(kOsc1Attack, "2.5", value));
    EXPECT_DOUBLE_EQ(value, (2.5 - 0.005) / 4.995);
    EXPECT_FALSE(parse(kOsc1Volume, "loud", value));
}

TEST_F(ParameterText, FilterFrequencyFollowsTheLogarithmicLaw)
{
    const struct
    {
        double normalized;
        double hertz;
    } references[] = {{0.0, 80.0}, {0.25, 245.09}, {0.5, 1800.0}, {0.75, 6854.99}, {1.0, 18000.0}};
    for (const auto& point : references)
    {
        SCOPED_TRACE(point.normalized);
        const double plain = controller->normalizedParamToPlain(kOsc1FilterFrequency, point.normalized);
        EXPECT_NEAR(plain, point.hertz, 0.005);
        EXPECT_DOUBLE_EQ(plain, filterHertz(point.normalized));
        EXPECT_NEAR(controller->plainParamToNormalized(kOsc1FilterFrequency, point.hertz), point.normalized,
                    1e-5);
    }
    // Every filter-frequency parameter shares the law.
    EXPECT_DOUBLE_EQ(controller->normalizedParamToPlain(kOsc3FilterFrequency, 0.3), filterHertz(0.3));
    EXPECT_DOUBLE_EQ(controller->normalizedParamToPlain(49 * 15 + 20, 0.3), filterHertz(0.3));

    EXPECT_EQ(text(kOsc1FilterFrequency, 0.5), "1800.0");
    EXPECT_EQ(text(kOsc1FilterFrequency, 0.0), "80.0");
    EXPECT_EQ(text(kOsc1FilterFrequency, 0.25), "245.1");
}

TEST_F(ParameterText, FilterFrequencyParsesHertzAndRejectsOtherTexts)
{
    ParamValue value = -1;
    ASSERT_TRUE(parse(kOsc1FilterFrequency, "18000", value));
    EXPECT_DOUBLE_EQ(value, 1.0);
    ASSERT_TRUE(parse(kOsc1FilterFrequency, "1800.0", value));
    EXPECT_NEAR(value, 0.5, 1e-6);
    ASSERT_TRUE(parse(kOsc1FilterFrequency, "80", value));
    EXPECT_DOUBLE_EQ(value, 0.0);

    value = 0.42;
    EXPECT_FALSE(parse(kOsc1FilterFrequency, "", value));
    EXPECT_FALSE(parse(kOsc1FilterFrequency, "bright", value));
    EXPECT_EQ(value, 0.42); // a rejected text writes nothing

    // Beyond the ends a number means the nearest end, never a value outside 0..1.
    ASSERT_TRUE(parse(kOsc1FilterFrequency, "20", value));
    EXPECT_DOUBLE_EQ(value, 0.0);
    ASSERT_TRUE(parse(kOsc1FilterFrequency, "-5", value));
    EXPECT_DOUBLE_EQ(value, 0.0);
    ASSERT_TRUE(parse(kOsc1FilterFrequency, "25000", value));
    EXPECT_DOUBLE_EQ(value, 1.0);
}

TEST_F(ParameterText, OutOfRangeHostInputIsAnsweredNotThrown)
{
    EXPECT_EQ(text(kOsc1Type, -0.5), "Off");
    EXPECT_EQ(text(kOsc1Type, 1.5), "Multi Sample");
    EXPECT_EQ(text(kOsc1Octave, std::nan("")), "8");
    EXPECT_EQ(text(kOsc1Detune, 2.0), "200");

    ParamValue value = 0.42;
    EXPECT_EQ(controller->getParamValueByString(kOsc1Type, nullptr, value), kResultFalse);
    EXPECT_EQ(controller->getParamValueByString(kOsc1Detune, nullptr, value), kResultFalse);
    EXPECT_EQ(value, 0.42);

    ParameterInfo info{};
    EXPECT_EQ(controller->getParameterInfo(-1, info), kResultFalse);
    EXPECT_EQ(controller->getParameterInfo(786, info), kResultFalse);
    UnitInfo unit{};
    EXPECT_EQ(controller->getUnitInfo(-1, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitInfo(17, unit), kResultFalse);
}
