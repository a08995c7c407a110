// Synthetic mouse and key events on the editor frame, checked against what reaches the controller
// and the host.
#include <gtest/gtest.h>

#include <cmath>

#include "EditorTestSupport.h"

namespace Taviro::Test {
namespace {

using Editor::Key;
using Editor::Point;

std::vector<ParamValue> allValues(EditController& c)
{
    std::vector<ParamValue> values;
    for (ParamID id = 0; id < static_cast<ParamID>(kNumParameters); ++id)
        values.push_back(c.getParamNormalized(id));
    return values;
}

Point centre(Point topLeft, double w, double h) { return {topLeft.x + w / 2, topLeft.y + h / 2}; }

TEST(EditorInteraction, DraggingAKnobOnChannelFiveEditsOnlyThatParameter)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    f.host.controller->setParamNormalized(kEditorChannelSelectorId, 4 / 15.0);
    f.frame->idle();
    const auto before = allValues(*f.host.controller);
    f.host.handler->calls.clear();

    // OSC 2 Detune of channel 5: 49 × 4 + 14 + 3; it starts at 0.5 and moves up by 50 of the
    // 200 pixels that span its range.
    const ParamID detune = 49 * 4 + 14 + 3;
    const Point knob = centre(columnPoint(2, 45, 65), 42, 42);
    f.drag(knob, {knob.x, knob.y - 50});

    const auto& calls = f.host.handler->calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, 'b');
    EXPECT_EQ(calls.back().kind, 'e');
    for (const auto& call : calls)
        EXPECT_EQ(call.id, detune);
    EXPECT_NEAR(calls[calls.size() - 2].value, 0.75, 1e-9);
    EXPECT_NEAR(f.host.controller->getParamNormalized(detune), 0.75, 1e-9);

    const auto after = allValues(*f.host.controller);
    for (ParamID id = 0; id < static_cast<ParamID>(kNumParameters); ++id)
    {
        if (id == detune)
            continue;
        EXPECT_EQ(after[id], before[id]) << "parameter " << id;
    }

    // Dragging past the end stops at the end.
    f.drag(knob, {knob.x, knob.y - 400});
    EXPECT_EQ(f.host.controller->getParamNormalized(detune), 1.0);

    // Three wheel notches towards the user: 0.97, each notch one complete gesture.
    f.host.handler->calls.clear();
    for (int notch = 0; notch < 3; ++notch)
        EXPECT_TRUE(f.frame->wheel(knob, -1));
    EXPECT_NEAR(f.host.controller->getParamNormalized(detune), 0.97, 1e-9);
    EXPECT_EQ(f.host.handler->calls.size(), 9u);
    for (const auto& call : f.host.handler->calls)
        EXPECT_EQ(call.id, detune);
    EXPECT_FALSE(f.frame->wheel(panelPoint(400, 5), 1)) << "labels take no wheel";
}

TEST(EditorInteraction, HostChangesRedrawTheShownChannelOnly)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    f.host.controller->setParamNormalized(kEditorChannelSelectorId, 4 / 15.0);
    f.frame->idle();
    f.frame->redrawDone();

    // A parameter of channel 3 is not on screen: nothing to draw.
    f.host.controller->setParamNormalized(channelParameterId(2, kOscVolume), 0.1);
    f.frame->idle();
    EXPECT_FALSE(f.frame->needsRedraw());

    const ParamID volume = channelParameterId(4, kOscVolume);
    const Point knob = columnPoint(1, 5, 65);
    cairo_surface_t* old = cairo_surface_reference(f.render());
    f.host.controller->setParamNormalized(volume, 0.1);
    f.frame->idle();
    EXPECT_TRUE(f.frame->needsRedraw());
    EXPECT_GT(differingPixels(old, f.render(), knob.x, knob.y, 40, 40), 20);
    cairo_surface_destroy(old);
    EXPECT_TRUE(f.host.handler->calls.empty()) << "host changes are not sent back to the host";
}

TEST(EditorInteraction, TypingIntoTheFilterFrequencyField)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID frequency = channelParameterId(0, kOscFilterFrequency);
    const Point field = centre(columnPoint(1, 5, 205), 42, 15);

    // 1800 Hz is the middle of the scale: 80 + 17920 × 0.5^e = 1800 with e = ln(1720/17920)/ln(0.5).
    f.click(field);
    f.type("1800");
    f.frame->keyDown({Key::enter, 0});
    EXPECT_NEAR(f.host.controller->getParamNormalized(frequency), 0.5, 1e-6);
    const auto& calls = f.host.handler->calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].kind, 'p');
    EXPECT_EQ(calls[1].id, frequency);
    EXPECT_NEAR(calls[1].value, 0.5, 1e-6);

    // A text without a number is rejected and changes nothing; so are "nan" and Escape.
    f.host.handler->calls.clear();
    f.click(field);
    f.type("loud");
    f.frame->keyDown({Key::enter, 0});
    f.click(field);
    f.type("nan");
    f.frame->keyDown({Key::enter, 0});
    f.click(field);
    f.type("18000");
    f.frame->keyDown({Key::escape, 0});
    EXPECT_NEAR(f.host.controller->getParamNormalized(frequency), 0.5, 1e-6);
    EXPECT_TRUE(f.host.handler->calls.empty());

    // Backspace corrects, and clicking elsewhere applies what was typed.
    f.click(field);
    f.type("180000");
    f.frame->keyDown({Key::backspace, 0});
    f.click({5, 5});
    EXPECT_EQ(f.host.controller->getParamNormalized(frequency), 1.0);
}

TEST(EditorInteraction, TooltipAppearsAfterTheMouseRestsOnAControl)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const Point knob = centre(columnPoint(1, 5, 65), 42, 42);
    f.frame->mouseMoved(knob);
    f.frame->idle();
    f.frame->redrawDone();
    cairo_surface_t* plain = cairo_surface_reference(f.render());
    f.now += 500;
    f.frame->idle();
    EXPECT_FALSE(f.frame->needsRedraw()) << "too early";
    f.now += 400;
    f.frame->idle();
    EXPECT_TRUE(f.frame->needsRedraw());
    // "OSC 1 Volume (%)" in a box just below and right of the mouse.
    EXPECT_GT(differingPixels(plain, f.render(), knob.x + 12, knob.y + 18, 60, 18), 300);
    f.frame->mouseDown(knob);
    f.frame->mouseUp(knob);
    EXPECT_EQ(differingPixels(plain, f.render(), knob.x + 12, knob.y + 18, 60, 18), 0) << "a click hides it";
    cairo_surface_destroy(plain);
}

TEST(EditorInteraction, CheckBoxTogglesReceiveNoteOff)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID noteOff = channelParameterId(0, kReceiveNoteOff);
    const Point box = panelPoint(15 + 85 + 10, 417 + 25 + 12);
    ASSERT_EQ(f.host.controller->getParamNormalized(noteOff), 1.0);
    f.click(box);
    EXPECT_EQ(f.host.controller->getParamNormalized(noteOff), 0.0);
    ASSERT_EQ(f.host.handler->calls.size(), 3u);
    EXPECT_EQ(f.host.handler->calls[1].id, noteOff);
    EXPECT_EQ(f.host.handler->calls[1].value, 0.0);
    f.click(box);
    EXPECT_EQ(f.host.controller->getParamNormalized(noteOff), 1.0);
}

TEST(EditorInteraction, MenusPickEntriesFromTheirPopUp)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    // The program menu of channel 1: entry 11 is "Warm Pad", normalised 11 / 18.
    f.click(panelPoint(150, 40));
    ASSERT_TRUE(f.frame->isPopupOpen());
    const auto box = f.frame->openPopupList()->box();
    f.click({box.x + 30, box.y + 1 + 11.5 * Editor::PopupList::kRowHeight});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_NEAR(f.host.controller->getParamNormalized(channelParameterId(0, kProgramChange)), 11 / 18.0, 1e-12);

    // The channel selector: entry 6 opens the panel of MIDI channel 7.
    f.click({60, 100});
    ASSERT_TRUE(f.frame->isPopupOpen());
    const auto selector = f.frame->openPopupList()->box();
    f.click({selector.x + 30, selector.y + 1 + 6.5 * Editor::PopupList::kRowHeight});
    EXPECT_NEAR(f.host.controller->getParamNormalized(kEditorChannelSelectorId), 6 / 15.0, 1e-12);
    f.writePng("editor-channel-7.png");
    // The program menu now belongs to channel 7; a click outside a pop-up only closes it.
    f.click(panelPoint(150, 40));
    f.click({900, 20});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_EQ(f.host.controller->getParamNormalized(channelParameterId(6, kProgramChange)), 0.0);
}

TEST(EditorInteraction, SwitchingChannelsWhileTypingAppliesTheText)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID volume = channelParameterId(0, kOscVolume);
    f.click(centre(columnPoint(1, 5, 105), 42, 15));
    f.type("50");
    // The host switches the panel while the field is being edited: the field goes, its text is kept.
    f.host.controller->setParamNormalized(kEditorChannelSelectorId, 1 / 15.0);
    f.frame->idle();
    EXPECT_NEAR(f.host.controller->getParamNormalized(volume), 0.5, 1e-9);
    EXPECT_EQ(f.frame->focus(), nullptr);
}

} // namespace
} // namespace Taviro::Test
