#pragma once

#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A bitmap that, when clicked, opens another bitmap over the window (the about screen).
class SplashScreen : public View
{
public:
    SplashScreen(const Rect& frame, EditorContext& context, const Bitmap& bitmap, const Bitmap& splash,
                 const Rect& splashRect, double animationMilliseconds)
        : View(frame), context(context), bitmap(bitmap), splash(splash), splashRect(splashRect),
          animationMilliseconds(animationMilliseconds)
    {
    }

    bool takesMouse() const override { return true; }
    void draw(DrawContext& context) override;
    void onMouseDown(const MouseEvent&) override;

private:
    EditorContext& context;
    const Bitmap& bitmap;
    const Bitmap& splash;
    Rect splashRect;
    double animationMilliseconds;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
