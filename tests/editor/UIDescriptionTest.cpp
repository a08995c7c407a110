// The UI description document as the bundle carries it, and the reader's handling of bad input.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "source/editor/UIDescription.h"

namespace Taviro::Test {
namespace {

using namespace Steinberg::Vst::TaviroPlugIn::Editor;

const char* const kDocumentPath = TAVIRO_BUNDLE_DIR "/Contents/Resources/TaviroPlugIn.uidesc";

// The 49 per-channel tag names in offset order, without the channel number.
std::vector<std::string> channelTagStems()
{
    std::vector<std::string> stems;
    for (int k = 1; k <= 3; ++k)
    {
        const std::string d = std::to_string(k);
        for (const std::string& s :
             {"OSCType" + d + "_", "OSC" + d + "MultiSample_", "OSC" + d + "Volume_", "OSC" + d + "Detune_",
              "OSC" + d + "RetardTime_", "FilterTypeOSC" + d + "_", "FilterFreqOSC" + d + "_",
              "FilterQOSC" + d + "_", "OSC" + d + "Octave_", "AttackTimeOSC" + d + "_", "DecayTimeOSC" + d + "_",
              "SustainLevelOSC" + d + "_", "SustainTimeOSC" + d + "_", "ReleaseTimeOSC" + d + "_"})
            stems.push_back(s + "MIDIChannel");
    }
    for (const char* s : {"MasterVolume_MIDIChannel", "ModWheel_MIDIChannel", "PitchBend_MIDIChannel",
                          "NoteOffMIDIChannel", "ProgramChangeMIDIChannel", "MainVolumeMIDIChannel",
                          "PanoramaMIDIChannel"})
        stems.push_back(s);
    return stems;
}

void collect(const ViewNode& node, const std::string& cls, std::vector<const ViewNode*>& out)
{
    if (node.className == cls)
        out.push_back(&node);
    for (const auto& child : node.children)
        collect(child, cls, out);
}

std::vector<const ViewNode*> viewsOfClass(const ViewNode& root, const std::string& cls)
{
    std::vector<const ViewNode*> out;
    collect(root, cls, out);
    return out;
}

class Document : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto loaded = UIDescription::load(kDocumentPath);
        ASSERT_TRUE(loaded);
        document = std::move(*loaded);
    }
    UIDescription document;
};

TEST_F(Document, IsAVersionOneDescriptionWithItsColoursAndBitmaps)
{
    std::ifstream file(kDocumentPath);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("<vstgui-ui-description version=\"1\">"), std::string::npos);

    const struct
    {
        const char* name;
        int r, g, b, a;
    } colours[] = {{"Background", 0xa5, 0xa5, 0xa5, 0xff}, {"Focus", 0xff, 0xff, 0xff, 0x59},
                   {"Light Grey", 0xaa, 0xaa, 0xaa, 0xff}};
    for (const auto& c : colours)
    {
        const auto colour = document.colour(c.name);
        ASSERT_TRUE(colour) << c.name;
        EXPECT_DOUBLE_EQ(colour->red, c.r / 255.0);
        EXPECT_DOUBLE_EQ(colour->green, c.g / 255.0);
        EXPECT_DOUBLE_EQ(colour->blue, c.b / 255.0);
        EXPECT_DOUBLE_EQ(colour->alpha, c.a / 255.0);
    }

    for (const char* name : {"background", "groupframe", "knob", "knob2", "knob3", "tavirologo", "about"})
    {
        const auto* bitmap = document.bitmap(name);
        ASSERT_NE(bitmap, nullptr) << name;
        EXPECT_EQ(bitmap->path, std::string(name) + ".png");
    }
    const auto background = document.bitmap("background")->ninePart;
    ASSERT_TRUE(background);
    EXPECT_EQ(background->left, 10);
    EXPECT_EQ(background->top, 60);
    EXPECT_EQ(background->right, 10);
    EXPECT_EQ(background->bottom, 10);
    const auto frame = document.bitmap("groupframe")->ninePart;
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->left + frame->top + frame->right + frame->bottom, 100);
    EXPECT_FALSE(document.bitmap("knob")->ninePart);
}

TEST_F(Document, NamesEveryParameterByItsControlTag)
{
    EXPECT_EQ(document.controlTagCount(), 786u);
    const auto stems = channelTagStems();
    ASSERT_EQ(stems.size(), 49u);
    for (int n = 1; n <= 16; ++n)
        for (int offset = 0; offset < 49; ++offset)
            EXPECT_EQ(document.controlTag(stems[offset] + std::to_string(n)), 49u * (n - 1) + offset)
                << stems[offset] << n;
    EXPECT_EQ(document.controlTag("ActiveVoices"), 784u);
    EXPECT_EQ(document.controlTag("EditorMIDIChannelSelector"), 785u);
    EXPECT_FALSE(document.controlTag("NoteOff_MIDIChannel1")) << "names match exactly";
}

TEST_F(Document, EditorTemplateIsTheFixedSizeWindow)
{
    const ViewNode* editor = document.findTemplate("Editor");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->className, "CViewContainer");
    const Rect size = editor->frame();
    EXPECT_EQ(size.width, 946);
    EXPECT_EQ(size.height, 565);
    EXPECT_EQ(editor->text("minSize"), "946, 565");
    EXPECT_EQ(editor->text("maxSize"), "946, 565");
    EXPECT_EQ(editor->text("background-color"), "Background");
    EXPECT_EQ(editor->text("bitmap"), "background");

    ASSERT_EQ(editor->children.size(), 3u);
    const ViewNode& menu = editor->children[0];
    EXPECT_EQ(menu.className, "COptionMenu");
    EXPECT_EQ(menu.text("control-tag"), "EditorMIDIChannelSelector");
    EXPECT_EQ(menu.frame().x, 30);
    EXPECT_EQ(menu.frame().y, 92);
    const ViewNode& switcher = editor->children[1];
    EXPECT_EQ(switcher.className, "UIViewSwitchContainer");
    EXPECT_EQ(switcher.text("template-names"), "MC1,MC2,MC3,MC4,MC5,MC6,MC7,MC8,MC9,MC10,MC11,MC12,MC13,MC14,MC15,MC16");
    EXPECT_EQ(switcher.text("template-switch-control"), "EditorMIDIChannelSelector");
    EXPECT_EQ(switcher.frame().width, 752);
    const ViewNode& splash = editor->children[2];
    EXPECT_EQ(splash.className, "CAnimationSplashScreen");
    EXPECT_EQ(splash.text("splash-bitmap"), "about");
    EXPECT_EQ(splash.number("animation-time", 0), 300);
    EXPECT_EQ(splash.text("tooltip"), "About...");
}

TEST_F(Document, ChannelPanelsDifferOnlyInTheirChannel)
{
    for (int n = 1; n <= 16; ++n)
    {
        const ViewNode* panel = document.findTemplate("MC" + std::to_string(n));
        ASSERT_NE(panel, nullptr) << n;
        EXPECT_EQ(panel->frame().width, 752);
        EXPECT_EQ(panel->frame().height, 540);
        EXPECT_EQ(panel->children.at(0).text("title"), "MIDI channel " + std::to_string(n));

        // Every bound view names a tag of its own channel.
        const std::string suffix = "MIDIChannel" + std::to_string(n);
        int bound = 0;
        for (const char* cls : {"COptionMenu", "CAnimKnob", "CTextEdit", "CCheckBox"})
            for (const ViewNode* v : viewsOfClass(*panel, cls))
            {
                const std::string tag = v->text("control-tag");
                EXPECT_EQ(tag.substr(tag.size() - suffix.size()), suffix) << tag;
                ++bound;
            }
        // Per oscillator: 4 menus, 10 knobs, 10 text edits; then the program menu, the volume knob
        // and its text edit, and the check box.
        EXPECT_EQ(bound, 3 * 24 + 4);

        const auto menus = viewsOfClass(*panel, "COptionMenu");
        EXPECT_EQ(menus.at(0)->text("control-tag"), "ProgramChange" + suffix);
        EXPECT_EQ(menus.at(0)->number("max-value", -1), n == 10 ? 0 : 18);

        for (const ViewNode* knob : viewsOfClass(*panel, "CAnimKnob"))
        {
            EXPECT_EQ(knob->number("sub-pixmaps", 0), 28);
            EXPECT_EQ(knob->number("height-of-one-image", 0), 42);
            EXPECT_EQ(knob->number("angle-start", 0), 135);
            EXPECT_EQ(knob->number("angle-range", 0), 270);
            EXPECT_EQ(knob->number("zoom-factor", 0), 1.5);
        }
    }
    EXPECT_EQ(document.findTemplate("MC17"), nullptr);
    EXPECT_EQ(document.findTemplate("MC0"), nullptr);
}

TEST_F(Document, TooltipsOfKnobAndFieldDifferWhereTheWindowDiffers)
{
    const ViewNode* panel = document.findTemplate("MC3");
    ASSERT_NE(panel, nullptr);
    std::map<std::string, std::vector<std::string>> tips; // tag → tooltips of knob, then field
    for (const char* cls : {"CAnimKnob", "CTextEdit"})
        for (const ViewNode* v : viewsOfClass(*panel, cls))
            tips[v->text("control-tag")].push_back(v->text("tooltip"));
    EXPECT_EQ(tips["OSC2RetardTime_MIDIChannel3"],
              (std::vector<std::string>{"OSC 2 Retard Time  (ms)", "OSC 2 Retard Time (ms)"}));
    EXPECT_EQ(tips["SustainTimeOSC1_MIDIChannel3"],
              (std::vector<std::string>{"Sustain Time (ms) if Note off receive if turned off",
                                        "Sustain Time (ms) if Note off receive is turned off"}));
    EXPECT_EQ(tips["OSC3Volume_MIDIChannel3"], (std::vector<std::string>{"OSC 3 Volume (%)", "OSC 3 Volume (%)"}));
    EXPECT_EQ(tips["MasterVolume_MIDIChannel3"], (std::vector<std::string>{"Volume (%)", "Volume (%)"}));

    const auto boxes = viewsOfClass(*panel, "CCheckBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->text("title"), "Receive Note off");
    EXPECT_EQ(boxes[0]->text("tooltip"),
              "Receive Note off (if turned off, attack/decay/sustain/release will be executed automatically)");
}

TEST(UIDescriptionReader, RejectsWhatIsNotADescriptionAndSkipsBrokenEntries)
{
    EXPECT_FALSE(UIDescription::parse("not xml at all <"));
    EXPECT_FALSE(UIDescription::parse("<other-root/>"));
    EXPECT_FALSE(UIDescription::load("/nonexistent/TaviroPlugIn.uidesc"));

    const auto document = UIDescription::parse(R"(<vstgui-ui-description version="1">
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
    EXPECT_TRUE(document->colour("~ WhiteCColor"));
    EXPECT_TRUE(document->colour("#ffffff"));
    EXPECT_FALSE(document->colour("#gg0000"));
    ASSERT_NE(document->bitmap("b"), nullptr);
    EXPECT_FALSE(document->bitmap("b")->ninePart) << "a nine-part bitmap needs four offsets";
    EXPECT_EQ(document->controlTag("A"), 7u);
    EXPECT_FALSE(document->controlTag("B"));
    EXPECT_FALSE(document->controlTag("C"));

    const ViewNode* t = document->findTemplate("T");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->frame().x, 1);
    EXPECT_EQ(t->frame().height, 40);
    ASSERT_EQ(t->children.size(), 1u);
    EXPECT_EQ(t->children[0].frame().x, 0) << "an unreadable origin counts as 0, 0";
    EXPECT_EQ(t->children[0].frame().width, 5);
}

} // namespace
} // namespace Taviro::Test
