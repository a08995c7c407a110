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

void drawChild(cairo_t* cr, View& view)
{
    cairo_save(cr);
    cairo_translate(cr, view.frame.x, view.frame.y);
    cairo_rectangle(cr, 0, 0, view.frame.width, view.frame.height);
    cairo_clip(cr);
    view.draw(cr);
    cairo_restore(cr);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
