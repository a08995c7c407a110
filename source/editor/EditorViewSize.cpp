#include "source/editor/EditorViewSize.h"

#include <algorithm>
#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

double EditorViewSize::limited(double factor)
{
    return std::clamp(factor, 0.5, 4.0);
}

ViewRect EditorViewSize::rect(double scale)
{
    return ViewRect(0, 0, static_cast<int32>(std::lround(kWidth * scale)),
                    static_cast<int32>(std::lround(kHeight * scale)));
}

tresult EditorViewSize::accept(const ViewRect* newSize, double scale)
{
    if (!newSize)
        return kInvalidArgument;
    const ViewRect wanted = rect(scale);
    return newSize->getWidth() == wanted.getWidth() && newSize->getHeight() == wanted.getHeight()
               ? kResultTrue
               : kResultFalse;
}

tresult EditorViewSize::constrain(ViewRect* r, double scale)
{
    if (!r)
        return kInvalidArgument;
    const ViewRect wanted = rect(scale);
    r->right = r->left + wanted.getWidth();
    r->bottom = r->top + wanted.getHeight();
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
