// The drawing context the views draw with: primitives, clip and transform by pixel on an offscreen
// image, bitmaps decoded, repeated and scaled, and the text layout that every platform shares.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "source/editor/BitmapImage.h"
#include "source/editor/Font.h"
#include "source/editor/OffscreenImage.h"

namespace Taviro::Test {
namespace {

using namespace Steinberg::Vst::TaviroPlugIn::Editor;

constexpr uint32_t kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kNone = 0;

// Channel by channel within one step of rounding.
bool near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1)
            return false;
    return true;
}

// The image's pixels that differ from what `expected(x, y)` says.
template <typename F> int wrongPixels(const OffscreenImage& image, F expected)
{
    int wrong = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            wrong += !near(image.at(x, y), expected(x, y));
    return wrong;
}

std::filesystem::path scratchFile(const std::string& name)
{
    const auto folder =
        std::filesystem::temp_directory_path() / ("taviro-draw-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder / name;
}

TEST(DrawContext, PrimitivesClipAndTransformCoverExactlyTheirPixels)
{
    const struct
    {
        const char* what;
        std::function<void(DrawContext&)> paint;
        std::function<uint32_t(int, int)> expected;
    } cases[] = {
        {"filled rectangle",
         [](DrawContext& c) {
             c.fillRect({2, 1, 3, 2}, {1, 0, 0, 1});
         },
         [](int x, int y) { return x >= 2 && x < 5 && y >= 1 && y < 3 ? kRed : kNone; }},
        {"one-pixel outline",
         [](DrawContext& c) {
             c.strokeRect(Rect{1, 1, 6, 4}.insetBy(0.5), {1, 1, 1, 1}, 1);
         },
         [](int x, int y) {
             const bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
             const bool border = x == 1 || x == 6 || y == 1 || y == 4;
             return inside && border ? kWhite : kNone;
         }},
        {"clip until restore",
         [](DrawContext& c) {
             c.save();
             c.clip({0, 0, 4, 6});
             c.fillRect({0, 0, 8, 6}, {1, 0, 0, 1});
             c.restore();
             c.fillRect({7, 0, 1, 1}, {1, 1, 1, 1});
         },
         [](int x, int y) { return x < 4              ? kRed
                                   : x == 7 && y == 0 ? kWhite
                                                      : kNone; }},
        {"translate and scale",
         [](DrawContext& c) {
             c.save();
             c.translate(2, 1);
             c.scale(2);
             c.fillRect({0.5, 0, 1, 1}, {1, 0, 0, 1});
             c.restore();
         },
         [](int x, int y) { return x >= 3 && x < 5 && y >= 1 && y < 3 ? kRed : kNone; }},
        {"half-transparent colour over black",
         [](DrawContext& c) {
             c.fillRect({0, 0, 8, 6}, {0, 0, 0, 1});
             c.fillRect({0, 0, 8, 6}, {0, 0, 1, 0.5});
         },
         [](int, int) { return 0xFF000080u; }},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wrongPixels(drawOffscreen(8, 6, c.paint), c.expected), 0) << c.what;
}

TEST(DrawContext, ImagesRoundTripThroughPngAndArePartlyRepeatedScaledAndFaded)
{
    // A 2 × 2 image of four opaque colours.
    const uint32_t colours[2][2] = {{0xFFFF0000, 0xFF00FF00}, {0xFF0000FF, 0xFFFFFFFF}}; // [y][x]
    const OffscreenImage source = drawOffscreen(2, 2, [&](DrawContext& c) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
            {
                const uint32_t v = colours[y][x];
                c.fillRect({double(x), double(y), 1, 1},
                           {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0, 1});
            }
    });
    const auto path = scratchFile("four.png");
    ASSERT_TRUE(writePng(source, path.string()));
    const auto image = decodePng(path.string());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 2);
    EXPECT_EQ(image->height(), 2);

    const auto whole = [&](DrawContext& c) { c.drawImage(*image, 1, {0, 0, 2, 2}, {0, 0, 2, 2}, 1); };
    EXPECT_EQ(wrongPixels(drawOffscreen(2, 2, whole), [&](int x, int y) { return colours[y][x]; }), 0)
        << "decoded as written";

    const auto tiled = [&](DrawContext& c) { c.drawImage(*image, 1, {0, 0, 2, 2}, {1, 1, 5, 4}, 1); };
    EXPECT_EQ(wrongPixels(drawOffscreen(8, 6, tiled),
                          [&](int x, int y) {
                              const bool in = x >= 1 && x < 6 && y >= 1 && y < 5;
                              return in ? colours[(y - 1) % 2][(x - 1) % 2] : kNone;
                          }),
              0)
        << "repeated across a larger target, clipped to it";

    const auto column = [&](DrawContext& c) { c.drawImage(*image, 1, {1, 0, 1, 2}, {0, 0, 3, 2}, 1); };
    EXPECT_EQ(wrongPixels(drawOffscreen(3, 2, column), [&](int, int y) { return colours[y][1]; }), 0)
        << "only the right column, repeated";

    // At density 2 the image's 2 × 2 pixels make one view pixel: under a scale of 2 they are copied 1:1.
    const auto dense = [&](DrawContext& c) {
        c.scale(2);
        c.drawImage(*image, 2, {0, 0, 1, 1}, {0.5, 0, 1, 1}, 1);
    };
    EXPECT_EQ(wrongPixels(drawOffscreen(4, 2, dense),
                          [&](int x, int y) { return x >= 1 && x < 3 ? colours[y][x - 1] : kNone; }),
              0)
        << "double density";

    const auto faded = [&](DrawContext& c) {
        c.fillRect({0, 0, 2, 2}, {0, 0, 0, 1});
        c.drawImage(*image, 1, {0, 0, 2, 2}, {0, 0, 2, 2}, 0.5);
    };
    EXPECT_EQ(wrongPixels(drawOffscreen(2, 2, faded),
                          [&](int x, int y) {
                              // The colours' channels are 0 or 255; each 255 comes to half of it.
                              return 0xFF000000 | (colours[y][x] & 0x00FFFFFF) / 0xFF * 0x80;
                          }),
              0)
        << "half opacity over black";

    std::ofstream(scratchFile("text.png")) << "not a picture";
    EXPECT_FALSE(decodePng(scratchFile("text.png").string()));
    EXPECT_FALSE(decodePng(scratchFile("missing.png").string()));
    std::filesystem::remove_all(path.parent_path());
}

// Measures every character as half the font size wide; records where text is set.
class LayoutProbe : public DrawContext
{
public:
    struct Shown
    {
        std::string text;
        Point origin;
        double size;
        Rect clip;
    };
    std::vector<Shown> shown;
    int depth = 0;

    void save() override { ++depth; }
    void restore() override { --depth; }
    void translate(double, double) override {}
    void scale(double) override {}
    void clip(const Rect& r) override { lastClip = r; }
    double deviceScale() const override { return 1; }
    void fillRect(const Rect&, const Colour&) override {}
    void strokeRect(const Rect&, const Colour&, double) override {}
    void fillPolygon(std::span<const Point>, const Colour&) override {}
    void strokePolyline(std::span<const Point>, const Colour&, double) override {}
    void fillCircle(Point, double, const Colour&) override {}
    void drawImage(const BitmapImage&, double, const Rect&, const Rect&, double) override {}
    TextMetrics measureText(const std::string& text, const Font& font) override
    {
        return {0.5 * font.size * text.size(), 0.8 * font.size, 0.2 * font.size};
    }
    void showText(const std::string& text, Point origin, const Font& font, const Colour&) override
    {
        shown.push_back({text, origin, font.size, lastClip});
    }

private:
    Rect lastClip;
};

TEST(DrawText, AlignsCentresVerticallyAndShrinksTooLongTextsToThreeQuartersAtMost)
{
    const Rect box{10, 4, 100, 20};
    const double room = box.width - 2 * 2; // inset 2 on both sides
    const std::string four = "abcd", twenty(20, 'x'), forty(40, 'x');
    const struct
    {
        const std::string& text;
        TextAlignment alignment;
        double size; // as set
        double x;
    } cases[] = {
        // 4 characters at 12 are 24 wide.
        {four, TextAlignment::left, 12, box.x + 2},
        {four, TextAlignment::centre, 12, box.x + (box.width - 24) / 2},
        {four, TextAlignment::right, 12, box.right() - 2 - 24},
        // 120 wide at 12 for a room of 96: set at 12 × 96/120, so it just fills the room.
        {twenty, TextAlignment::right, 12 * room / 120, box.right() - 2 - room},
        // 240 wide: shrinking stops at 9, and the text runs over (it is clipped to the box).
        {forty, TextAlignment::left, 9, box.x + 2},
        {forty, TextAlignment::centre, 9, box.x + (box.width - 0.5 * 9 * 40) / 2},
    };
    for (const auto& c : cases)
    {
        LayoutProbe probe;
        drawText(probe, c.text, box, {12, false}, {1, 1, 1, 1}, c.alignment);
        ASSERT_EQ(probe.shown.size(), 1u);
        const auto& s = probe.shown[0];
        EXPECT_NEAR(s.size, c.size, 1e-9) << c.text;
        EXPECT_NEAR(s.origin.x, c.x, 1e-9) << c.text;
        // Baseline: the box's middle moved down by half of (ascent − descent) = 0.3 × size.
        EXPECT_NEAR(s.origin.y, box.y + box.height / 2 + 0.3 * c.size, 1e-9) << c.text;
        EXPECT_EQ(s.clip.x, box.x);
        EXPECT_EQ(s.clip.width, box.width);
        EXPECT_EQ(probe.depth, 0) << "every save restored";
    }
    LayoutProbe probe;
    drawText(probe, "", box, {12, false}, {1, 1, 1, 1}, TextAlignment::left);
    EXPECT_TRUE(probe.shown.empty());
}

} // namespace
} // namespace Taviro::Test
