// The controller following the processor's stored state: values, order, rejected streams.
#include "ControllerFixture.h"
#include "StateExpectations.h"

#include "source/processor/GlobalParameterState.h"
#include "source/processor/InstrumentPrograms.h"
#include "tests/support/ByteStream.h"

#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::ByteStream;
using Taviro::Test::carriedByStream;
using Taviro::Test::expectedValue;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes streamOf(const GlobalParameterState& state)
{
    ByteStream out;
    EXPECT_EQ(state.getState(&out), kResultOk);
    return out.data();
}

// A processor's state after program changes and edits, as a user would leave it.
GlobalParameterState editedState()
{
    GlobalParameterState state;
    setInitialContents(state);
    state.program[2] = 11; // "Warm Pad"
    applyProgram(state, 2, nullptr);
    state.program[7] = 5; // "Synth Bass"
    applyProgram(state, 7, nullptr);
    state.userPrograms[1].masterVolume = 0.91;
    state.userPrograms[1].oscillators[2].type = 4;
    state.program[15] = 16; // "USER 2"
    applyProgram(state, 15, nullptr);

    OscillatorSettings& osc = state.oscillators[0][0];
    osc.detune = -1.0;
    osc.octave = 8;
    osc.type = 6;
    osc.multiSample = 7;
    osc.filterType = 2;
    osc.filterFrequency = 0.61;
    osc.filterQ = 0.33;
    osc.retardTime = 0.2;
    osc.attackTime = 0.11;
    osc.decayTime = 0.12;
    osc.sustainLevel = 0.13;
    osc.sustainTime = 0.14;
    osc.releaseTime = 0.15;
    osc.volume = 0.16;
    state.oscillators[4][1].detune = 0.0;
    state.oscillators[4][2].detune = 0.5;
    state.masterVolume[4] = 0.42;
    state.receiveNoteOff[4] = 0;
    return state;
}

} // namespace

class ComponentState : public Taviro::Test::ControllerTest
{
protected:
    std::vector<double> allValues()
    {
        std::vector<double> values;
        for (ParamID id = 0; id < 786; ++id)
            values.push_back(controller->getParamNormalized(id));
        return values;
    }

    tresult restore(const Bytes& bytes)
    {
        ByteStream in(bytes);
        return controller->setComponentState(&in);
    }

    // Moves every parameter away from its default so that untouched ones can be told apart.
    void scrambleAll()
    {
        for (ParamID id = 0; id < 786; ++id)
            controller->setParamNormalized(id, (id % 7 + 1) / 9.0);
    }
};

TEST_F(ComponentState, FollowsTheProcessorsStateAfterProgramChangesAndEdits)
{
    const GlobalParameterState state = editedState();
    scrambleAll();
    ASSERT_EQ(restore(streamOf(state)), kResultOk);

    for (int32 ch = 0; ch < 16; ++ch)
    {
        for (int32 k = 0; k < 49; ++k)
        {
            const ParamID id = static_cast<ParamID>(49 * ch + k);
            if (carriedByStream(k))
                EXPECT_DOUBLE_EQ(controller->getParamNormalized(id), expectedValue(state, ch, k))
                    << "channel " << ch << " offset " << k;
            else
                EXPECT_DOUBLE_EQ(controller->getParamNormalized(id), (id % 7 + 1) / 9.0) << "id " << id;
        }
    }
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(784), (784 % 7 + 1) / 9.0);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(785), (785 % 7 + 1) / 9.0);
}

TEST_F(ComponentState, RestoredValuesReadAsTheProcessorPlaysThem)
{
    ASSERT_EQ(restore(streamOf(editedState())), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(3), 0.0);
    EXPECT_EQ(text(3, controller->getParamNormalized(3)), "-200");
    EXPECT_EQ(controller->getParamNormalized(8), 0.5);
    EXPECT_EQ(text(8, controller->getParamNormalized(8)), "0");
    EXPECT_EQ(controller->getParamNormalized(0), 1.0);
    EXPECT_EQ(text(0, controller->getParamNormalized(0)), "Multi Sample");
    EXPECT_EQ(text(1, controller->getParamNormalized(1)), "Muted E-Guitar");
    EXPECT_EQ(text(5, controller->getParamNormalized(5)), "Highpass");
    EXPECT_EQ(text(2 * 49 + 46, controller->getParamNormalized(2 * 49 + 46)), "Warm Pad");
    EXPECT_EQ(text(15 * 49 + 46, controller->getParamNormalized(15 * 49 + 46)), "USER 2");
    EXPECT_EQ(text(4 * 49 + 45, controller->getParamNormalized(4 * 49 + 45)), "Off");
    // A centred detune is stored as 0 and shows as no detune.
    EXPECT_EQ(controller->getParamNormalized(4 * 49 + 17), 0.5);
    EXPECT_EQ(controller->getParamNormalized(4 * 49 + 31), 0.75);
}

TEST_F(ComponentState, ListIndicesOutsideTheirListsLandOnTheNearestEnd)
{
    GlobalParameterState state;
    setInitialContents(state);
    state.oscillators[1][0].type = 9;
    state.oscillators[1][1].octave = -3;
    state.oscillators[1][2].filterType = 100;
    state.oscillators[1][0].multiSample = -128;
    state.oscillators[1][1].multiSample = 127;
    state.program[4] = 25;
    state.program[5] = -1;
    state.program[9] = 3; // the drum list has a single entry
    controller->setParamNormalized(487, 0.7);
    ASSERT_EQ(restore(streamOf(state)), kResultOk);

    EXPECT_EQ(controller->getParamNormalized(49 + 0), 1.0);
    EXPECT_EQ(controller->getParamNormalized(49 + 14 + 8), 0.0);
    EXPECT_EQ(controller->getParamNormalized(49 + 28 + 5), 1.0);
    EXPECT_EQ(controller->getParamNormalized(49 + 1), 0.0);
    EXPECT_EQ(controller->getParamNormalized(49 + 14 + 1), 1.0);
    EXPECT_EQ(controller->getParamNormalized(4 * 49 + 46), 1.0);
    EXPECT_EQ(controller->getParamNormalized(5 * 49 + 46), 0.0);
    EXPECT_EQ(controller->getParamNormalized(487), 0.0);
}

TEST_F(ComponentState, ShortOrMissingStreamsChangeNothing)
{
    const Bytes full = streamOf(editedState());
    ASSERT_EQ(full.size(), 5244u);
    scrambleAll();
    const std::vector<double> before = allValues();

    // Inside the user programs, at the last byte, inside the first channel, the version only, empty.
    for (size_t length : {size_t(5000), size_t(5243), size_t(100), size_t(8), size_t(0)})
    {
        SCOPED_TRACE(length);
        EXPECT_EQ(restore(Bytes(full.begin(), full.begin() + static_cast<long>(length))), kResultFalse);
        EXPECT_EQ(allValues(), before);
    }
    EXPECT_EQ(controller->setComponentState(nullptr), kResultFalse);
    EXPECT_EQ(allValues(), before);
}

TEST_F(ComponentState, TheControllerItselfPersistsNothing)
{
    ByteStream stream(streamOf(editedState()));
    EXPECT_EQ(controller->setState(&stream), kNotImplemented);
    ByteStream out;
    EXPECT_EQ(controller->getState(&out), kNotImplemented);
    EXPECT_TRUE(out.data().empty());
}

TEST_F(ComponentState, AProgramChangeInTheControllerChangesNoOtherParameter)
{
    std::vector<double> expected = allValues();
    ASSERT_EQ(controller->setParamNormalized(3 * 49 + 46, 11.0 / 18.0), kResultOk);
    ASSERT_EQ(controller->setParamNormalized(785, 1.0), kResultOk);
    expected[3 * 49 + 46] = 11.0 / 18.0;
    expected[785] = 1.0;
    EXPECT_EQ(allValues(), expected);
}

namespace {

// Records the identifiers the restore sets, to see the order and that overrides are honoured.
class RecordingController : public ControllerWithUI
{
public:
    tresult PLUGIN_API setParamNormalized(ParamID tag, ParamValue value) override
    {
        order.push_back(tag);
        given.push_back(value);
        return ControllerWithUI::setParamNormalized(tag, value);
    }
    std::vector<ParamID> order;
    std::vector<ParamValue> given;
};

} // namespace

TEST(ComponentStateOrder, EachChannelIsSetInTheDocumentedOrderWithValuesInsideZeroToOne)
{
    HostApplication host; // the SDK's host context is not reference counted
    auto controller = owned(new RecordingController());
    ASSERT_EQ(controller->initialize(&host), kResultOk);
    GlobalParameterState state;
    setInitialContents(state);
    state.oscillators[6][1].type = 100;
    state.oscillators[6][2].octave = -20;
    state.program[6] = 19;
    ByteStream in(streamOf(state));
    ASSERT_EQ(controller->setComponentState(&in), kResultOk);

    const int32 channelOrder[] = {42, 9,  10, 11, 12, 13, 23, 24, 25, 26, 27, 37, 38, 39, 40,
                                  41, 4,  18, 32, 2,  16, 30, 3,  17, 31, 5,  6,  7,  19, 20,
                                  21, 33, 34, 35, 0,  14, 28, 8,  22, 36, 45, 1,  15, 29, 46};
    std::vector<ParamID> expected;
    for (int32 ch = 0; ch < 16; ++ch)
        for (int32 k : channelOrder)
            expected.push_back(static_cast<ParamID>(49 * ch + k));
    EXPECT_EQ(controller->order, expected);

    // A derived controller sees list indices outside their lists as the nearest end.
    ASSERT_EQ(controller->order.size(), controller->given.size());
    for (size_t i = 0; i < controller->given.size(); ++i)
    {
        const ParamID id = controller->order[i];
        EXPECT_GE(controller->given[i], 0.0) << "id " << id;
        EXPECT_LE(controller->given[i], 1.0) << "id " << id;
        if (id == 6 * 49 + 14 || id == 6 * 49 + 46)
        {
            EXPECT_EQ(controller->given[i], 1.0) << "id " << id;
        }
        else if (id == 6 * 49 + 28 + 8)
        {
            EXPECT_EQ(controller->given[i], 0.0) << "id " << id;
        }
    }
    controller->terminate();
}
