// The pending-identifier stack: report order, and bounded size under repeated program changes.
#include "source/processor/InstrumentPrograms.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

std::vector<ParamID> drain(PendingParameterIds& pending)
{
    std::vector<ParamID> ids;
    while (!pending.empty())
    {
        ids.push_back(pending.top());
        pending.pop();
    }
    return ids;
}

const std::vector<ParamID> kChannel1ReportOrder = {29, 15, 1,  45, 36, 22, 8,  35, 34, 33, 21, 20, 19, 7,  6,
                                                   5,  31, 17, 3,  30, 16, 2,  32, 18, 4,  41, 40, 39, 38, 37,
                                                   27, 26, 25, 24, 23, 13, 12, 11, 10, 9,  42, 28, 14, 0};

} // namespace

TEST(PendingParameterIds, ProgramChangeIsReportedLastPushedFirst)
{
    GlobalParameterState s;
    setInitialContents(s);
    PendingParameterIds pending;
    applyProgram(s, 0, &pending);
    EXPECT_EQ(drain(pending), kChannel1ReportOrder);
}

TEST(PendingParameterIds, RepeatedProgramChangesStayBoundedAndKeepTheirOrder)
{
    GlobalParameterState s;
    setInitialContents(s);
    PendingParameterIds pending;
    for (int round = 0; round < 50; ++round)
        for (int ch = 0; ch < 16; ++ch)
            applyProgram(s, ch, &pending);
    EXPECT_EQ(pending.size(), 16 * 44);

    // A channel changed again moves its identifiers to the top, in the same order as a single change.
    applyProgram(s, 0, &pending);
    applyProgram(s, 0, &pending);
    EXPECT_EQ(pending.size(), 16 * 44);
    std::vector<ParamID> all = drain(pending);
    EXPECT_EQ(std::vector<ParamID>(all.begin(), all.begin() + 44), kChannel1ReportOrder);
    EXPECT_EQ(all[44], 49u * 15 + 29);
}

TEST(PendingParameterIds, MovingAnEntryKeepsTheOthersInOrder)
{
    PendingParameterIds pending;
    for (ParamID id : {5u, 6u, 7u, 8u})
        pending.push(id);
    pending.push(6);
    pending.push(800); // not a channel parameter: ignored
    EXPECT_EQ(drain(pending), (std::vector<ParamID>{6, 8, 7, 5}));
    pending.push(6);
    EXPECT_EQ(drain(pending), (std::vector<ParamID>{6}));
}
