// The edit controller as a host meets it: made by the bundle's factory and given the state of
// the bundle's own processor.
#include "tests/support/ByteStream.h"
#include "tests/support/HostedPlugIn.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(ControllerIntegrationTest, TheSecondClassFollowsTheProcessorAfterAProgramChangeMadeInProcess)
{
    Taviro::Test::HostedPlugIn plugIn;
    ASSERT_TRUE(plugIn.start(kSample32));
    plugIn.inputChanges.addChange(2 * 49 + 46, 11.0 / 18.0); // "Warm Pad" on channel 3
    ASSERT_EQ(plugIn.run(), kResultOk);
    plugIn.inputChanges.addChange(2 * 49 + 3, 0.25); // then its OSC 1 detune to -100 cent
    ASSERT_EQ(plugIn.run(), kResultOk);
    Taviro::Test::ByteStream state(plugIn.state());

    HostApplication host; // not reference counted: lives as long as the test
    auto controller = Taviro::Test::loadedBundle().getFactory().createInstance<IEditController>(
        reinterpret_cast<const char*>(Taviro::Test::kControllerWithUIClassBytes.data()));
    ASSERT_TRUE(controller);
    ASSERT_EQ(controller->initialize(&host), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 786);
    ASSERT_EQ(controller->setComponentState(&state), kResultOk);

    // The program's channel volume 0.29 and OSC 1 "Saw anti-aliased", the edit, and the program itself.
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(2 * 49 + 42), 0.29);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(2 * 49 + 1), 4.0 / 7.0);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(2 * 49 + 3), 0.25);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(2 * 49 + 46), 11.0 / 18.0);
    EXPECT_EQ(controller->terminate(), kResultOk);
}
