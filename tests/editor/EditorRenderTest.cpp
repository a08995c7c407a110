// Offscreen renders of the editor: the window's own drawing code into an image, checked pixel by
// pixel and written as PNG files into the build folder (editor-renders/).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "EditorTestSupport.h"
#include "source/editor/AnimKnob.h"
#include "source/editor/OptionMenu.h"
#include "source/editor/TextLabel.h"
#include "source/editor/ViewSwitchContainer.h"

namespace Taviro::Test {
namespace {

using Editor::Point;

constexpr int kKnobFrames = 28;
constexpr int kKnobSize = 42;
// The layout lets the right neighbour and the text edit below overlap a knob's last two pixels.
constexpr int kKnobVisible = 40;

// What a knob strip frame looks like on the black channel panel, composed here from the PNG
// (`density` 2: from the double-density PNG).
cairo_surface_t* expectedKnob(const char* strip, int frame, int density = 1)
{
    cairo_surface_t* bitmap = loadBundlePng(strip);
    const int size = kKnobSize * density;
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(out);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_surface(cr, bitmap, 0, -frame * size);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(bitmap);
    cairo_surface_flush(out);
    return out;
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

void selectChannel(FrameUnderTest& f, int midiChannel)
{
    f.host.controller->setParamNormalized(kEditorChannelSelectorId, (midiChannel - 1) / 15.0);
    f.frame->idle();
}

std::string panelTitle(FrameUnderTest& f)
{
    auto* switcher = viewsOf<Editor::ViewSwitchContainer>(f.frame->root()).at(0);
    // The first label of a channel panel is its title.
    return viewsOf<Editor::TextLabel>(*switcher->content()).at(0)->text();
}

TEST(EditorRender, ChannelOneKnobFollowsItsParameter)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID volume = channelParameterId(0, oscillatorParameterOffset(0, kOscVolume));
    const Point knob = columnPoint(1, 5, 65);

    for (double v : {0.0, 0.5, 0.8, 1.0})
    {
        f.host.controller->setParamNormalized(volume, v);
        f.frame->idle();
        const int frame = static_cast<int>(std::floor(v * (kKnobFrames - 1) + 0.5));
        cairo_surface_t* image = f.render();
        cairo_surface_t* expected = expectedKnob("knob.png", frame);
        EXPECT_TRUE(sameArea(image, knob.x, knob.y, expected, 0, 0, kKnobVisible, kKnobVisible)) << "value " << v;
        cairo_surface_destroy(expected);
        // ...and not some other frame: the neighbour differs visibly.
        cairo_surface_t* neighbour = expectedKnob("knob.png", frame == 0 ? 1 : frame - 1);
        EXPECT_FALSE(sameArea(image, knob.x, knob.y, neighbour, 0, 0, kKnobVisible, kKnobVisible)) << "value " << v;
        cairo_surface_destroy(neighbour);
    }

    // The filter knobs use the second strip, the envelope knobs the third.
    f.host.controller->setParamNormalized(channelParameterId(0, kOscFilterFrequency), 1.0);
    f.host.controller->setParamNormalized(channelParameterId(0, kOscAttackTime), 1.0);
    f.frame->idle();
    cairo_surface_t* image = f.render();
    cairo_surface_t* filter = expectedKnob("knob2.png", kKnobFrames - 1);
    cairo_surface_t* attack = expectedKnob("knob3.png", kKnobFrames - 1);
    const Point frequencyKnob = columnPoint(1, 5, 165), attackKnob = columnPoint(1, 5, 265);
    EXPECT_TRUE(sameArea(image, frequencyKnob.x, frequencyKnob.y, filter, 0, 0, kKnobVisible, kKnobVisible));
    EXPECT_TRUE(sameArea(image, attackKnob.x, attackKnob.y, attack, 0, 0, kKnobVisible, kKnobVisible));
    cairo_surface_destroy(filter);
    cairo_surface_destroy(attack);
}

TEST(EditorRender, AtDoubleDensityTheDoubleDensityBitmapsAreDrawn)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID volume = channelParameterId(0, oscillatorParameterOffset(0, kOscVolume));
    f.host.controller->setParamNormalized(volume, 1.0);
    f.frame->idle();
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2 * 946, 2 * 565);
    cairo_t* cr = cairo_create(image);
    cairo_scale(cr, 2, 2);
    f.frame->draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image);
    const auto folder = std::filesystem::path(TAVIRO_BUNDLE_DIR).parent_path() / "editor-renders";
    std::filesystem::create_directories(folder);
    cairo_surface_write_to_png(image, (folder / "editor-channel-1@2x.png").c_str());

    const Point knob = columnPoint(1, 5, 65);
    cairo_surface_t* sharp = expectedKnob("knob@2x.png", kKnobFrames - 1, 2);
    EXPECT_TRUE(sameArea(image, 2 * knob.x, 2 * knob.y, sharp, 0, 0, 2 * kKnobVisible, 2 * kKnobVisible));
    cairo_surface_destroy(sharp);
    cairo_surface_destroy(image);
}

TEST(EditorRender, OptionMenuShowsItsValuesText)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    const ParamID type = channelParameterId(0, oscillatorParameterOffset(1, kOscType));
    Editor::OptionMenu* menu = nullptr;
    for (auto* m : viewsOf<Editor::OptionMenu>(f.frame->root()))
        if (m->tag() == type)
            menu = m;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->currentText(), "Off");
    const Point at = columnPoint(2, 45, 5);
    cairo_surface_t* off = cairo_surface_reference(f.render());

    f.host.controller->setParamNormalized(type, 4 / 6.0);
    f.frame->idle();
    EXPECT_EQ(menu->currentText(), "Saw (aliased)");
    cairo_surface_t* saw = f.render();
    // The text part of the menu changed, the arrow on its right did not.
    EXPECT_GT(differingPixels(off, saw, at.x, at.y, 100, 15), 30);
    EXPECT_EQ(differingPixels(off, saw, at.x + 103, at.y, 12, 15), 0);
    // The menu's box is white text on black: the text left of the arrow has white pixels.
    int white = 0;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 15; ++y)
            white += (pixel(saw, at.x + x, at.y + y) & 0xFFFFFF) > 0xC0C0C0;
    EXPECT_GT(white, 20);
    cairo_surface_destroy(off);
    f.writePng("editor-channel-1.png");
}

TEST(EditorRender, ChannelSelectorShowsThatChannelsPanel)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    EXPECT_EQ(panelTitle(f), "MIDI channel 1");
    cairo_surface_t* first = cairo_surface_reference(f.render());
    for (int n : {2, 10, 16, 1, 12})
    {
        selectChannel(f, n);
        EXPECT_EQ(panelTitle(f), "MIDI channel " + std::to_string(n));
        // Every control of the panel is bound to a parameter of channel n.
        for (auto* knob : viewsOf<Editor::AnimKnob>(f.frame->root()))
            EXPECT_EQ(static_cast<int>(knob->tag()) / kParametersPerChannel, n - 1);
    }
    // Channel 12's title is drawn where channel 1's was: the title row differs, the knob rows are
    // the same (both channels have the same values).
    cairo_surface_t* twelfth = f.render();
    const Point title = panelPoint(20, 0);
    EXPECT_GT(differingPixels(first, twelfth, title.x, title.y, 712, 25), 10);
    const Point knobs = columnPoint(1, 5, 65);
    EXPECT_EQ(differingPixels(first, twelfth, knobs.x, knobs.y, 200, 42), 0);
    cairo_surface_destroy(first);

    // The selector menu names the channel too.
    const auto menus = viewsOf<Editor::OptionMenu>(f.frame->root());
    ASSERT_EQ(menus.at(0)->tag(), kEditorChannelSelectorId);
    EXPECT_EQ(menus.at(0)->currentText(), "MIDI channel 12");

    // A window opened later starts on the channel the selector holds.
    f.host.controller->setParamNormalized(kEditorChannelSelectorId, 5 / 15.0);
    f.frame = Editor::EditorFrame::create(*f.resources, *f.host.controller, "Editor", [&f] { return f.now; });
    ASSERT_TRUE(f.frame);
    EXPECT_EQ(panelTitle(f), "MIDI channel 6");
    EXPECT_FALSE(Editor::EditorFrame::create(*f.resources, *f.host.controller, "editor")) << "no such template";
}

TEST(EditorRender, DrumChannelProgramMenuHoldsTheSingleProgram)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    selectChannel(f, 10);
    EXPECT_EQ(panelTitle(f), "MIDI channel 10");
    const ParamID program = channelParameterId(9, kProgramChange);
    Editor::OptionMenu* menu = nullptr;
    for (auto* m : viewsOf<Editor::OptionMenu>(f.frame->root()))
        if (m->tag() == program)
            menu = m;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->entries(), std::vector<std::string>{"Drums"});
    EXPECT_EQ(menu->currentText(), "Drums");
    f.writePng("editor-channel-10.png");

    f.click(panelPoint(150, 40));
    ASSERT_TRUE(f.frame->isPopupOpen());
    EXPECT_EQ(f.frame->openPopupList()->entries(), std::vector<std::string>{"Drums"});
    f.writePng("editor-channel-10-program-menu.png");

    // Another channel's menu lists all 19 programs.
    f.click({0, 0});
    selectChannel(f, 3);
    f.click(panelPoint(150, 40));
    ASSERT_TRUE(f.frame->isPopupOpen());
    const auto& entries = f.frame->openPopupList()->entries();
    ASSERT_EQ(entries.size(), 19u);
    EXPECT_EQ(entries.front(), "Piano Cologne");
    EXPECT_EQ(entries.back(), "USER 4");
}

TEST(EditorRender, AboutScreenOpensOverTheWindowAfterAClickOnTheLogo)
{
    FrameUnderTest f;
    ASSERT_TRUE(f.frame);
    cairo_surface_t* about = loadBundlePng("about.png");
    cairo_surface_t* before = cairo_surface_reference(f.render());
    EXPECT_FALSE(sameArea(before, 300, 200, about, 300, 200, 300, 150));

    f.click({80, 300}); // the logo strip: 0, 162, 173 × 365
    EXPECT_EQ(f.frame->splashOpacity(), 0.0);
    f.now += 150;
    f.frame->idle();
    EXPECT_NEAR(f.frame->splashOpacity(), 0.5, 1e-9);
    f.now += 150;
    f.frame->idle();
    EXPECT_EQ(f.frame->splashOpacity(), 1.0);
    cairo_surface_t* open = f.render();
    // All of it but the rounded corners, where the window shows through.
    EXPECT_TRUE(sameArea(open, 4, 4, about, 4, 4, 938, 557));
    f.writePng("editor-about.png");

    // A click closes it, again over 300 ms; the editor is back as it was.
    f.click({500, 300});
    f.now += 299;
    f.frame->idle();
    EXPECT_GT(f.frame->splashOpacity(), 0.0);
    f.now += 1;
    f.frame->idle();
    EXPECT_EQ(f.frame->splashOpacity(), 0.0);
    EXPECT_EQ(differingPixels(before, f.render(), 0, 0, 946, 565), 0);
    cairo_surface_destroy(before);
    cairo_surface_destroy(about);
}

} // namespace
} // namespace Taviro::Test
