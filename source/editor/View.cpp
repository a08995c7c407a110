#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

Point View::windowOrigin() const
{
    Point p{frame.x, frame.y};
    for (const View* v = parentView; v; v = v->parentView)
    {
        p.x += v->frame.x;
        p.y += v->frame.y;
    }
    return p;
}

View* View::viewAt(Point p) { return takesMouse() && bounds().contains(p) ? this : nullptr; }

void drawChild(DrawContext& context, View& view)
{
    context.save();
    context.translate(view.frame.x, view.frame.y);
    context.clip(view.bounds());
    view.draw(context);
    context.restore();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
