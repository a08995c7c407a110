#include "EditorTestSupport.h"

#include <cstdlib>
#include <filesystem>

namespace Taviro::Test {

namespace {

// Records where it pops up into its handler's last request.
class RecordingMenu : public FObject, public IContextMenu
{
public:
    RecordingMenu(MenuRecordingHandler& handler, size_t request) : handler(handler), request(request) {}
    int32 PLUGIN_API getItemCount() override { return 0; }
    tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) override { return kResultFalse; }
    tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
    tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
    tresult PLUGIN_API popup(UCoord x, UCoord y) override
    {
        handler.requests.at(request).poppedAt = {x, y};
        return kResultOk;
    }

    OBJ_METHODS(RecordingMenu, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(IContextMenu)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    MenuRecordingHandler& handler;
    size_t request;
};

} // namespace

IContextMenu* PLUGIN_API MenuRecordingHandler::createContextMenu(IPlugView* view, const ParamID* id)
{
    requests.push_back({view, id ? *id : ~0u, std::nullopt});
    return new RecordingMenu(*this, requests.size() - 1);
}

double knobZoomFactor(const Editor::UIDescription& document, const std::string& panel,
                      const std::string& controlTag)
{
    const std::function<const Editor::ViewNode*(const Editor::ViewNode&)> find =
        [&](const Editor::ViewNode& node) -> const Editor::ViewNode* {
        if (node.className == "CAnimKnob" && node.text("control-tag") == controlTag)
            return &node;
        for (const auto& child : node.children)
            if (const auto* found = find(child))
                return found;
        return nullptr;
    };
    const auto* root = document.findTemplate(panel);
    const auto* knob = root ? find(*root) : nullptr;
    return knob ? knob->number("zoom-factor", 0) : 0;
}

Image drawImage(int width, int height, const std::function<void(cairo_t*)>& paint)
{
    Image image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), cairo_surface_destroy);
    cairo_t* cr = cairo_create(image.get());
    paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image.get());
    return image;
}

Image loadBundlePng(const std::string& name)
{
    const std::string path = TAVIRO_BUNDLE_DIR "/Contents/Resources/" + name;
    return Image(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy);
}

void writePng(const Image& image, const std::string& name)
{
    const auto folder = std::filesystem::path(TAVIRO_BUNDLE_DIR).parent_path() / "editor-renders";
    std::filesystem::create_directories(folder);
    cairo_surface_write_to_png(image.get(), (folder / name).c_str());
}

uint32_t pixel(const Image& image, int x, int y)
{
    const auto* row = cairo_image_surface_get_data(image.get()) + y * cairo_image_surface_get_stride(image.get());
    return reinterpret_cast<const uint32_t*>(row)[x];
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
    hostView = owned(controller->createView(ViewType::kEditor));
    if (resources)
        frame = Editor::EditorFrame::create(*resources, *controller, "Editor", [this] { return now; });
    if (frame)
    {
        frame->setHostView(hostView, 1);
        frame->setKnobModeSource([c = controller.get()] { return c->knobMode(); });
    }
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

void FrameUnderTest::click(Point p, Editor::Modifiers modifiers)
{
    frame->mouseDown({p, Editor::MouseButton::left, modifiers});
    frame->mouseUp({p, Editor::MouseButton::left, modifiers});
    frame->idle();
}

void FrameUnderTest::doubleClick(Point p)
{
    click(p);
    frame->mouseDown({p, Editor::MouseButton::left, {}, 2});
    frame->mouseUp({p});
    frame->idle();
}

void FrameUnderTest::drag(Point from, Point to, Editor::Modifiers modifiers)
{
    const Editor::MouseButton left = Editor::MouseButton::left;
    frame->mouseDown({from, left, modifiers});
    frame->mouseMoved({{(from.x + to.x) / 2, (from.y + to.y) / 2}, left, modifiers});
    frame->mouseMoved({to, left, modifiers});
    frame->mouseUp({to, left, modifiers});
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
    return drawImage(static_cast<int>(size.width * scale), static_cast<int>(size.height * scale), [&](cairo_t* cr) {
        cairo_scale(cr, scale, scale);
        frame->draw(cr);
    });
}

} // namespace Taviro::Test
