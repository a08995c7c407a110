#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "source/ParameterIds.h"
#include "source/controller/ControllerWithUI.h"
#include "source/editor/EditorFrame.h"
#include "source/editor/EditorResources.h"
#include "source/editor/OffscreenImage.h"
#include "source/editor/UIDescription.h"

namespace Taviro::Test {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Editor::Point;

// The host's side of edits: every begin ('b'), perform ('p') and end ('e') the editor sends.
class RecordingHandler : public FObject, public IComponentHandler
{
public:
    struct Call
    {
        char kind;
        ParamID id;
        ParamValue value;
    };
    std::vector<Call> calls;

    tresult PLUGIN_API beginEdit(ParamID id) override { return record({'b', id, 0}); }
    tresult PLUGIN_API performEdit(ParamID id, ParamValue v) override { return record({'p', id, v}); }
    tresult PLUGIN_API endEdit(ParamID id) override { return record({'e', id, 0}); }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
    tresult record(const Call& call)
    {
        calls.push_back(call);
        return kResultOk;
    }

    OBJ_METHODS(RecordingHandler, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IComponentHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)
};

// A host that offers context menus: records every menu the editor asks for and where it pops it up.
class MenuRecordingHandler : public RecordingHandler, public IComponentHandler3
{
public:
    struct Request
    {
        IPlugView* view;
        ParamID id;
        std::optional<std::pair<UCoord, UCoord>> poppedAt;
    };
    std::vector<Request> requests;

    IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const ParamID* id) override;

    OBJ_METHODS(MenuRecordingHandler, RecordingHandler)
    DEFINE_INTERFACES
        DEF_INTERFACE(IComponentHandler3)
    END_DEFINE_INTERFACES(RecordingHandler)
    REFCOUNT_METHODS(RecordingHandler)
};

// Has the menu function, but does not offer the interface: a host without context menus.
class HandlerWithoutMenus : public MenuRecordingHandler
{
public:
    tresult PLUGIN_API queryInterface(const TUID iid, void** object) override
    {
        if (FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid))
        {
            *object = nullptr;
            return kNoInterface;
        }
        return MenuRecordingHandler::queryInterface(iid, object);
    }
};

// Premultiplied 0xAARRGGBB pixels, drawn by the editor's drawing code.
using Image = Editor::OffscreenImage;
using Editor::drawOffscreen;
std::string bundlePath(const std::string& resourceName);
// The PNG's own pixels (drawn over transparent black).
Image loadBundlePng(const std::string& name);
void saveRender(const Image& image, const std::string& name); // into editor-renders/ beside the bundle
// Whether every channel of pixel `p` is within `tolerance` of that of `q`.
bool nearColour(uint32_t p, uint32_t q, int tolerance);
// Pixels of the w × h area at (x, y) of `a` with a channel off that at (bx, by) of `b` by > `tolerance`.
int differingPixels(const Image& a, int x, int y, const Image& b, int bx, int by, int w, int h, int tolerance = 0);
inline int differingPixels(const Image& a, const Image& b, int x, int y, int w, int h)
{
    return differingPixels(a, x, y, b, x, y, w, h);
}

// The "Editor" template's frame for the plug-in's controller, on a clock the test moves by hand.
struct FrameUnderTest
{
    FrameUnderTest();
    ~FrameUnderTest();
    // A change from the host, which the frame catches up with.
    void set(ParamID id, ParamValue value);
    ParamValue value(ParamID id) const { return controller->getParamNormalized(id); }
    void selectChannel(int midiChannel) { set(kEditorChannelSelectorId, (midiChannel - 1) / 15.0); }
    void click(Point p, Editor::Modifiers modifiers = {});
    void doubleClick(Point p);
    // Press, a move half way, a move to the end, release.
    void drag(Point from, Point to, Editor::Modifiers modifiers = {});
    void rightClick(Point p) { frame->mouseDown({p, Editor::MouseButton::right}); }
    void hover(Point p) { frame->mouseMoved({p}); }
    // The clock moves on by `milliseconds`; the frame's timer runs.
    void wait(double milliseconds)
    {
        now += milliseconds;
        frame->idle();
    }
    // Clicks into a text edit, types, and ends with `end`.
    void typeInto(Point field, const std::string& text, Editor::Key end = Editor::Key::enter);
    // The window's drawing code into an image, at `scale` image pixels per view pixel.
    Image render(double scale = 1) const;

    HostApplication hostContext; // not reference counted: lives as long as the controller
    IPtr<ControllerWithUI> controller;
    IPtr<RecordingHandler> handler;
    IPtr<IPlugView> hostView; // what the frame names to the host for context menus
    std::unique_ptr<Editor::EditorResources> resources;
    double now = 1000;
    std::unique_ptr<Editor::EditorFrame> frame;
};

// The zoom factor the document gives the knob of template `panel` bound to `controlTag` (0 when it
// has none).
double knobZoomFactor(const Editor::UIDescription& document, const std::string& panel, const std::string& controlTag);

// A point of the channel panel, which lies at (180, 10) in the window.
inline Point panelPoint(double x, double y) { return {180 + x, 10 + y}; }
// A point of oscillator column k (1..3): group at (15, 55), columns at x = 10, 245, 498, y = 30.
inline Point columnPoint(int k, double x, double y)
{
    const double columnX[] = {10, 245, 498};
    return panelPoint(15 + columnX[k - 1] + x, 55 + 30 + y);
}

} // namespace Taviro::Test
