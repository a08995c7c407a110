// Draws the editor's seven bitmaps with cairo and writes them as PNG files:
//   taviro-bitmaps <output folder> <version>
// One look throughout: dark panels, a light-grey frame line, and one accent colour per knob family
// (blue for level and pitch, amber for the filter, green for the envelope).
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kKnobSize = 42;
constexpr int kKnobFrames = 28;
constexpr double kKnobStartDegrees = 135.0;
constexpr double kKnobRangeDegrees = 270.0;
const char* const kFontFamily = "DejaVu Sans";

struct Colour
{
    double r, g, b;
};

constexpr Colour kBlueAccent{0.29, 0.64, 1.0};
constexpr Colour kAmberAccent{1.0, 0.65, 0.25};
constexpr Colour kGreenAccent{0.35, 0.82, 0.48};

double radians(double degrees) { return degrees * kPi / 180.0; }

void setColour(cairo_t* cr, Colour c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, radians(-90), 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, radians(90));
    cairo_arc(cr, x + r, y + h - r, r, radians(90), radians(180));
    cairo_arc(cr, x + r, y + r, r, radians(180), radians(270));
    cairo_close_path(cr);
}

void text(cairo_t* cr, const std::string& s, double size, bool bold, double x, double y, bool centred)
{
    cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, centred ? x - e.width / 2 - e.x_bearing : x, y);
    cairo_show_text(cr, s.c_str());
}

// Three overlaid waves in the accent colours: the emblem of the logo and the about screen.
void waveEmblem(cairo_t* cr, double cx, double cy, double width, double height)
{
    const Colour colours[] = {kBlueAccent, kAmberAccent, kGreenAccent};
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 3; ++k)
    {
        for (int i = 0; i <= 100; ++i)
        {
            const double t = i / 100.0;
            const double envelope = std::sin(kPi * t);
            const double y = cy - height / 2 * envelope * std::sin(2 * kPi * (1.5 + k * 0.75) * t + k);
            const double x = cx - width / 2 + width * t;
            if (i == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        setColour(cr, colours[k], 0.9);
        cairo_stroke(cr);
    }
}

void darkPanel(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(fill, 0, 0.16, 0.16, 0.17);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.06, 0.06, 0.07);
    roundedRectangle(cr, x, y, w, h, radius);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_source_rgb(cr, 0.42, 0.42, 0.44);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// One knob position: dark body, a track over the 270 degrees of travel, the travelled part in the
// accent colour and a white pointer.
void knobFrame(cairo_t* cr, double top, double value, Colour accent)
{
    const double cx = kKnobSize / 2.0, cy = top + kKnobSize / 2.0;
    const double start = radians(kKnobStartDegrees);
    const double end = radians(kKnobStartDegrees + kKnobRangeDegrees * value);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3.5);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.27);
    cairo_arc(cr, cx, cy, 17.5, start, radians(kKnobStartDegrees + kKnobRangeDegrees));
    cairo_stroke(cr);
    if (value > 0)
    {
        setColour(cr, accent);
        cairo_arc(cr, cx, cy, 17.5, start, end);
        cairo_stroke(cr);
    }

    cairo_pattern_t* body = cairo_pattern_create_radial(cx - 4, cy - 5, 1, cx, cy, 13);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.46, 0.46, 0.48);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.13, 0.13, 0.14);
    cairo_arc(cr, cx, cy, 13, 0, 2 * kPi);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    cairo_set_line_width(cr, 2.5);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, cx + 4 * std::cos(end), cy + 4 * std::sin(end));
    cairo_line_to(cr, cx + 11.5 * std::cos(end), cy + 11.5 * std::sin(end));
    cairo_stroke(cr);
}

void knobStrip(cairo_t* cr, int, int, Colour accent)
{
    for (int frame = 0; frame < kKnobFrames; ++frame)
        knobFrame(cr, frame * kKnobSize, frame / double(kKnobFrames - 1), accent);
}

// Corner arcs and straight edges in the outer 25 pixels, nothing in the middle, so the frame
// stretches to any size when its edges and centre are tiled.
void groupFrame(cairo_t* cr, int w, int h, Colour)
{
    roundedRectangle(cr, 3.5, 3.5, w - 7, h - 7, 10);
    cairo_set_source_rgb(cr, 0.42, 0.42, 0.44);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// Slightly rounded outer corners (which also makes the file carry its alpha channel).
void clipToWindowShape(cairo_t* cr, int w, int h)
{
    roundedRectangle(cr, 0, 0, w, h, 3);
    cairo_clip(cr);
}

// Fills the whole bitmap with a two-colour gradient and releases the pattern.
void fillWithGradient(cairo_t* cr, cairo_pattern_t* gradient, Colour from, Colour to)
{
    cairo_pattern_add_color_stop_rgb(gradient, 0, from.r, from.g, from.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, to.r, to.g, to.b);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
}

void background(cairo_t* cr, int w, int h, Colour)
{
    clipToWindowShape(cr, w, h);
    fillWithGradient(cr, cairo_pattern_create_linear(0, 0, 0, h), {0.72, 0.72, 0.73}, {0.58, 0.58, 0.59});
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.36);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
    text(cr, "TAVIRO", 30, true, 90, 48, true);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.27);
    text(cr, "multi-timbral synthesizer", 10, false, 90, 64, true);
    text(cr, "Channel shown", 10, true, 30, 87, false);
    text(cr, "Orsolen", 10, false, 90, 549, true);
}

void taviroLogo(cairo_t* cr, int w, int h, Colour)
{
    darkPanel(cr, 6.75, 0.75, w - 13.5, h - 1.5, 10);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    text(cr, "Taviro", 30, true, w / 2.0, 70, true);
    cairo_set_source_rgb(cr, 0.7, 0.7, 0.72);
    text(cr, "PlugIn", 14, false, w / 2.0, 92, true);
    waveEmblem(cr, w / 2.0, 185, 120, 80);
    cairo_set_source_rgb(cr, 0.7, 0.7, 0.72);
    text(cr, "16 parts", 11, false, w / 2.0, 272, true);
    text(cr, "128 voices", 11, false, w / 2.0, 288, true);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.52);
    text(cr, "click for about", 9, false, w / 2.0, h - 16, true);
}

std::string gVersion;

void aboutScreen(cairo_t* cr, int w, int h, Colour)
{
    clipToWindowShape(cr, w, h);
    fillWithGradient(cr, cairo_pattern_create_radial(w / 2.0, h / 2.0, 50, w / 2.0, h / 2.0, w * 0.7),
                     {0.17, 0.17, 0.19}, {0.03, 0.03, 0.04});

    waveEmblem(cr, w / 2.0, 140, 300, 110);
    cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
    text(cr, "Taviro PlugIn", 52, true, w / 2.0, 275, true);
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.78);
    text(cr, "16-part multi-timbral synthesizer and sample player", 16, false, w / 2.0, 310, true);
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.92);
    text(cr, "Version " + gVersion, 20, false, w / 2.0, 370, true);
    text(cr, "Orsolen", 24, true, w / 2.0, 420, true);
    cairo_set_source_rgb(cr, 0.55, 0.55, 0.58);
    text(cr, "VST is a trademark of Steinberg Media Technologies GmbH", 11, false, w / 2.0, 500, true);
    text(cr, "Click to close", 11, false, w / 2.0, 530, true);
}

using Painter = void (*)(cairo_t*, int, int, Colour);

bool writePng(const std::string& path, int w, int h, double scale, Painter paint, Colour accent)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w * scale),
                                                          static_cast<int>(h * scale));
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    paint(cr, w, h, accent);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok)
        std::fprintf(stderr, "taviro-bitmaps: cannot write %s\n", path.c_str());
    return ok;
}

// "<name>.png" in the size the editor names, and "<name>@2x.png" with twice the pixels for
// high-density screens.
bool writeBitmap(const std::string& folder, const char* name, int w, int h, Painter paint, Colour accent)
{
    const std::string stem = folder + "/" + name;
    return writePng(stem + ".png", w, h, 1, paint, accent) && writePng(stem + "@2x.png", w, h, 2, paint, accent);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: taviro-bitmaps <output folder> <version>\n");
        return 2;
    }
    const std::string folder = argv[1];
    gVersion = argv[2];
    const int stripHeight = kKnobSize * kKnobFrames;
    const bool ok = writeBitmap(folder, "background", 946, 565, background, {}) &&
                    writeBitmap(folder, "groupframe", 110, 110, groupFrame, {}) &&
                    writeBitmap(folder, "knob", kKnobSize, stripHeight, knobStrip, kBlueAccent) &&
                    writeBitmap(folder, "knob2", kKnobSize, stripHeight, knobStrip, kAmberAccent) &&
                    writeBitmap(folder, "knob3", kKnobSize, stripHeight, knobStrip, kGreenAccent) &&
                    writeBitmap(folder, "tavirologo", 173, 365, taviroLogo, {}) &&
                    writeBitmap(folder, "about", 946, 565, aboutScreen, {});
    return ok ? 0 : 1;
}
