// A damaged or hand-edited UI description never takes the host down: the editor opens with what
// it could build, and draws it with the real bitmaps.
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include "source/controller/ControllerWithUI.h"
#include "source/editor/AnimKnob.h"
#include "source/editor/XmlTree.h"

namespace Taviro::Test {
namespace {

const std::string kResources = TAVIRO_EDITOR_RESOURCES;

// A document with the bitmap "frame" (groupframe.png, 110 x 110) and these templates.
std::string document(const std::string& frameOffsets, const std::string& templates)
{
    return R"(<vstgui-ui-description version="1"><bitmaps>
        <bitmap name="frame" path="groupframe.png")" +
           (frameOffsets.empty() ? "" : " nineparttiled-offsets=\"" + frameOffsets + "\"") +
           R"(/><bitmap name="knob" path="knob.png"/></bitmaps>
        <control-tags><control-tag name="Selector" tag="785"/><control-tag name="Volume" tag="2"/></control-tags>)" +
           templates + "</vstgui-ui-description>";
}

struct BuiltEditor
{
    explicit BuiltEditor(const std::string& xml) : controller(owned(new ControllerWithUI))
    {
        controller->initialize(&host);
        auto parsed = Editor::UIDescription::parse(xml);
        if (parsed)
            resources = Editor::EditorResources::create(kResources, std::move(*parsed));
        if (resources)
            frame = Editor::EditorFrame::create(*resources, *controller, "Editor", [] { return 0.0; });
    }
    ~BuiltEditor()
    {
        frame.reset();
        controller->terminate();
    }

    int count(const std::function<bool(Editor::View&)>& which = [](Editor::View&) { return true; }) const
    {
        int n = 0;
        frame->root().forEach([&](Editor::View& v) { n += which(v); });
        return n;
    }
    Image render() const
    {
        return drawOffscreen(300, 300, [this](Editor::DrawContext& context) { frame->draw(context); });
    }

    HostApplication host;
    IPtr<EditController> controller;
    std::unique_ptr<Editor::EditorResources> resources;
    std::unique_ptr<Editor::EditorFrame> frame;
};

TEST(DamagedUIDescription, NinePartOffsetsLargerThanTheirBitmapDrawOnlyTheBitmapsOwnPixels)
{
    const std::string editor =
        R"(<template name="Editor" class="CViewContainer" size="300, 300" bitmap="frame"/>)";
    // Offsets beyond the 110-pixel bitmap leave one corner part: the whole bitmap, drawn once.
    BuiltEditor damaged(document("500, 500, 900, 900", editor));
    BuiltEditor plain(document("", editor));
    ASSERT_TRUE(damaged.frame && plain.frame);
    EXPECT_EQ(differingPixels(damaged.render(), plain.render(), 0, 0, 300, 300), 0);
}

TEST(DamagedUIDescription, ASwitchContainerThatShowsItsOwnTemplateStaysEmpty)
{
    const std::string label = R"(<view class="CTextLabel" origin="0, 0" size="50, 20" title="still here"/>)";
    const auto switchTo = [](const std::string& name) {
        return R"(<view class="UIViewSwitchContainer" size="100, 100" template-names=")" + name +
               R"(" template-switch-control="Selector"/>)";
    };
    // The documents and the views that are built: container, label and switch, plus the panel and
    // its switch when the cycle runs through a second template.
    const std::pair<std::string, int> cases[] = {
        {R"(<template name="Editor" class="CViewContainer" size="300, 300">)" + label + switchTo("Editor") +
             "</template>",
         3},
        {R"(<template name="Editor" class="CViewContainer" size="300, 300">)" + label + switchTo("Panel") +
             R"(</template><template name="Panel" class="CViewContainer" size="100, 100">)" +
             switchTo("Editor") + "</template>",
         5},
    };
    for (const auto& [templates, views] : cases)
    {
        BuiltEditor built(document("", templates));
        ASSERT_TRUE(built.frame);
        EXPECT_EQ(built.count(), views);
        built.render();
    }
}

// Deep enough that reading the whole depth into a tree would overflow any thread's stack.
TEST(DamagedUIDescription, AHundredThousandNestedViewsAreCutWhereTheXmlTreeIs)
{
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += R"(<view class="CViewContainer" size="10, 10">)";
    for (int i = 0; i < 100000; ++i)
        nested += "</view>";
    BuiltEditor built(document("", R"(<template name="Editor" class="CViewContainer" size="300, 300">)" +
                                       nested + "</template>"));
    ASSERT_TRUE(built.frame);
    // The document's root, the template, then views down to the tree's last level.
    EXPECT_EQ(built.count(), Editor::kMaxElementDepth) << "the template and the views inside it";
    built.render();
}

// A bitmap whose path names the resource folder itself, its parent or no file: the editor opens
// without that bitmap (reading a folder threw into the host before).
TEST(DamagedUIDescription, BitmapsThatNameAFolderOrNoFileAreLeftOut)
{
    for (const std::string path : {"", ".", "..", "missing.png"})
    {
        BuiltEditor built(R"(<vstgui-ui-description version="1"><bitmaps><bitmap name="back" path=")" + path +
                          R"("/></bitmaps><template name="Editor" class="CViewContainer" size="300, 300"
                          bitmap="back"><view class="CTextLabel" size="50, 20" title="label"/></template>
                          </vstgui-ui-description>)");
        ASSERT_TRUE(built.frame) << '"' << path << '"';
        EXPECT_EQ(built.count(), 2) << '"' << path << '"';
        built.render();
    }
}

TEST(DamagedUIDescription, KnobsWithoutADrawableFrameAreLeftOut)
{
    // Knob attributes and whether the knob is built; a label beside it is always there.
    const std::pair<std::string, bool> cases[] = {
        {R"(size="42, 42")", true},
        {R"(size="42, 0")", false},                            // frame height 0
        {R"(size="42, 42" height-of-one-image="0.5")", false}, // less than a pixel
        {R"(size="inf, inf")", false},                         // unreadable size: no frame
        {R"(size="42, nan")", false},
        {R"(size="42, 42" height-of-one-image="1e999")", true}, // unreadable: the frame's height
        {R"(size="42, 42" sub-pixmaps="1e300")", true},
        {R"(size="42, 42" sub-pixmaps="-5")", true},
    };
    for (const auto& [attributes, built] : cases)
    {
        BuiltEditor editor(document("", R"(<template name="Editor" class="CViewContainer" size="300, 300">
            <view class="CTextLabel" size="50, 20" title="label"/>
            <view class="CAnimKnob" origin="10, 30" bitmap="knob" control-tag="Volume" )" +
                                            attributes + "/></template>"));
        ASSERT_TRUE(editor.frame) << attributes;
        EXPECT_EQ(
            editor.count([](Editor::View& v) { return dynamic_cast<Editor::AnimKnob*>(&v) != nullptr; }),
            built ? 1 : 0)
            << attributes;
        EXPECT_EQ(editor.count(), built ? 3 : 2) << attributes;
        editor.render();
    }
}

// Shift slows a knob's drag by the zoom factor its document gives it; a factor that would stop or
// break the knob gives way to the usual 1.5.
TEST(DamagedUIDescription, AnUnusableZoomFactorGivesWayToTheUsualOne)
{
    const std::pair<std::string, double> cases[] = {{"3", 3}, {"0", 1.5}, {"nan", 1.5}};
    const Point knob{31, 121}, dragged{31, 61};
    for (const auto& [attribute, zoom] : cases)
    {
        BuiltEditor editor(document("", R"(<template name="Editor" class="CViewContainer" size="300, 300">
            <view class="CAnimKnob" origin="10, 100" size="42, 42" bitmap="knob" control-tag="Volume"
            zoom-factor=")" + attribute + R"("/></template>)"));
        ASSERT_TRUE(editor.frame) << attribute;
        double change[2];
        for (const bool fine : {false, true})
        {
            editor.controller->setParamNormalized(2, 0.5);
            editor.frame->idle();
            const Editor::Modifiers modifiers{.shift = fine};
            editor.frame->mouseDown({knob, Editor::MouseButton::left, modifiers});
            editor.frame->mouseUp({dragged, Editor::MouseButton::left, modifiers});
            change[fine] = editor.controller->getParamNormalized(2) - 0.5;
        }
        EXPECT_GT(change[0], 0.1) << attribute;
        EXPECT_NEAR(change[1], change[0] / zoom, 1e-9) << attribute;
    }
}

} // namespace
} // namespace Taviro::Test
