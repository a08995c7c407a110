#include "source/editor/SplashScreen.h"

#include "source/editor/Bitmap.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void SplashScreen::draw(DrawContext& context) { bitmap.draw(context, bounds()); }

void SplashScreen::onMouseDown(const MouseEvent&)
{
    context.openSplash(splash, splashRect, animationMilliseconds);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
