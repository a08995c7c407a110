// Nine-part tiling and film-strip frames, on small bitmaps made by the test.
#include <gtest/gtest.h>

#include <filesystem>

#include "EditorTestSupport.h"
#include "source/editor/Bitmap.h"

namespace Taviro::Test {
namespace {

using Editor::Bitmap;
using Editor::NinePartOffsets;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// A 30 × 30 bitmap: 10-pixel corners red, edges green with a blue pixel at each edge's start, and a
// white centre with a blue pixel at its top left.
std::string writePattern()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 30);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
        {
            const bool edgeX = x < 10 || x >= 20, edgeY = y < 10 || y >= 20;
            data[y * stride + x] = edgeX && edgeY ? kRed : (edgeX || edgeY ? kGreen : kWhite);
        }
    data[0 * stride + 10] = kBlue;  // top edge, first column
    data[10 * stride + 10] = kBlue; // centre, first pixel
    cairo_surface_mark_dirty(s);
    const auto path = std::filesystem::temp_directory_path() / "taviro-ninepart.png";
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    return path.string();
}

cairo_surface_t* drawn(const Bitmap& bitmap, int w, int h)
{
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(out);
    bitmap.draw(cr, {0, 0, double(w), double(h)});
    cairo_destroy(cr);
    cairo_surface_flush(out);
    return out;
}

TEST(Bitmap, NinePartKeepsCornersAndTilesEdgesAndCentre)
{
    const auto bitmap = Bitmap::loadPng(writePattern(), NinePartOffsets{10, 10, 10, 10});
    ASSERT_TRUE(bitmap);
    cairo_surface_t* out = drawn(*bitmap, 100, 70);
    // Corners at the four corners of the target, whatever its size.
    for (auto [x, y] : {std::pair{0, 0}, {99, 0}, {0, 69}, {99, 69}, {9, 9}, {90, 60}})
        EXPECT_EQ(pixel(out, x, y), kRed) << x << "," << y;
    // Top edge repeats every 10 pixels from x = 10: blue at 10, 20, ..., 80.
    for (int x = 10; x < 90; ++x)
        EXPECT_EQ(pixel(out, x, 0), (x - 10) % 10 == 0 ? kBlue : kGreen) << x;
    // Centre repeats from (10, 10).
    EXPECT_EQ(pixel(out, 10, 10), kBlue);
    EXPECT_EQ(pixel(out, 30, 40), kBlue);
    EXPECT_EQ(pixel(out, 31, 40), kWhite);
    EXPECT_EQ(pixel(out, 5, 35), kGreen); // left edge
    cairo_surface_destroy(out);
}

TEST(Bitmap, PlainBitmapIsDrawnOnceAndStripFramesAreCut)
{
    const auto bitmap = Bitmap::loadPng(writePattern(), std::nullopt);
    ASSERT_TRUE(bitmap);
    cairo_surface_t* out = drawn(*bitmap, 60, 60);
    EXPECT_EQ(pixel(out, 0, 10), kGreen);
    EXPECT_EQ(pixel(out, 40, 40), 0u) << "not repeated";
    cairo_surface_destroy(out);

    // As a strip of three 10-pixel frames: frame 1 is rows 10..19, frame 5 is clamped to the last.
    cairo_surface_t* strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 30);
    cairo_t* cr = cairo_create(strip);
    bitmap->drawFrame(cr, {0, 0, 30, 10}, 1, 10);
    bitmap->drawFrame(cr, {0, 15, 30, 10}, 5, 10);
    cairo_destroy(cr);
    cairo_surface_flush(strip);
    EXPECT_EQ(pixel(strip, 10, 0), kBlue);
    EXPECT_EQ(pixel(strip, 15, 5), kWhite);
    EXPECT_EQ(pixel(strip, 15, 10), 0u) << "only one frame high";
    EXPECT_EQ(pixel(strip, 0, 15), kRed);
    EXPECT_EQ(pixel(strip, 15, 15), kGreen);
    cairo_surface_destroy(strip);

    EXPECT_FALSE(Bitmap::loadPng("/nonexistent.png", std::nullopt));
}

} // namespace
} // namespace Taviro::Test
