// Offscreen pictures on Windows: Direct2D draws into a WIC bitmap, and WIC writes the PNG.
#include <d2d1.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "source/editor/Direct2DDrawContext.h"
#include "source/editor/OffscreenImage.h"
#include "source/editor/WicBitmap.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

using Microsoft::WRL::ComPtr;

namespace {

// Premultiplied to straight alpha, which PNG stores.
uint32_t unpremultiplied(uint32_t pixel)
{
    const uint32_t alpha = pixel >> 24;
    if (alpha == 0 || alpha == 255)
        return alpha == 0 ? 0 : pixel;
    uint32_t result = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const uint32_t channel = (pixel >> shift) & 0xFF;
        result |= std::min<uint32_t>(255, (channel * 255 + alpha / 2) / alpha) << shift;
    }
    return result;
}

} // namespace

OffscreenImage drawOffscreen(int width, int height, const std::function<void(DrawContext&)>& paint)
{
    OffscreenImage image{width, height, std::vector<uint32_t>(size_t(width) * height)};
    ComScope com;
    const auto imaging = wicFactory();
    ComPtr<IWICBitmap> pixels;
    ComPtr<ID2D1Factory> factory;
    ComPtr<ID2D1RenderTarget> target;
    // Software drawing, so that the picture does not depend on the graphics card.
    const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_SOFTWARE,
        D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED), 96, 96);
    if (!imaging || width <= 0 || height <= 0 ||
        FAILED(imaging->CreateBitmap(UINT(width), UINT(height), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapCacheOnLoad, &pixels)) ||
        FAILED(::D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, factory.GetAddressOf())) ||
        FAILED(factory->CreateWicBitmapRenderTarget(pixels.Get(), properties, &target)))
        return image;
    {
        Direct2DDrawContext context(factory.Get(), target.Get());
        target->BeginDraw();
        target->Clear(D2D1::ColorF(0, 0, 0, 0));
        context.beginFrame();
        paint(context);
        context.endFrame();
        target->EndDraw();
    }
    const WICRect all{0, 0, width, height};
    pixels->CopyPixels(&all, UINT(width * sizeof(uint32_t)), UINT(image.pixels.size() * sizeof(uint32_t)),
                       reinterpret_cast<BYTE*>(image.pixels.data()));
    return image;
}

bool writePng(const OffscreenImage& image, const std::string& path)
{
    ComScope com;
    const auto imaging = wicFactory();
    std::vector<uint32_t> straight(image.pixels.size());
    std::transform(image.pixels.begin(), image.pixels.end(), straight.begin(), unpremultiplied);
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const std::wstring widePath = std::filesystem::u8path(path).wstring();
    return imaging && SUCCEEDED(imaging->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(imaging->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(UINT(image.width), UINT(image.height))) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA &&
           SUCCEEDED(frame->WritePixels(UINT(image.height), UINT(image.width * sizeof(uint32_t)),
                                        UINT(straight.size() * sizeof(uint32_t)),
                                        reinterpret_cast<BYTE*>(straight.data()))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
