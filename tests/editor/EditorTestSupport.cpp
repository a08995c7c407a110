#include "EditorTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "source/controller/ControllerWithUI.h"

namespace Taviro::Test {

ControllerUnderTest::ControllerUnderTest()
    : controller(owned(new ControllerWithUI)), handler(owned(new RecordingHandler))
{
    controller->initialize(&hostContext);
    controller->setComponentHandler(handler);
}

ControllerUnderTest::~ControllerUnderTest()
{
    controller->setComponentHandler(nullptr);
    controller->terminate();
}

std::unique_ptr<Editor::EditorResources> bundleResources()
{
    return Editor::EditorResources::load(TAVIRO_BUNDLE_DIR "/Contents/Resources");
}

FrameUnderTest::FrameUnderTest() : resources(bundleResources())
{
    if (resources)
        frame = Editor::EditorFrame::create(*resources, *host.controller, "Editor", [this] { return now; });
}

FrameUnderTest::~FrameUnderTest()
{
    frame.reset();
    if (image)
        cairo_surface_destroy(image);
}

void FrameUnderTest::click(Editor::Point p)
{
    frame->mouseDown(p);
    frame->mouseUp(p);
    frame->idle();
}

void FrameUnderTest::drag(Editor::Point from, Editor::Point to)
{
    frame->mouseDown(from);
    for (int step = 1; step <= 5; ++step)
        frame->mouseMoved({from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5});
    frame->mouseUp(to);
    frame->idle();
}

void FrameUnderTest::type(const std::string& text)
{
    for (char c : text)
        frame->keyDown({Editor::Key::character, static_cast<char32_t>(c)});
}

cairo_surface_t* FrameUnderTest::render()
{
    if (image)
        cairo_surface_destroy(image);
    const auto size = frame->size();
    image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.width),
                                       static_cast<int>(size.height));
    cairo_t* cr = cairo_create(image);
    frame->draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image);
    return image;
}

void FrameUnderTest::writePng(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(TAVIRO_BUNDLE_DIR).parent_path() / "editor-renders";
    std::filesystem::create_directories(folder);
    cairo_surface_write_to_png(render(), (folder / name).c_str());
}

uint32_t pixel(cairo_surface_t* image, int x, int y)
{
    const auto* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

namespace {
bool close(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}
} // namespace

bool sameArea(cairo_surface_t* image, int x, int y, cairo_surface_t* source, int sx, int sy, int w, int h,
              int tolerance)
{
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (!close(pixel(image, x + i, y + j), pixel(source, sx + i, sy + j), tolerance))
                return false;
    return true;
}

int differingPixels(cairo_surface_t* a, cairo_surface_t* b, int x, int y, int w, int h)
{
    int count = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            count += pixel(a, x + i, y + j) != pixel(b, x + i, y + j);
    return count;
}

cairo_surface_t* loadBundlePng(const std::string& name)
{
    return cairo_image_surface_create_from_png((std::string(TAVIRO_BUNDLE_DIR "/Contents/Resources/") + name).c_str());
}

} // namespace Taviro::Test
