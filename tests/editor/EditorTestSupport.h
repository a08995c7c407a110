#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "source/ParameterIds.h"
#include "source/editor/EditorFrame.h"
#include "source/editor/EditorResources.h"

namespace Taviro::Test {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

// The host's side of edits: every begin, perform and end the editor sends.
class RecordingHandler : public FObject, public IComponentHandler
{
public:
    struct Call
    {
        char kind; // 'b', 'p' or 'e'
        ParamID id;
        ParamValue value;
    };
    std::vector<Call> calls;

    tresult PLUGIN_API beginEdit(ParamID id) override { return record('b', id, 0); }
    tresult PLUGIN_API performEdit(ParamID id, ParamValue v) override { return record('p', id, v); }
    tresult PLUGIN_API endEdit(ParamID id) override { return record('e', id, 0); }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }

    OBJ_METHODS(RecordingHandler, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IComponentHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    tresult record(char kind, ParamID id, ParamValue v)
    {
        calls.push_back({kind, id, v});
        return kResultOk;
    }
};

// The plug-in's controller, initialised, with a recording handler attached.
struct ControllerUnderTest
{
    ControllerUnderTest();
    ~ControllerUnderTest();
    HostApplication hostContext; // not reference counted: lives as long as the controller
    IPtr<EditController> controller;
    IPtr<RecordingHandler> handler;
};

// Resources of the built bundle.
std::unique_ptr<Editor::EditorResources> bundleResources();

// A frame of the "Editor" template on a clock the test moves by hand.
struct FrameUnderTest
{
    FrameUnderTest();
    void click(Editor::Point p);
    void drag(Editor::Point from, Editor::Point to);
    void type(const std::string& text);
    // Draws the frame into an image (the same drawing as the window's).
    cairo_surface_t* render();
    void writePng(const std::string& name);

    ControllerUnderTest host;
    std::unique_ptr<Editor::EditorResources> resources;
    double now = 1000;
    std::unique_ptr<Editor::EditorFrame> frame;
    cairo_surface_t* image = nullptr;
    ~FrameUnderTest();
};

// Pixel access to ARGB32 images.
uint32_t pixel(cairo_surface_t* image, int x, int y);
// True when the rectangle of `image` at (x, y) equals the rectangle of `source` at (sx, sy), up to a
// small difference per channel.
bool sameArea(cairo_surface_t* image, int x, int y, cairo_surface_t* source, int sx, int sy, int w, int h,
              int tolerance = 2);
int differingPixels(cairo_surface_t* a, cairo_surface_t* b, int x, int y, int w, int h);
cairo_surface_t* loadBundlePng(const std::string& name);

// The window position of a view of the channel panel: panel at (180, 10) in the window.
inline Editor::Point panelPoint(double x, double y) { return {180 + x, 10 + y}; }
// A view inside oscillator column k (1..3): group at (15, 55), columns at x = 10, 245, 498, y = 30.
inline Editor::Point columnPoint(int k, double x, double y)
{
    const double columnX[] = {10, 245, 498};
    return panelPoint(15 + columnX[k - 1] + x, 55 + 30 + y);
}

} // namespace Taviro::Test
