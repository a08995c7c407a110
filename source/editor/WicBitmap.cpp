#include "source/editor/WicBitmap.h"

#include <d2d1.h>

#include <filesystem>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

using Microsoft::WRL::ComPtr;

namespace {

// The first frame of the decoder's image as premultiplied BGRA, copied out of the file or memory.
std::unique_ptr<BitmapImage> decodeFirstFrame(IWICImagingFactory* factory, IWICBitmapDecoder* decoder)
{
    GUID format{};
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmap> pixels;
    if (FAILED(decoder->GetContainerFormat(&format)) || format != GUID_ContainerFormatPng ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)) ||
        FAILED(factory->CreateBitmapFromSource(converter.Get(), WICBitmapCacheOnLoad, &pixels)))
        return nullptr;
    return std::make_unique<WicBitmap>(pixels);
}

} // namespace

ComScope::ComScope()
{
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    opened = result == S_OK || result == S_FALSE;
}

ComScope::~ComScope()
{
    if (opened)
        ::CoUninitialize();
}

ComPtr<IWICImagingFactory> wicFactory()
{
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory))))
        return nullptr;
    return factory;
}

WicBitmap::WicBitmap(ComPtr<IWICBitmap> p) : pixels(std::move(p))
{
    UINT width = 0, height = 0;
    pixels->GetSize(&width, &height);
    w = static_cast<int>(width);
    h = static_cast<int>(height);
}

WicBitmap::~WicBitmap() = default;

ID2D1Bitmap* WicBitmap::forTarget(ID2D1RenderTarget* target) const
{
    if (madeFor.Get() == target && made)
        return made.Get();
    made.Reset();
    madeFor = target;
    // 96 dots per inch: one unit of the bitmap is one of its pixels.
    const D2D1_BITMAP_PROPERTIES properties{
        {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED}, 96, 96};
    if (FAILED(target->CreateBitmapFromWicBitmap(pixels.Get(), &properties, &made)))
        made.Reset();
    return made.Get();
}

std::unique_ptr<BitmapImage> decodePng(const std::string& path)
{
    ComScope com;
    const auto factory = wicFactory();
    ComPtr<IWICBitmapDecoder> decoder;
    const std::wstring widePath = std::filesystem::u8path(path).wstring();
    if (!factory || FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                              WICDecodeMetadataCacheOnDemand, &decoder)))
        return nullptr;
    return decodeFirstFrame(factory.Get(), decoder.Get());
}

std::unique_ptr<BitmapImage> decodePng(std::span<const uint8_t> bytes)
{
    ComScope com;
    const auto factory = wicFactory();
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory || bytes.empty() || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder)))
        return nullptr;
    return decodeFirstFrame(factory.Get(), decoder.Get());
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
