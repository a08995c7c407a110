#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "source/editor/EditBurst.h"
#include "source/editor/EditorResources.h"
#include "source/editor/ParameterAccess.h"
#include "source/editor/PopupList.h"
#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// The editor's window content, independent of any window system: the views of one template, the
// open pop-up list, the about screen, the tooltip, keyboard focus and mouse capture, and every habit
// of the mouse and keys (defaults on Ctrl-click and double-click, the host's context menu on a
// right-click, wheel runs as one gesture, Tab between text edits). A platform window only turns its
// events into these calls; the offscreen tests drive it with the same calls and draw it with the
// same code.
class EditorFrame : public EditorContext
{
public:
    using Clock = std::function<double()>; // milliseconds
    using KnobModeSource = std::function<KnobMode()>;

    // Nothing when the document has no such template.
    static std::unique_ptr<EditorFrame> create(EditorResources& resources, EditController& controller,
                                               const std::string& templateName, Clock clock = {});
    ~EditorFrame() override;

    Rect size() const { return area; }
    View& root() const { return *rootView; }
    void draw(DrawContext& context);

    void mouseDown(const MouseEvent& event);
    void mouseMoved(const MouseEvent& event);
    void mouseUp(const MouseEvent& event);
    // The pointer has left the window.
    void mouseLeft();
    // Another window took the mouse during a press: a drag ends where the pointer was last seen.
    void mouseCaptureLost();
    // Wheel notches at a point (positive away from the user); true when a view used them.
    bool wheel(Point p, double notches, const Modifiers& modifiers = {});
    // True when the key was used; otherwise it belongs to the host.
    bool keyDown(const KeyEvent& event);
    // While a text is typed or a list is open, the window should take the keys from the host.
    bool wantsKeyboard() const { return focused || popup; }
    // Another window took the keys: the text typed is applied, an open list closes without a choice.
    void keyboardLost();
    // Catches up with parameter changes from the host and advances animations.
    void idle();
    bool needsRedraw() const { return dirty; }
    void redrawDone() { dirty = false; }

    bool isPopupOpen() const { return popup.has_value(); }
    const PopupList* openPopupList() const { return popup ? &*popup : nullptr; }
    // 0 when the about screen is closed, 1 when fully open.
    double splashOpacity() const;
    // The view whose tooltip is shown, or nullptr.
    const View* tooltipView() const { return tooltipShown ? hovered : nullptr; }

    // The plug-in view the host knows this window by, for its context menus, and the factor from
    // frame points to that view's pixels.
    void setHostView(IPlugView* view, double scale);
    // Where the host's knob mode is read; linear when none is given.
    void setKnobModeSource(KnobModeSource source) { knobModeSource = std::move(source); }

    // EditorContext
    ParameterAccess& parameters() override { return access; }
    double nowMilliseconds() const override { return clock(); }
    KnobMode knobMode() const override { return knobModeSource ? knobModeSource() : kLinearMode; }
    void burstEdit(ParamID id, ParamValue value) override { burst.edit(id, value, clock()); }
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
    void hideTooltip();
    // The captured view's drag ends with this release.
    void endCapture(const MouseEvent& release);
    // A drag whose release the window will not see ends where the pointer was last seen, so that the
    // host does not wait for the end of its gesture.
    void endCapture() { endCapture(MouseEvent{lastMouse}); }
    void hoverAfresh();
    bool popupKey(const KeyEvent& event);
    // Closes the list, then chooses its row (none for −1).
    void choosePopupRow(int row);
    void moveFocusByTab(int direction);
    void openHostContextMenu(View& view, Point p);

    EditorResources& resources;
    ParameterAccess access;
    Clock clock;
    Rect area;
    std::unique_ptr<View> rootView;
    std::vector<std::string> templatesInBuild; // outermost first
    View* focused = nullptr;
    View* captured = nullptr;
    Point lastMouse;
    EditBurst burst{access};
    KnobModeSource knobModeSource;
    IPlugView* hostView = nullptr;
    double hostScale = 1;
    View* pressed = nullptr; // the view a press is being delivered to
    std::optional<PopupList> popup;
    View* popupOwner = nullptr;
    bool popupHeld = false; // the press that opened the list is still down
    bool popupDragged = false;
    Point popupPressPoint;
    bool pointerInside = false;
    std::optional<Splash> splash;
    View* hovered = nullptr;
    double hoveredSince = 0;
    bool tooltipShown = false;
    Point tooltipAt;
    bool dirty = true;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
