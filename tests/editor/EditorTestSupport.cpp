#include "EditorTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "source/controller/ControllerWithUI.h"
#include "source/editor/BitmapImage.h"

namespace Taviro::Test {

std::string bundlePath(const std::string& resourceName)
{
    return TAVIRO_BUNDLE_DIR "/Contents/Resources/" + resourceName;
}

Image loadBundlePng(const std::string& name)
{
    const auto png = Editor::decodePng(bundlePath(name));
    if (!png)
        return {};
    const Editor::Rect all{0, 0, static_cast<double>(png->width()), static_cast<double>(png->height())};
    return drawOffscreen(png->width(), png->height(),
                         [&](Editor::DrawContext& context) { context.drawImage(*png, 1, all, all, 1); });
}

void saveRender(const Image& image, const std::string& name)
{
    const auto folder = std::filesystem::path(TAVIRO_BUNDLE_DIR).parent_path() / "editor-renders";
    std::filesystem::create_directories(folder);
    Editor::writePng(image, (folder / name).string());
}

uint32_t pixel(const Image& image, int x, int y)
{
    return image.at(x, y);
}

int differingPixels(const Image& a, int x, int y, const Image& b, int bx, int by, int w, int h, int tolerance)
{
    int count = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
        {
            const uint32_t pa = pixel(a, x + i, y + j), pb = pixel(b, bx + i, by + j);
            bool differs = false;
            for (int shift = 0; shift < 32; shift += 8)
                differs |= std::abs(int((pa >> shift) & 0xFF) - int((pb >> shift) & 0xFF)) > tolerance;
            count += differs;
        }
    return count;
}

FrameUnderTest::FrameUnderTest()
    : controller(owned(new ControllerWithUI)), handler(owned(new RecordingHandler)),
      resources(Editor::EditorResources::load(TAVIRO_BUNDLE_DIR "/Contents/Resources"))
{
    controller->initialize(&hostContext);
    controller->setComponentHandler(handler);
    if (resources)
        frame = Editor::EditorFrame::create(*resources, *controller, "Editor", [this] { return now; });
}

FrameUnderTest::~FrameUnderTest()
{
    frame.reset();
    controller->setComponentHandler(nullptr);
    controller->terminate();
}

void FrameUnderTest::set(ParamID id, ParamValue value)
{
    controller->setParamNormalized(id, value);
    frame->idle();
}

void FrameUnderTest::click(Point p)
{
    frame->mouseDown(p);
    frame->mouseUp(p);
    frame->idle();
}

void FrameUnderTest::drag(Point from, Point to)
{
    frame->mouseDown(from);
    frame->mouseMoved({(from.x + to.x) / 2, (from.y + to.y) / 2});
    frame->mouseMoved(to);
    frame->mouseUp(to);
    frame->idle();
}

void FrameUnderTest::typeInto(Point field, const std::string& text, Editor::Key end)
{
    click(field);
    for (char c : text)
        frame->keyDown({Editor::Key::character, static_cast<char32_t>(c)});
    frame->keyDown({end, 0});
}

Image FrameUnderTest::render(double scale) const
{
    const auto size = frame->size();
    return drawOffscreen(static_cast<int>(size.width * scale), static_cast<int>(size.height * scale),
                         [&](Editor::DrawContext& context) {
                             context.scale(scale);
                             frame->draw(context);
                         });
}

} // namespace Taviro::Test
