#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/vsttypes.h"
#include "source/editor/DrawContext.h"
#include "source/editor/InputEvents.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class Bitmap;
class ParameterAccess;
class View;

// What views ask of the window they live in.
class EditorContext
{
public:
    virtual ~EditorContext() = default;
    virtual ParameterAccess& parameters() = 0;
    virtual double nowMilliseconds() const = 0;
    // How knobs follow the mouse (circular, relative circular or linear), as the host asked.
    virtual KnobMode knobMode() const = 0;
    // One edit of a quick run (wheel notches, a held arrow key) that the host sees as one gesture.
    virtual void burstEdit(ParamID id, ParamValue value) = 0;
    // The view that receives typed keys; nullptr takes the focus away (its owner then commits).
    virtual void setFocus(View* view) = 0;
    virtual View* focus() const = 0;
    // Opens the pop-up list of an option menu below `anchor` (window coordinates); `chosen` gets the
    // index the user picks.
    virtual void openPopup(const Rect& anchor, std::vector<std::string> entries, int selected,
                           std::function<void(int)> chosen) = 0;
    virtual void openSplash(const Bitmap& bitmap, const Rect& where, double milliseconds) = 0;
    // Builds the views of a template of the document; nullptr when there is no such template.
    virtual std::unique_ptr<View> buildTemplate(const std::string& name) = 0;
    // Called before a subtree of views goes away, so that focus and mouse capture do not outlive it.
    virtual void willRemove(View& subtree) = 0;
    virtual void invalidate() = 0;
};

// A rectangle of the window that draws itself and may answer the mouse and keys. Coordinates passed
// to a view are relative to its own origin.
class View
{
public:
    explicit View(const Rect& frame) : frame(frame) {}
    virtual ~View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Rect frame; // in the parent's coordinates
    std::string tooltip;

    Rect bounds() const { return {0, 0, frame.width, frame.height}; }
    View* parent() const { return parentView; }
    // This view's origin in window coordinates.
    Point windowOrigin() const;

    virtual void draw(DrawContext& context) = 0;
    // The deepest view under the point (own coordinates) that takes the mouse, or nullptr.
    virtual View* viewAt(Point p);
    virtual bool takesMouse() const { return false; }
    // Presses of the left button only; the frame handles the others.
    virtual void onMouseDown(const MouseEvent&) {}
    virtual void onMouseMoved(const MouseEvent&) {}
    virtual void onMouseUp(const MouseEvent&) {}
    // One notch of the wheel is 1, towards the user negative; true when the view used it.
    virtual bool onWheel(double, const Modifiers&) { return false; }
    // Keys of the focused view, or of the view under the pointer when none has the focus.
    virtual bool onKeyDown(const KeyEvent&) { return false; }
    // Tab moves the focus along the views that take it, in the document's order.
    virtual bool takesTabFocus() const { return false; }
    virtual void onTabFocus() {}
    virtual void onFocusLost() {}
    // Catches up with the controller's parameters; true when the view must be drawn again.
    virtual bool syncWithParameters() { return false; }
    // Calls `visit` for this view and every view inside it.
    virtual void forEach(const std::function<void(View&)>& visit) { visit(*this); }

protected:
    friend class ViewContainer;
    friend class ViewSwitchContainer;
    View* parentView = nullptr;
};

// Draws the view inside its frame: translated to its origin and clipped to its bounds.
void drawChild(DrawContext& context, View& view);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
