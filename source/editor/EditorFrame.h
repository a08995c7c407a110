#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "source/editor/EditorResources.h"
#include "source/editor/ParameterAccess.h"
#include "source/editor/PopupList.h"
#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// The editor's window content, independent of any window system: the views of one template, the
// open pop-up list, the about screen, the tooltip, keyboard focus and mouse capture. The X11 view
// and the offscreen tests drive it with the same calls and draw it with the same code.
class EditorFrame : public EditorContext
{
public:
    using Clock = std::function<double()>; // milliseconds

    // Nothing when the document has no such template.
    static std::unique_ptr<EditorFrame> create(EditorResources& resources, EditController& controller,
                                               const std::string& templateName, Clock clock = {});
    ~EditorFrame() override;

    Rect size() const { return area; }
    View& root() const { return *rootView; }
    void draw(DrawContext& context);

    void mouseDown(Point p);
    void mouseMoved(Point p);
    void mouseUp(Point p);
    // Wheel notches at a point (positive away from the user); true when a view used them.
    bool wheel(Point p, double notches);
    bool keyDown(const KeyEvent& event);
    // Catches up with parameter changes from the host and advances animations.
    void idle();
    bool needsRedraw() const { return dirty; }
    void redrawDone() { dirty = false; }

    bool isPopupOpen() const { return popup.has_value(); }
    const PopupList* openPopupList() const { return popup ? &*popup : nullptr; }
    // 0 when the about screen is closed, 1 when fully open.
    double splashOpacity() const;

    // EditorContext
    ParameterAccess& parameters() override { return access; }
    double nowMilliseconds() const override { return clock(); }
    void setFocus(View* view) override;
    View* focus() const override { return focused; }
    void openPopup(const Rect& anchor, std::vector<std::string> entries, int selected,
                   std::function<void(int)> chosen) override;
    void openSplash(const Bitmap& bitmap, const Rect& where, double milliseconds) override;
    std::unique_ptr<View> buildTemplate(const std::string& name) override;
    void willRemove(View& subtree) override;
    void invalidate() override { dirty = true; }

private:
    struct Splash
    {
        const Bitmap* bitmap;
        Rect where;
        double duration;
        double openedAt;
        std::optional<double> closingAt;
    };

    EditorFrame(EditorResources& resources, EditController& controller, Clock clock);
    void drawTooltip(DrawContext& context);

    EditorResources& resources;
    ParameterAccess access;
    Clock clock;
    Rect area;
    std::unique_ptr<View> rootView;
    View* focused = nullptr;
    View* captured = nullptr;
    Point lastMouse;
    std::optional<PopupList> popup;
    std::optional<Splash> splash;
    View* hovered = nullptr;
    double hoveredSince = 0;
    bool tooltipShown = false;
    bool dirty = true;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
