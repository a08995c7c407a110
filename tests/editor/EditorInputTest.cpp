// The editor's mouse and keyboard habits, driven by synthetic events through the frame (no window):
// fine and diagonal drags, knob modes, defaults, wheel runs, option menus, keys, tooltips and the
// host's context menu, checked against what reaches the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "EditorTestSupport.h"
#include "source/editor/ClickCounter.h"
#include "source/editor/EditBurst.h"
#include "source/editor/TextEdit.h"

namespace Taviro::Test {
namespace {

using Editor::Key;
using Editor::Modifiers;
using Editor::MouseButton;

constexpr Modifiers kShift{.shift = true};
constexpr Modifiers kControl{.control = true};
constexpr double kWheelRest = Editor::EditBurst::kRestMilliseconds;

// Column-relative centres of the controls of an oscillator column.
constexpr Point kVolumeKnob{26, 86}, kDetuneKnob{66, 86}, kAttackKnob{26, 286}, kDecayKnob{66, 286};
constexpr Point kVolumeEdit{26, 112}, kDetuneEdit{66, 112}, kReleaseEdit{186, 312};
constexpr Point kTypeMenu{100, 12};

Point in(int column, Point p) { return columnPoint(column, p.x, p.y); }
Point offset(Point p, double dx, double dy) { return {p.x + dx, p.y + dy}; }
ParamID oscillatorId(int column, int32 field)
{
    return channelParameterId(0, oscillatorParameterOffset(column - 1, field));
}

// The kinds of the host calls so far, e.g. "bppe".
std::string kinds(const FrameUnderTest& f)
{
    std::string s;
    for (const auto& call : f.handler->calls)
        s += call.kind;
    return s;
}

// The zoom factor the document gives OSC 1's volume knob.
double documentZoomFactor(const FrameUnderTest& f)
{
    return knobZoomFactor(f.resources->description(), "MC1", "OSC1Volume_MIDIChannel1");
}

Point popupRow(const FrameUnderTest& f, int row)
{
    const auto box = f.frame->openPopupList()->box();
    return {box.x + 30, box.y + 1 + (row + 0.5) * Editor::PopupList::kRowHeight};
}

std::string shownTooltip(const FrameUnderTest& f)
{
    return f.frame->tooltipView() ? f.frame->tooltipView()->tooltip : "";
}

ParamID focusedTag(const FrameUnderTest& f)
{
    const auto* edit = dynamic_cast<const Editor::TextEdit*>(f.frame->focus());
    return edit ? edit->tag() : ~0u;
}

TEST(EditorKnobDrag, ShiftSlowsByTheDocumentsZoomFactorAndADiagonalCountsItsLargerMovement)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const double zoom = documentZoomFactor(f);
    ASSERT_GT(zoom, 1.0);
    const ParamID volume = oscillatorId(1, kOscVolume);
    const Point knob = in(1, kVolumeKnob);
    // 200 pixels of travel are the whole range; Shift makes them 200 × zoom.
    const struct
    {
        double right, down;
        Modifiers modifiers;
        double change;
    } drags[] = {
        {0, -60, {}, 0.3},
        {0, -60, kShift, 0.3 / zoom},
        {0, 50, {}, -0.25},
        {60, 0, {}, 0.3},
        {40, -30, {}, 0.2},
        {-30, -40, {}, 0.2},
        {-50, 20, {}, -0.25},
        {30, -40, kShift, 0.2 / zoom},
        {-40, 30, kShift, -0.2 / zoom},
    };
    for (const auto& d : drags)
    {
        f.set(volume, 0.5);
        f.handler->calls.clear();
        f.drag(knob, offset(knob, d.right, d.down), d.modifiers);
        EXPECT_NEAR(f.value(volume), 0.5 + d.change, 1e-9) << d.right << ", " << d.down;
        const std::string calls = kinds(f);
        EXPECT_EQ(calls.front(), 'b');
        EXPECT_EQ(calls.back(), 'e');
        EXPECT_EQ(std::count(calls.begin(), calls.end(), 'b'), 1);
    }

    // Shift pressed during a drag slows only the rest of it.
    f.set(volume, 0.5);
    f.frame->mouseDown({knob});
    f.frame->mouseMoved({offset(knob, 0, -40)});
    f.frame->mouseMoved({offset(knob, 0, -100), MouseButton::left, kShift});
    f.frame->mouseUp({offset(knob, 0, -100), MouseButton::left, kShift});
    EXPECT_NEAR(f.value(volume), 0.5 + 0.2 + 0.3 / zoom, 1e-9);

    // A click that does not move the knob tells the host nothing.
    f.handler->calls.clear();
    f.click(knob);
    EXPECT_EQ(kinds(f), "");

    // A release the window never saw: the next press ends the open gesture first.
    f.frame->mouseDown({knob});
    f.frame->mouseMoved({offset(knob, 0, -20)});
    f.frame->mouseDown({panelPoint(400, 10)});
    EXPECT_EQ(kinds(f), "bpe");
}

TEST(EditorKnobDrag, FollowsTheHostsKnobMode)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID volume = oscillatorId(1, kOscVolume);
    const Point knob = in(1, kVolumeKnob);
    const Point top = offset(knob, 0, -15), right = offset(knob, 15, 0), left = offset(knob, -15, 0);

    // Linear until the host says otherwise: a click at the knob's edge does not move it.
    f.set(volume, 0.2);
    f.click(top);
    EXPECT_EQ(f.value(volume), 0.2);

    // Circular: the dial runs clockwise from 135° (seven thirty) over 270°; a click jumps there.
    EXPECT_EQ(f.controller->setKnobMode(kCircularMode), kResultTrue);
    const struct
    {
        Point at;
        double value;
    } angles[] = {
        {top, (270 - 135) / 270.0},  {right, (360 - 135) / 270.0},
        {left, (180 - 135) / 270.0}, {offset(knob, 5, 15), 1.0}, // in the gap at the bottom, nearer the end
        {offset(knob, -5, 15), 0.0},                             // nearer the start
    };
    for (const auto& a : angles)
    {
        f.set(volume, 0.2);
        f.handler->calls.clear();
        f.click(a.at);
        EXPECT_NEAR(f.value(volume), a.value, 1e-9) << a.at.x - knob.x << ", " << a.at.y - knob.y;
        EXPECT_EQ(kinds(f), "bpe");
    }

    // Relative circular: turning by an angle moves the value by that share of 270°, from where it was.
    EXPECT_EQ(f.controller->setKnobMode(kRelativCircularMode), kResultTrue);
    f.set(volume, 0.2);
    f.handler->calls.clear();
    f.frame->mouseDown({top});
    EXPECT_EQ(kinds(f), "") << "no jump";
    f.frame->mouseMoved({right});
    EXPECT_NEAR(f.value(volume), 0.2 + 90 / 270.0, 1e-9);
    f.frame->mouseMoved({top});
    EXPECT_NEAR(f.value(volume), 0.2, 1e-9);
    f.frame->mouseMoved({left});
    EXPECT_EQ(f.value(volume), 0.0);
    f.frame->mouseUp({left});
    EXPECT_EQ(kinds(f).back(), 'e');

    // Back to linear; a mode the host cannot mean is refused and changes nothing.
    EXPECT_EQ(f.controller->setKnobMode(kLinearMode), kResultTrue);
    EXPECT_EQ(f.controller->setKnobMode(7), kResultFalse);
    f.set(volume, 0.2);
    f.drag(knob, offset(knob, 0, -40));
    EXPECT_NEAR(f.value(volume), 0.4, 1e-9);
}

TEST(EditorDefaults, CtrlClickAndDoubleClickSetTheDefaultInOneGesture)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    // Defaults of the parameter table: OSC 2 volume 20 of 0..100 %, attack 0.025 of 0.005..5 s,
    // detune 0 of −200..200 cent, channel volume 240 of 0..300 %, list entries 0.
    const struct
    {
        const char* name;
        Point at;
        ParamID id;
        double defaultValue;
        double other;
    } controls[] = {
        {"OSC 2 volume knob", in(2, kVolumeKnob), oscillatorId(2, kOscVolume), 0.2, 0.9},
        {"attack knob", in(1, kAttackKnob), oscillatorId(1, kOscAttackTime), 0.02 / 4.995, 0.5},
        {"OSC 3 type menu", in(3, kTypeMenu), oscillatorId(3, kOscType), 0.0, 4 / 6.0},
        {"program menu", panelPoint(150, 40), channelParameterId(0, kProgramChange), 0.0, 5 / 18.0},
        {"detune text", in(1, kDetuneEdit), oscillatorId(1, kOscDetune), 0.5, 0.9},
        {"volume text", panelPoint(15 + 26, 417 + 92), channelParameterId(0, kMasterVolume), 0.8, 0.1},
    };
    for (const auto& c : controls)
        for (const bool doubleClick : {false, true})
        {
            SCOPED_TRACE(std::string(c.name) + (doubleClick ? ", double-click" : ", Ctrl-click"));
            f.set(c.id, c.other);
            f.handler->calls.clear();
            if (doubleClick)
                f.doubleClick(c.at);
            else
                f.click(c.at, kControl);
            EXPECT_NEAR(f.value(c.id), c.defaultValue, 1e-9);
            ASSERT_EQ(kinds(f), "bpe");
            for (const auto& call : f.handler->calls)
                EXPECT_EQ(call.id, c.id);
            EXPECT_NEAR(f.handler->calls[1].value, c.defaultValue, 1e-9);
            EXPECT_FALSE(f.frame->isPopupOpen());
            EXPECT_EQ(f.frame->focus(), nullptr) << "no text left being typed";
        }
}

TEST(EditorWheel, ABurstOfNotchesIsOneGestureThatEndsWhenTheWheelRests)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const double zoom = documentZoomFactor(f);
    const ParamID volume = oscillatorId(1, kOscVolume), detune = oscillatorId(1, kOscDetune);
    const Point knob = in(1, kVolumeKnob);

    // A notch is a hundredth of the range; the gesture ends only once the wheel has rested.
    for (int notch = 0; notch < 5; ++notch)
    {
        EXPECT_TRUE(f.frame->wheel(knob, 1));
        f.wait(kWheelRest / 2);
    }
    EXPECT_NEAR(f.value(volume), 0.85, 1e-9);
    f.wait(kWheelRest / 2 - 1);
    EXPECT_EQ(kinds(f), "bppppp");
    f.wait(1);
    EXPECT_EQ(kinds(f), "bpppppe");

    // With Shift a notch is finer by the zoom factor.
    f.frame->wheel(knob, -1, kShift);
    EXPECT_NEAR(f.value(volume), 0.85 - 0.01 / zoom, 1e-9);

    // A notch on another control ends the run at once, and so does a press.
    f.handler->calls.clear();
    f.frame->wheel(in(1, kDetuneKnob), -1);
    EXPECT_EQ(kinds(f), "ebp");
    EXPECT_EQ(f.handler->calls[0].id, volume);
    EXPECT_EQ(f.handler->calls[1].id, detune);
    EXPECT_NEAR(f.value(detune), 0.49, 1e-9);
    f.frame->mouseDown({panelPoint(400, 10)});
    EXPECT_EQ(kinds(f), "ebpe");
}

TEST(EditorWheel, StepsAClosedMenuAndNudgesATextEdit)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID type = oscillatorId(1, kOscType);
    const Point menu = in(1, kTypeMenu);
    // Towards the user: the entry below; away: the one above; the ends hold.
    const struct
    {
        double notches;
        double value;
    } steps[] = {{-1, 1 / 6.0}, {-1, 2 / 6.0}, {1, 1 / 6.0}, {5, 0.0}, {-20, 1.0}};
    for (const auto& s : steps)
    {
        f.frame->wheel(menu, s.notches);
        EXPECT_NEAR(f.value(type), s.value, 1e-12);
    }
    f.wait(kWheelRest);
    EXPECT_EQ(kinds(f), "bpppppe");
    EXPECT_FALSE(f.frame->isPopupOpen());

    // A fine wheel's parts of a notch add up: three thirds step one entry, in one gesture.
    f.handler->calls.clear();
    for (int part = 0; part < 3; ++part)
    {
        EXPECT_NEAR(f.value(type), 1.0, 1e-12) << part;
        f.frame->wheel(menu, 1 / 3.0);
    }
    EXPECT_NEAR(f.value(type), 5 / 6.0, 1e-12);
    f.wait(kWheelRest);
    EXPECT_EQ(kinds(f), "bpe");

    // A text edit nudges its value by a hundredth, but not while a text is being typed into it.
    const ParamID detune = oscillatorId(1, kOscDetune);
    f.frame->wheel(in(1, kDetuneEdit), 2);
    EXPECT_NEAR(f.value(detune), 0.52, 1e-9);
    f.click(in(1, kDetuneEdit));
    f.frame->wheel(in(1, kDetuneEdit), 2);
    EXPECT_NEAR(f.value(detune), 0.52, 1e-9);

    // The drum channel's program menu has one entry: nothing to step to.
    f.selectChannel(10);
    f.handler->calls.clear();
    f.frame->wheel(panelPoint(150, 40), -1);
    f.wait(kWheelRest);
    EXPECT_EQ(kinds(f), "");
}

TEST(EditorMenus, PressDragReleaseChoosesTheEntryUnderTheRelease)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID type = oscillatorId(1, kOscType);
    const Point menu = in(1, kTypeMenu);

    f.frame->mouseDown({menu});
    ASSERT_TRUE(f.frame->isPopupOpen());
    f.frame->mouseMoved({popupRow(f, 5)});
    f.frame->mouseMoved({popupRow(f, 3)});
    f.frame->mouseUp({popupRow(f, 3)});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_NEAR(f.value(type), 3 / 6.0, 1e-12);
    EXPECT_EQ(kinds(f), "bpe");

    // A release where it was pressed leaves the list open for a second click.
    f.click(menu);
    ASSERT_TRUE(f.frame->isPopupOpen());
    f.click(popupRow(f, 5));
    EXPECT_NEAR(f.value(type), 5 / 6.0, 1e-12);

    // A drag released outside the list chooses nothing and leaves it open.
    f.frame->mouseDown({menu});
    const Point outside = offset(popupRow(f, 2), 200, 0);
    f.frame->mouseMoved({outside});
    f.frame->mouseUp({outside});
    EXPECT_TRUE(f.frame->isPopupOpen());
    EXPECT_NEAR(f.value(type), 5 / 6.0, 1e-12);
}

TEST(EditorMenus, KeysMoveChooseAndCloseInAnOpenList)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID type = oscillatorId(1, kOscType);
    f.click(in(1, kTypeMenu));
    ASSERT_TRUE(f.frame->isPopupOpen());
    // The light starts on the current entry (0) and stays within the 7 entries.
    const struct
    {
        Key key;
        int lit;
    } moves[] = {{Key::down, 1}, {Key::down, 2}, {Key::up, 1}, {Key::end, 6},
                 {Key::down, 6}, {Key::home, 0}, {Key::up, 0}, {Key::down, 1}};
    for (const auto& m : moves)
    {
        EXPECT_TRUE(f.frame->keyDown({m.key}));
        EXPECT_EQ(f.frame->openPopupList()->litRow(), m.lit);
    }
    EXPECT_TRUE(f.frame->keyDown({Key::character, U'x'})) << "an open list takes every key";
    EXPECT_TRUE(f.frame->isPopupOpen());
    EXPECT_EQ(kinds(f), "");
    f.frame->keyDown({Key::enter});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_NEAR(f.value(type), 1 / 6.0, 1e-12);

    f.click(in(1, kTypeMenu));
    EXPECT_EQ(f.frame->openPopupList()->litRow(), 1);
    f.frame->keyDown({Key::down});
    f.frame->keyDown({Key::escape});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_NEAR(f.value(type), 1 / 6.0, 1e-12);
    EXPECT_EQ(kinds(f), "bpe");
}

TEST(EditorKeys, ArrowKeysNudgeTheKnobUnderThePointer)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const double zoom = documentZoomFactor(f);
    const ParamID volume = oscillatorId(1, kOscVolume);
    f.hover(in(1, kVolumeKnob));
    EXPECT_TRUE(f.frame->keyDown({Key::up}));
    EXPECT_TRUE(f.frame->keyDown({Key::right}));
    EXPECT_TRUE(f.frame->keyDown({Key::down, 0, kShift}));
    EXPECT_NEAR(f.value(volume), 0.82 - 0.01 / zoom, 1e-9);
    f.wait(kWheelRest);
    EXPECT_EQ(kinds(f), "bpppe") << "a run of keys is one gesture";

    // Keys the knob does not use, keys over no control and keys after the pointer left go to the host.
    EXPECT_FALSE(f.frame->keyDown({Key::character, U'a'}));
    f.hover(panelPoint(400, 10));
    EXPECT_FALSE(f.frame->keyDown({Key::up}));
    f.hover(in(1, kVolumeKnob));
    f.frame->mouseLeft();
    EXPECT_FALSE(f.frame->keyDown({Key::up}));
    EXPECT_NEAR(f.value(volume), 0.82 - 0.01 / zoom, 1e-9);
}

TEST(EditorKeys, TextEditsMoveTheCaretAndTabToTheNextTextEdit)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID volume = oscillatorId(1, kOscVolume);
    f.click(in(1, kVolumeEdit));
    auto* edit = dynamic_cast<Editor::TextEdit*>(f.frame->focus());
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->displayedText(), "80.0");
    // Each key, then the text and where the next character goes.
    const struct
    {
        Editor::KeyEvent key;
        const char* text;
        size_t caret;
    } keys[] = {
        {{Key::left}, "80.0", 0},          {{Key::character, U'1'}, "180.0", 1},
        {{Key::end}, "180.0", 5},          {{Key::backspace}, "180.", 4},
        {{Key::home}, "180.", 0},          {{Key::deleteForward}, "80.", 0},
        {{Key::right}, "80.", 1},          {{Key::character, U'5'}, "850.", 2},
        {{Key::left}, "850.", 1},          {{Key::left}, "850.", 0},
        {{Key::left}, "850.", 0},          {{Key::end}, "850.", 4},
        {{Key::deleteForward}, "850.", 4}, {{Key::backspace}, "850", 3},
        {{Key::home}, "850", 0},           {{Key::deleteForward}, "50", 0},
        {{Key::right}, "50", 1},           {{Key::right}, "50", 2},
        {{Key::right}, "50", 2},
    };
    for (const auto& k : keys)
    {
        EXPECT_TRUE(f.frame->keyDown(k.key));
        EXPECT_EQ(edit->displayedText(), k.text);
        EXPECT_EQ(edit->caretPosition(), k.caret) << k.text;
    }
    // Tab applies the text and moves on to the next text edit, Shift-Tab back.
    f.frame->keyDown({Key::tab});
    EXPECT_NEAR(f.value(volume), 0.5, 1e-9);
    EXPECT_EQ(focusedTag(f), oscillatorId(1, kOscDetune));
    f.frame->keyDown({Key::tab, 0, kShift});
    EXPECT_EQ(focusedTag(f), volume);
    EXPECT_EQ(edit->displayedText(), "50.0");

    // The last text edit of a column leads to the first of the next; the last of all to the first.
    f.frame->keyDown({Key::escape});
    f.click(in(1, kReleaseEdit));
    f.frame->keyDown({Key::tab});
    EXPECT_EQ(focusedTag(f), oscillatorId(2, kOscVolume));
    f.frame->keyDown({Key::escape});
    f.click(panelPoint(15 + 26, 417 + 92));
    f.frame->keyDown({Key::tab});
    EXPECT_EQ(focusedTag(f), volume);
}

// Another window took the mouse during a press: the release will not come.
TEST(EditorInput, LosingTheMouseEndsADragAndAHeldListChoosesNothing)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID detune = oscillatorId(1, kOscDetune);
    const Point knob = in(1, kDetuneKnob);
    f.frame->mouseDown({knob});
    f.frame->mouseMoved({offset(knob, 0, -20)});
    const ParamValue dragged = f.value(detune);
    EXPECT_GT(dragged, 0.5);
    f.frame->mouseCaptureLost();
    ASSERT_FALSE(f.handler->calls.empty());
    EXPECT_EQ(f.handler->calls.back().kind, 'e') << "the host's gesture ends";
    f.frame->mouseMoved({offset(knob, 0, -60)});
    f.frame->mouseUp({offset(knob, 0, -60)});
    EXPECT_EQ(f.value(detune), dragged);

    // A list opened by a press that is still held stays open for a click, but the drag on to an entry
    // and the release no longer choose it.
    const ParamID type = oscillatorId(2, kOscType);
    f.frame->mouseDown({in(2, kTypeMenu)});
    ASSERT_TRUE(f.frame->isPopupOpen());
    f.frame->mouseCaptureLost();
    f.frame->mouseMoved({popupRow(f, 3)});
    f.frame->mouseUp({popupRow(f, 3)});
    EXPECT_TRUE(f.frame->isPopupOpen());
    EXPECT_EQ(f.value(type), 0.0);
}

TEST(EditorTooltips, ShownWhileThePointerRestsOnItsControlAndGoneWhenItLeaves)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const Image before = f.render();
    const Point attack = in(1, kAttackKnob);
    f.hover(attack);
    f.wait(799);
    EXPECT_EQ(shownTooltip(f), "");
    f.wait(1);
    EXPECT_EQ(shownTooltip(f), "Attack Time (sec)") << "the envelope's values are shown in seconds";
    const Image shown = f.render();
    EXPECT_GT(differingPixels(before, shown, attack.x, attack.y, 100, 40), 100);
    f.hover(offset(attack, 6, 6));
    EXPECT_EQ(shownTooltip(f), "Attack Time (sec)") << "still on the same control";
    EXPECT_EQ(differingPixels(shown, f.render(), 0, 0, 946, 565), 0) << "it stays where it appeared";

    // Leaving the window takes it away, for good.
    f.frame->mouseLeft();
    EXPECT_EQ(shownTooltip(f), "");
    f.wait(2000);
    EXPECT_EQ(shownTooltip(f), "");
    EXPECT_EQ(differingPixels(before, f.render(), 0, 0, 946, 565), 0);

    // Leaving the control for empty panel or for another control takes it away at once.
    f.hover(attack);
    f.wait(800);
    f.hover(panelPoint(400, 10));
    EXPECT_EQ(shownTooltip(f), "");
    f.hover(attack);
    f.wait(800);
    f.hover(in(1, kDecayKnob));
    EXPECT_EQ(shownTooltip(f), "");
    f.wait(800);
    EXPECT_EQ(shownTooltip(f), "Decay Time (sec)");
}

// Moves during a drag go to the knob, not to the hover: a long drag must not count as a rest.
TEST(EditorTooltips, ADragReleasedAnywhereNeedsAFreshRestBeforeATooltip)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const Point attack = in(1, kAttackKnob);
    // Where the drag ends, and the tooltip after a rest there.
    const std::pair<Point, std::string> releases[] = {{panelPoint(400, 10), ""},
                                                      {attack, "Attack Time (sec)"}};
    for (const auto& [release, rested] : releases)
    {
        SCOPED_TRACE(rested);
        f.hover(attack);
        f.frame->mouseDown({attack});
        f.frame->mouseMoved({offset(attack, 0, -30)});
        f.wait(900);
        f.frame->mouseUp({release});
        f.wait(1);
        EXPECT_EQ(shownTooltip(f), "");
        f.wait(799);
        EXPECT_EQ(shownTooltip(f), rested);
        f.hover(panelPoint(400, 10));
    }
}

TEST(EditorContextMenu, RightClickPopsUpTheHostsMenuForTheParameterAtThePointerIfItHasMenus)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    auto host = owned(new MenuRecordingHandler);
    f.controller->setComponentHandler(host);
    const ParamID detune = oscillatorId(1, kOscDetune);
    const Point p = offset(in(1, kDetuneKnob), 3.4, -4.6);
    f.rightClick(p);
    ASSERT_EQ(host->requests.size(), 1u);
    EXPECT_EQ(host->requests[0].id, detune);
    EXPECT_EQ(host->requests[0].view, f.hostView.get());
    EXPECT_EQ(host->requests[0].poppedAt, std::make_pair(UCoord(std::lround(p.x)), UCoord(std::lround(p.y))));
    // The right button neither edits nor drags.
    f.frame->mouseMoved({offset(p, 0, -50)});
    f.frame->mouseUp({offset(p, 0, -50)});
    EXPECT_TRUE(host->calls.empty());
    EXPECT_EQ(f.value(detune), 0.5);

    // Menus, text edits and check boxes have the host's menu too; empty panel has none.
    const struct
    {
        Point at;
        ParamID id;
    } controls[] = {
        {in(2, kTypeMenu), oscillatorId(2, kOscType)},
        {in(3, kVolumeEdit), oscillatorId(3, kOscVolume)},
        {panelPoint(15 + 85 + 10, 417 + 25 + 12), channelParameterId(0, kReceiveNoteOff)},
    };
    for (const auto& c : controls)
    {
        host->requests.clear();
        f.rightClick(c.at);
        ASSERT_EQ(host->requests.size(), 1u);
        EXPECT_EQ(host->requests[0].id, c.id);
    }
    host->requests.clear();
    f.rightClick(panelPoint(400, 10));
    EXPECT_TRUE(host->requests.empty());

    // At a content scale of 2 the host's view has twice the pixels.
    f.frame->setHostView(f.hostView, 2);
    f.rightClick(p);
    ASSERT_EQ(host->requests.size(), 1u);
    EXPECT_EQ(host->requests[0].poppedAt,
              std::make_pair(UCoord(std::lround(2 * p.x)), UCoord(std::lround(2 * p.y))));

    // A host without menus, or without a handler at all, gets nothing from the right button.
    auto plain = owned(new HandlerWithoutMenus);
    f.controller->setComponentHandler(plain);
    f.rightClick(p);
    EXPECT_TRUE(plain->requests.empty());
    EXPECT_TRUE(plain->calls.empty());
    f.controller->setComponentHandler(nullptr);
    f.rightClick(p);
    EXPECT_EQ(f.value(detune), 0.5);
}

// Windows whose platform does not report double-clicks count them themselves.
TEST(EditorClickCounter, CountsPressesOfOneButtonCloseInTimeAndPlace)
{
    Editor::ClickCounter clicks;
    constexpr double kInterval = Editor::ClickCounter::kIntervalMilliseconds;
    const struct
    {
        MouseButton button;
        Point at;
        double time;
        int count;
    } presses[] = {
        {MouseButton::left, {100, 100}, 1000, 1},
        {MouseButton::left, {102, 97}, 1000 + kInterval, 2},
        {MouseButton::left, {100, 100}, 1000 + 2 * kInterval, 3},
        {MouseButton::left, {100, 100}, 1001 + 3 * kInterval, 1},  // too late
        {MouseButton::left, {105, 100}, 1100 + 3 * kInterval, 1},  // too far
        {MouseButton::right, {105, 100}, 1200 + 3 * kInterval, 1}, // another button
        {MouseButton::right, {105, 100}, 1000, 1},                 // the clock went back
    };
    for (const auto& p : presses)
        EXPECT_EQ(clicks.press(p.button, p.at, p.time), p.count) << p.time;
}

} // namespace
} // namespace Taviro::Test
