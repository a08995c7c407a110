// The UI description parser and the view builder: bytes -> document -> the "Editor" view tree with
// the real bitmaps, drawn offscreen, then rebuilt for another channel as the channel selector moves.
#include "FuzzCheck.h"
#include "source/ParameterIds.h"
#include "source/controller/ControllerWithUI.h"
#include "source/editor/EditorFrame.h"
#include "source/editor/EditorResources.h"
#include "source/editor/OffscreenImage.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cairo.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

// Large enough for the editor's window, small enough that a huge frame stays cheap to draw.
constexpr double kLargestImageSide = 1024;

EditController& controller()
{
    static HostApplication host;
    static ControllerWithUI* instance = [] {
        auto* c = new ControllerWithUI;
        c->initialize(&host);
        return c;
    }();
    return *instance;
}

void draw(Editor::EditorFrame& frame)
{
    const auto side = [](double length) {
        return static_cast<int>(std::clamp(length, 1.0, kLargestImageSide));
    };
    Editor::drawOffscreen(side(frame.size().width), side(frame.size().height),
                          [&](Editor::DrawContext& context) { frame.draw(context); });
}

} // namespace

// Decoding the bitmaps took most of each input's time. The files never change and the editor only
// reads its bitmaps, so each file is decoded once and every later load shares that image: this
// definition stands in for cairo's own, which it calls.
extern "C" cairo_surface_t* cairo_image_surface_create_from_png(const char* filename)
{
    using Load = cairo_surface_t* (*)(const char*);
    static const auto load = reinterpret_cast<Load>(dlsym(RTLD_NEXT, "cairo_image_surface_create_from_png"));
    static auto& decoded = *new std::map<std::string, cairo_surface_t*>; // kept to the end, never freed
    auto [entry, added] = decoded.try_emplace(filename, nullptr);
    if (added)
        entry->second = load(filename);
    return cairo_surface_reference(entry->second);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto document = Editor::UIDescription::parse({reinterpret_cast<const char*>(data), size});
    if (!document)
        return 0;
    auto resources = Editor::EditorResources::create(TAVIRO_RESOURCES_DIR, std::move(*document));
    EditController& c = controller();
    c.setParamNormalized(kEditorChannelSelectorId, 0);
    auto frame = Editor::EditorFrame::create(*resources, c, "Editor", [] { return 0.0; });
    if (!frame)
        return 0;
    draw(*frame);
    // The drum channel's panel, built in place of the first.
    c.setParamNormalized(kEditorChannelSelectorId, 9 / 15.0);
    frame->idle();
    draw(*frame);
    return 0;
}
