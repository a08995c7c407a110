// The editor off screen: renders by the window's drawing code, checked by pixel and written as PNG
// files (editor-renders/); synthetic events against what reaches the host; the UI description.
#include <gtest/gtest.h>

#include <cmath>

#include "EditorTestSupport.h"
#include "source/editor/AnimKnob.h"
#include "source/editor/BitmapImage.h"
#include "source/editor/OptionMenu.h"
#include "source/editor/TextLabel.h"
#include "source/editor/UIDescription.h"
#include "source/editor/ViewSwitchContainer.h"

namespace Taviro::Test {
namespace {

constexpr int kKnobSize = 42;
// The right neighbour and the text edit below may overlap a knob's last two pixels.
constexpr int kKnobVisible = 40;

// A w × h area of a bundle PNG, from row `top` on, as it looks on the black channel panel.
Image onBlack(const std::string& png, int w, int h, int top = 0)
{
    const auto bitmap = Editor::decodePng(bundlePath(png));
    return drawOffscreen(w, h, [&](Editor::DrawContext& context) {
        const Editor::Rect area{0, 0, static_cast<double>(w), static_cast<double>(h)};
        context.fillRect(area, {0, 0, 0, 1});
        context.drawImage(*bitmap, 1, area.movedBy(0, top), area, 1);
    });
}

template <typename T> std::vector<T*> viewsOf(Editor::View& root)
{
    std::vector<T*> found;
    root.forEach([&](Editor::View& v) {
        if (auto* t = dynamic_cast<T*>(&v))
            found.push_back(t);
    });
    return found;
}

Editor::OptionMenu* menuOf(FrameUnderTest& f, ParamID tag)
{
    for (auto* menu : viewsOf<Editor::OptionMenu>(f.frame->root()))
        if (menu->tag() == tag)
            return menu;
    return nullptr;
}

std::string panelTitle(FrameUnderTest& f)
{
    auto* switcher = viewsOf<Editor::ViewSwitchContainer>(f.frame->root()).at(0);
    return viewsOf<Editor::TextLabel>(*switcher->content()).at(0)->text();
}

TEST(EditorRender, ChannelOnePanelShowsItsValues)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    // Knobs show the strip frame round(value × 27) of 28, 42 pixels each; not a neighbouring one.
    const struct
    {
        ParamID id;
        double y; // in column 1
        const char* strip;
        double value;
    } knobs[] = {
        {kOscVolume, 65, "knob.png", 0.0},
        {kOscVolume, 65, "knob.png", 0.5},
        {kOscVolume, 65, "knob.png", 0.9}, // frame 24: between the ends, where value × 28 gives 25
        {kOscVolume, 65, "knob.png", 1.0},
        {kOscFilterFrequency, 165, "knob2.png", 1.0},
        {kOscAttackTime, 265, "knob3.png", 0.3},
    };
    for (const auto& k : knobs)
    {
        f.set(channelParameterId(0, k.id), k.value);
        const int frame = static_cast<int>(std::floor(k.value * 27 + 0.5));
        const Image image = f.render();
        const Point at = columnPoint(1, 5, k.y);
        const auto differing = [&](int frame) {
            const Image expected = onBlack(k.strip, kKnobSize, kKnobSize, frame * kKnobSize);
            return differingPixels(image, at.x, at.y, expected, 0, 0, kKnobVisible, kKnobVisible, 2);
        };
        EXPECT_EQ(differing(frame), 0) << k.strip << " at " << k.value;
        EXPECT_GT(differing(frame == 0 ? 1 : frame - 1), 0) << k.strip << " at " << k.value;
    }
    EXPECT_TRUE(f.handler->calls.empty()) << "host changes are not sent back to the host";

    // The panel's groupframe.png (110 × 110, 25-pixel corners) is nine-part tiled to 752 × 540.
    // Compared: 15-pixel wide strips at the panel's left and right ends, which no view covers.
    const Image image = f.render();
    const Image frame = onBlack("groupframe.png", 110, 110);
    const Point panel = panelPoint(0, 0);
    EXPECT_EQ(differingPixels(image, panel.x, panel.y, frame, 0, 0, 15, 25, 2), 0) << "top left corner";
    EXPECT_EQ(differingPixels(image, panel.x + 737, panel.y + 515, frame, 95, 85, 15, 25, 2), 0) << "bottom right";
    for (int y : {25, 85, 145})
        EXPECT_EQ(differingPixels(image, panel.x, panel.y + y, frame, 0, 25, 15, 60, 2), 0) << "left edge at " << y;

    // At double density the double-density strip is drawn (volume is at 1.0).
    const Image sharp = f.render(2);
    saveRender(sharp, "editor-channel-1@2x.png");
    const Point knob = columnPoint(1, 5, 65);
    const Image expected = onBlack("knob@2x.png", 2 * kKnobSize, 2 * kKnobSize, 27 * 2 * kKnobSize);
    EXPECT_EQ(differingPixels(sharp, 2 * knob.x, 2 * knob.y, expected, 0, 0, 2 * kKnobVisible, 2 * kKnobVisible, 2),
              0);

    // An option menu shows its value's text: the text left of the arrow changes, the arrow does not.
    const ParamID type = channelParameterId(0, oscillatorParameterOffset(1, kOscType));
    EXPECT_EQ(menuOf(f, type)->currentText(), "Off");
    f.set(type, 4 / 6.0);
    EXPECT_EQ(menuOf(f, type)->currentText(), "Saw (aliased)");
    const Image saw = f.render();
    saveRender(saw, "editor-channel-1.png");
    const Point at = columnPoint(2, 45, 5);
    EXPECT_GT(differingPixels(image, saw, at.x, at.y, 100, 15), 30);
    EXPECT_EQ(differingPixels(image, saw, at.x + 103, at.y, 12, 15), 0);
}

TEST(EditorRender, ChannelSelectorShowsThatChannelsPanel)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    EXPECT_EQ(panelTitle(f), "MIDI channel 1");
    const Image first = f.render();
    for (int n : {2, 10, 16, 1, 12})
    {
        f.selectChannel(n);
        EXPECT_EQ(panelTitle(f), "MIDI channel " + std::to_string(n));
        for (auto* knob : viewsOf<Editor::AnimKnob>(f.frame->root()))
            EXPECT_EQ(static_cast<int>(knob->tag()) / kParametersPerChannel, n - 1) << "knob of channel " << n;
    }
    // Drawn: the title row differs from channel 1's, the knob row (same values) does not.
    const Image twelfth = f.render();
    const Point title = panelPoint(20, 0), knobs = columnPoint(1, 5, 65);
    EXPECT_GT(differingPixels(first, twelfth, title.x, title.y, 712, 25), 10);
    EXPECT_EQ(differingPixels(first, twelfth, knobs.x, knobs.y, 200, 42), 0);

    // A window opened later starts on the channel the selector holds.
    f.controller->setParamNormalized(kEditorChannelSelectorId, 5 / 15.0);
    f.frame = Editor::EditorFrame::create(*f.resources, *f.controller, "Editor", [&f] { return f.now; });
    ASSERT_TRUE(f.frame);
    EXPECT_EQ(panelTitle(f), "MIDI channel 6");
    EXPECT_FALSE(Editor::EditorFrame::create(*f.resources, *f.controller, "editor")) << "no such template";
}

TEST(EditorRender, AboutScreenFadesInOverTheWindowAfterAClickOnTheLogo)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const Image about = loadBundlePng("about.png");
    const Image before = f.render();
    EXPECT_GT(differingPixels(before, 300, 200, about, 300, 200, 300, 150, 2), 0);

    f.click({80, 300}); // the logo strip: 0, 162, 173 × 365
    for (double opacity : {0.0, 0.5, 1.0, 1.0}) // over 300 ms, then it stays
    {
        EXPECT_NEAR(f.frame->splashOpacity(), opacity, 1e-9);
        f.now += 150;
        f.frame->idle();
    }
    // All of it but the rounded corners, where the window shows through.
    const Image open = f.render();
    EXPECT_EQ(differingPixels(open, 4, 4, about, 4, 4, 938, 557, 2), 0);
    saveRender(open, "editor-about.png");

    // A click closes it, again over 300 ms; the editor is back as it was.
    f.click({500, 300});
    f.now += 300;
    f.frame->idle();
    EXPECT_EQ(differingPixels(before, f.render(), 0, 0, 946, 565), 0);
}

using Editor::Key;

TEST(EditorInteraction, KnobAndCheckBoxOnChannelFiveEditOnlyTheirParameter)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    f.selectChannel(5);
    const auto& calls = f.handler->calls;

    // OSC 2 Detune of channel 5 (49 × 4 + 14 + 3) starts at 0.5; 50 of the 200 pixels of its range up.
    const ParamID detune = 49 * 4 + 14 + 3;
    const Point knob = columnPoint(2, 45 + 21, 65 + 21);
    f.drag(knob, {knob.x, knob.y - 50});
    ASSERT_GE(calls.size(), 3u);
    for (const auto& call : calls)
        EXPECT_EQ(call.id, detune);
    EXPECT_NEAR(calls[calls.size() - 2].value, 0.75, 1e-9);
    EXPECT_NEAR(f.value(detune), 0.75, 1e-9);
    f.drag(knob, {knob.x, knob.y - 400});
    EXPECT_EQ(f.value(detune), 1.0) << "dragging past the end stops at the end";

    // Receive Note Off's box toggles.
    const ParamID noteOff = channelParameterId(4, kReceiveNoteOff);
    const Point box = panelPoint(15 + 85 + 10, 417 + 25 + 12);
    ASSERT_EQ(f.value(noteOff), 1.0);
    f.handler->calls.clear();
    f.click(box);
    EXPECT_EQ(f.value(noteOff), 0.0);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].id, noteOff);
    EXPECT_EQ(calls[1].value, 0.0);
    f.click(box);
    EXPECT_EQ(f.value(noteOff), 1.0);
}

TEST(EditorInteraction, TypedFilterFrequencyGoesThroughTheStringConversion)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID frequency = channelParameterId(0, kOscFilterFrequency);
    const Point field = columnPoint(1, 26, 212);

    // 80 + 17920 × 0.5^e Hz with e = ln(1720 / 17920) / ln(0.5): 1800 Hz is the middle of the scale.
    f.typeInto(field, "1800");
    EXPECT_NEAR(f.value(frequency), 0.5, 1e-6);
    const auto& calls = f.handler->calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].id, frequency);
    EXPECT_NEAR(calls[1].value, 0.5, 1e-6);

    // Texts that are no number (or read as NaN) and Escape change nothing and send nothing.
    f.handler->calls.clear();
    f.typeInto(field, "loud");
    f.typeInto(field, "nan");
    f.typeInto(field, "18000", Key::escape);
    EXPECT_NEAR(f.value(frequency), 0.5, 1e-6);
    EXPECT_TRUE(calls.empty());

    // The host switches the panel during typing: the field goes, its text (less one) is applied.
    const ParamID volume = channelParameterId(0, kOscVolume);
    f.typeInto(columnPoint(1, 26, 112), "500", Key::backspace);
    f.selectChannel(2);
    EXPECT_NEAR(f.value(volume), 0.5, 1e-9);
    EXPECT_EQ(f.frame->focus(), nullptr);
}

TEST(EditorInteraction, MenusPickEntriesFromTheirPopUpAndTheDrumChannelHasOneProgram)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    // Channel 1's program menu lists the 19 programs; entry 11 is normalised 11 / 18.
    f.click(panelPoint(150, 40));
    ASSERT_TRUE(f.frame->isPopupOpen());
    EXPECT_EQ(f.frame->openPopupList()->entries().size(), 19u);
    const auto box = f.frame->openPopupList()->box();
    f.click({box.x + 30, box.y + 1 + 11.5 * Editor::PopupList::kRowHeight});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_NEAR(f.value(channelParameterId(0, kProgramChange)), 11 / 18.0, 1e-12);

    // The channel selector: entry 6 opens MIDI channel 7, whose program menu a click outside closes.
    f.click({60, 100});
    ASSERT_TRUE(f.frame->isPopupOpen());
    const auto selector = f.frame->openPopupList()->box();
    f.click({selector.x + 30, selector.y + 1 + 6.5 * Editor::PopupList::kRowHeight});
    EXPECT_NEAR(f.value(kEditorChannelSelectorId), 6 / 15.0, 1e-12);
    f.click(panelPoint(150, 40));
    f.click({900, 20});
    EXPECT_FALSE(f.frame->isPopupOpen());
    EXPECT_EQ(f.value(channelParameterId(6, kProgramChange)), 0.0);

    // The drum channel's menu holds the single program.
    f.selectChannel(10);
    EXPECT_EQ(menuOf(f, channelParameterId(9, kProgramChange))->currentText(), "Drums");
    saveRender(f.render(), "editor-channel-10.png");
    f.click(panelPoint(150, 40));
    ASSERT_TRUE(f.frame->isPopupOpen());
    EXPECT_EQ(f.frame->openPopupList()->entries(), std::vector<std::string>{"Drums"});
    saveRender(f.render(), "editor-channel-10-program-menu.png");
}

TEST(UIDescription, NamesEveryParameterByItsControlTag)
{
    const auto text = Editor::folderReader(TAVIRO_EDITOR_RESOURCES)("TaviroPlugIn.uidesc");
    ASSERT_TRUE(text);
    const auto document = Editor::UIDescription::parse(*text);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->controlTagCount(), 786u);
    // The 49 per-channel names in parameter order, without the channel number.
    std::vector<std::string> stems;
    for (const std::string d : {"1", "2", "3"})
        for (const std::string& s :
             {"OSCType" + d + "_", "OSC" + d + "MultiSample_", "OSC" + d + "Volume_", "OSC" + d + "Detune_",
              "OSC" + d + "RetardTime_", "FilterTypeOSC" + d + "_", "FilterFreqOSC" + d + "_",
              "FilterQOSC" + d + "_", "OSC" + d + "Octave_", "AttackTimeOSC" + d + "_", "DecayTimeOSC" + d + "_",
              "SustainLevelOSC" + d + "_", "SustainTimeOSC" + d + "_", "ReleaseTimeOSC" + d + "_"})
            stems.push_back(s + "MIDIChannel");
    for (const char* s : {"MasterVolume_MIDIChannel", "ModWheel_MIDIChannel", "PitchBend_MIDIChannel",
                          "NoteOffMIDIChannel", "ProgramChangeMIDIChannel", "MainVolumeMIDIChannel",
                          "PanoramaMIDIChannel"})
        stems.push_back(s);
    ASSERT_EQ(stems.size(), 49u);
    for (int n = 1; n <= 16; ++n)
        for (int offset = 0; offset < 49; ++offset)
            EXPECT_EQ(document->controlTag(stems[offset] + std::to_string(n)), 49u * (n - 1) + offset)
                << stems[offset] << n;
    EXPECT_EQ(document->controlTag("ActiveVoices"), 784u);
    EXPECT_EQ(document->controlTag("EditorMIDIChannelSelector"), 785u);
    EXPECT_FALSE(document->controlTag("NoteOff_MIDIChannel1")) << "names match exactly";
}

TEST(UIDescription, RejectsWhatIsNotADescriptionAndSkipsBrokenEntries)
{
    EXPECT_FALSE(Editor::UIDescription::parse("not xml at all <"));
    EXPECT_FALSE(Editor::UIDescription::parse("<other-root/>"));

    const auto document = Editor::UIDescription::parse(R"(<vstgui-ui-description version="1">
        <colors><color name="Good" rgba="#10203040"/><color name="Bad" rgba="#12"/></colors>
        <bitmaps><bitmap name="b" path="b.png" nineparttiled-offsets="1, 2"/></bitmaps>
        <control-tags><control-tag name="A" tag="7"/><control-tag name="B" tag="7x"/>
                      <control-tag name="C" tag="-1"/></control-tags>
        <template name="T" class="CViewContainer" origin="1, 2" size="30,40">
          <view class="CTextLabel" origin="oops" size="5, 6"/>
        </template></vstgui-ui-description>)");
    ASSERT_TRUE(document);
    const auto good = document->colour("Good");
    ASSERT_TRUE(good);
    EXPECT_DOUBLE_EQ(good->red, 0x10 / 255.0);
    EXPECT_DOUBLE_EQ(good->alpha, 0x40 / 255.0);
    EXPECT_FALSE(document->colour("Bad"));
    EXPECT_FALSE(document->colour("#gg0000"));
    ASSERT_NE(document->bitmap("b"), nullptr);
    EXPECT_FALSE(document->bitmap("b")->ninePart) << "a nine-part bitmap needs four offsets";
    EXPECT_EQ(document->controlTag("A"), 7u);
    EXPECT_FALSE(document->controlTag("B"));
    EXPECT_FALSE(document->controlTag("C"));
    const Editor::ViewNode* t = document->findTemplate("T");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->frame().height, 40);
    ASSERT_EQ(t->children.size(), 1u);
    EXPECT_EQ(t->children[0].frame().x, 0) << "an unreadable origin counts as 0, 0";
    EXPECT_EQ(t->children[0].frame().width, 5);
}

} // namespace
} // namespace Taviro::Test
