#pragma once

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include "source/editor/BitmapImage.h"

struct ID2D1Bitmap;
struct ID2D1RenderTarget;

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Keeps COM usable for WIC while it lives: joins the thread's apartment, or opens one when the thread
// has none (tests, tools); a plug-in's host has opened one already.
class ComScope
{
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool opened = false;
};

// Nothing when COM or WIC cannot be reached.
Microsoft::WRL::ComPtr<IWICImagingFactory> wicFactory();

// A decoded PNG as premultiplied BGRA pixels in a WIC bitmap. Direct2D needs a copy per render target;
// the last one made is kept, since the window draws into the same target again and again.
class WicBitmap : public BitmapImage
{
public:
    explicit WicBitmap(Microsoft::WRL::ComPtr<IWICBitmap> pixels);
    ~WicBitmap() override;

    int width() const override { return w; }
    int height() const override { return h; }
    // Nothing when the target cannot take it.
    ID2D1Bitmap* forTarget(ID2D1RenderTarget* target) const;

private:
    Microsoft::WRL::ComPtr<IWICBitmap> pixels;
    int w = 0;
    int h = 0;
    mutable Microsoft::WRL::ComPtr<ID2D1RenderTarget> madeFor;
    mutable Microsoft::WRL::ComPtr<ID2D1Bitmap> made;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
