#include "EditorTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "source/editor/BitmapImage.h"

namespace Taviro::Test {

namespace {

// Records where it pops up into its handler's request.
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

double knobZoomFactor(const Editor::UIDescription& document, const std::string& panel, const std::string& controlTag)
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

std::string bundlePath(const std::string& resourceName)
{
    return TAVIRO_EDITOR_RESOURCES "/" + resourceName;
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

bool nearColour(uint32_t p, uint32_t q, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

int differingPixels(const Image& a, int x, int y, const Image& b, int bx, int by, int w, int h, int tolerance)
{
    int count = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            count += !nearColour(a.at(x + i, y + j), b.at(bx + i, by + j), tolerance);
    return count;
}

FrameUnderTest::FrameUnderTest()
    : controller(owned(new ControllerWithUI)), handler(owned(new RecordingHandler)),
      resources(Editor::EditorResources::load(TAVIRO_EDITOR_RESOURCES))
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
    return drawOffscreen(static_cast<int>(size.width * scale), static_cast<int>(size.height * scale),
                         [&](Editor::DrawContext& context) {
                             context.scale(scale);
                             frame->draw(context);
                         });
}

} // namespace Taviro::Test
