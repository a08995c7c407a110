// The edit controller as a host meets it: made by the bundle's factory and given the state of
// the bundle's own processor.
#include "tests/support/HostedPlugIn.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstnoteexpression.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "source/processor/InstrumentPrograms.h"
#include "tests/controller/StateExpectations.h"
#include "tests/support/ByteStream.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::ByteStream;
using Taviro::Test::HostedPlugIn;
using Taviro::Test::kControllerWithUIClassBytes;
using Taviro::Test::loadedBundle;

namespace {

// A controller from the bundle's factory, initialised with a host context, terminated at the end.
class BundleController
{
public:
    BundleController()
    {
        controller = loadedBundle().getFactory().createInstance<IEditController>(
            reinterpret_cast<const char*>(kControllerWithUIClassBytes.data()));
        if (controller)
            initialized = controller->initialize(&host);
    }
    ~BundleController()
    {
        if (controller)
            controller->terminate();
    }

    HostApplication host; // the SDK's host context is not reference counted
    IPtr<IEditController> controller;
    tresult initialized = kResultFalse;
};

std::string ascii(const TChar* text)
{
    std::string out;
    for (; *text; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

std::vector<ParamValue> allValues(IEditController& controller)
{
    std::vector<ParamValue> values;
    for (ParamID id = 0; id < 786; ++id)
        values.push_back(controller.getParamNormalized(id));
    return values;
}

// Its class information is checked with the factory's; here the object it makes.
TEST(ControllerIntegrationTest, TheSecondClassMakesTheControllerWithItsInterfaces)
{
    BundleController made;
    ASSERT_TRUE(made.controller);
    ASSERT_EQ(made.initialized, kResultOk);
    EXPECT_EQ(made.controller->getParameterCount(), 786);
    FUnknownPtr<IUnitInfo> units(made.controller);
    FUnknownPtr<INoteExpressionController> noteExpression(made.controller);
    FUnknownPtr<IMidiMapping> midi(made.controller);
    ASSERT_TRUE(units && noteExpression && midi);
    EXPECT_EQ(units->getUnitCount(), 17);
    EXPECT_EQ(units->getProgramListCount(), 16);
    EXPECT_EQ(noteExpression->getNoteExpressionCount(0, 9), 2);
    ParamID id = 0;
    ASSERT_EQ(midi->getMidiControllerAssignment(0, 9, ControllerNumbers::kPitchBend, id), kResultOk);
    EXPECT_EQ(id, 485u);
    // The controller keeps no state of its own.
    ByteStream stream;
    EXPECT_EQ(made.controller->getState(&stream), kNotImplemented);
    EXPECT_EQ(made.controller->setState(&stream), kNotImplemented);
}

TEST(ControllerIntegrationTest, FollowsTheProcessorAfterProgramChangesAndEditsMadeInProcess)
{
    HostedPlugIn plugIn;
    ASSERT_TRUE(plugIn.start(kSample32));
    const double detuneEdit = 0.25; // -100 cent: stored as -0.5
    const double userVolumeEdit = 0.6;
    plugIn.inputChanges.addChange(2 * 49 + 46, 11.0 / 18.0); // "Warm Pad"
    plugIn.inputChanges.addChange(5 * 49 + 46, 16.0 / 18.0); // "USER 2"
    ASSERT_EQ(plugIn.run(), kResultOk);
    plugIn.inputChanges.addChange(2 * 49 + 3, detuneEdit);
    plugIn.inputChanges.addChange(5 * 49 + 16, userVolumeEdit);
    ASSERT_EQ(plugIn.run(), kResultOk);
    const std::vector<unsigned char> state = plugIn.state();
    ASSERT_EQ(state.size(), 5244u);

    BundleController made;
    ASSERT_TRUE(made.controller);
    ByteStream in(state);
    ASSERT_EQ(made.controller->setComponentState(&in), kResultOk);

    // What the processor holds: the initial contents, the two programs and the two edits.
    GlobalParameterState expected;
    setInitialContents(expected);
    expected.program[2] = 11;
    applyProgram(expected, 2, nullptr);
    expected.oscillators[2][0].detune = detuneEdit * 2.0 - 1.0;
    expected.program[5] = 16;
    applyProgram(expected, 5, nullptr);
    expected.oscillators[5][1].volume = userVolumeEdit;
    for (int32 ch = 0; ch < 16; ++ch)
    {
        for (int32 k = 0; k < 49; ++k)
        {
            if (Taviro::Test::carriedByStream(k))
            {
                EXPECT_DOUBLE_EQ(made.controller->getParamNormalized(static_cast<ParamID>(49 * ch + k)),
                                 Taviro::Test::expectedValue(expected, ch, k))
                    << "channel " << ch << " offset " << k;
            }
        }
    }

    // The user program as a new processor has it: volume 0.3334, OSC 1 a sine, release 0.12 s.
    EXPECT_DOUBLE_EQ(made.controller->getParamNormalized(5 * 49 + 42), 0.3334);
    EXPECT_DOUBLE_EQ(made.controller->getParamNormalized(5 * 49 + 0), 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(made.controller->getParamNormalized(5 * 49 + 13), 0.12);
    EXPECT_DOUBLE_EQ(made.controller->getParamNormalized(5 * 49 + 16), userVolumeEdit);
    EXPECT_DOUBLE_EQ(made.controller->getParamNormalized(2 * 49 + 3), detuneEdit);
    String128 text{};
    ASSERT_EQ(made.controller->getParamStringByValue(2 * 49 + 46,
                                                     made.controller->getParamNormalized(2 * 49 + 46), text),
              kResultOk);
    EXPECT_EQ(ascii(text), "Warm Pad");
}

TEST(ControllerIntegrationTest, ATruncatedProcessorStateChangesNothing)
{
    HostedPlugIn plugIn;
    std::vector<unsigned char> state = plugIn.state();
    ASSERT_EQ(state.size(), 5244u);
    state.resize(4300); // inside the first user program

    BundleController made;
    ASSERT_TRUE(made.controller);
    made.controller->setParamNormalized(0, 0.5);
    made.controller->setParamNormalized(2 * 49 + 46, 1.0);
    const std::vector<ParamValue> before = allValues(*made.controller);
    ByteStream in(state);
    EXPECT_EQ(made.controller->setComponentState(&in), kResultFalse);
    EXPECT_EQ(allValues(*made.controller), before);
}

} // namespace
