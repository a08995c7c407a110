#include "source/editor/Direct2DDrawContext.h"

#include <algorithm>
#include <cmath>

#include "source/editor/WicBitmap.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

using Microsoft::WRL::ComPtr;

namespace {

struct Family
{
    const wchar_t* name;
    DWRITE_FONT_STRETCH stretch;
};

// Tahoma is on every Windows since XP and narrow enough for the short labels of the channel panel.
// Wine's DirectWrite offers the fonts of the Linux system instead, so there the condensed DejaVu Sans
// of the Linux editor stands in; Arial is the last resort.
const Family kFamilies[] = {
    {L"Tahoma", DWRITE_FONT_STRETCH_NORMAL},
    {L"DejaVu Sans", DWRITE_FONT_STRETCH_CONDENSED},
    {L"Arial", DWRITE_FONT_STRETCH_NORMAL},
};

D2D1_RECT_F rectOf(const Rect& r)
{
    return D2D1::RectF(float(r.x), float(r.y), float(r.right()), float(r.bottom()));
}

D2D1_POINT_2F pointOf(Point p)
{
    return D2D1::Point2F(float(p.x), float(p.y));
}

std::wstring wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), n);
    return text;
}

// The first of the families the system has, with the metrics of its face in the wanted weight.
ComPtr<IDWriteFont> findFont(IDWriteFactory* factory, DWRITE_FONT_WEIGHT weight, const Family** family)
{
    ComPtr<IDWriteFontCollection> fonts;
    if (FAILED(factory->GetSystemFontCollection(&fonts)))
        return nullptr;
    for (const Family& candidate : kFamilies)
    {
        UINT32 index = 0;
        BOOL exists = FALSE;
        ComPtr<IDWriteFontFamily> found;
        ComPtr<IDWriteFont> font;
        if (SUCCEEDED(fonts->FindFamilyName(candidate.name, &index, &exists)) && exists &&
            SUCCEEDED(fonts->GetFontFamily(index, &found)) &&
            SUCCEEDED(
                found->GetFirstMatchingFont(weight, candidate.stretch, DWRITE_FONT_STYLE_NORMAL, &font)))
        {
            *family = &candidate;
            return font;
        }
    }
    return nullptr;
}

} // namespace

Direct2DDrawContext::Direct2DDrawContext(ID2D1Factory* f, ID2D1RenderTarget* t) : factory(f), target(t)
{
    target->CreateSolidColorBrush(D2D1::ColorF(0, 0, 0, 1), &solid);
    ::DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                          reinterpret_cast<IUnknown**>(writeFactory.GetAddressOf()));
    // Grey-scale text, as on Linux: sub-pixel colours would not survive the copy to other windows.
    target->SetTextAntialiasMode(D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE);
}

Direct2DDrawContext::~Direct2DDrawContext() = default;

void Direct2DDrawContext::beginFrame()
{
    saved.clear();
    clips = 0;
    transform = D2D1::Matrix3x2F::Identity();
    target->SetTransform(transform);
}

void Direct2DDrawContext::endFrame()
{
    for (; clips > 0; --clips)
        target->PopAxisAlignedClip();
    saved.clear();
}

void Direct2DDrawContext::save()
{
    saved.push_back({transform, clips});
}

void Direct2DDrawContext::restore()
{
    if (saved.empty())
        return;
    const State state = saved.back();
    saved.pop_back();
    for (; clips > state.clips; --clips)
        target->PopAxisAlignedClip();
    transform = state.transform;
    target->SetTransform(transform);
}

void Direct2DDrawContext::translate(double dx, double dy)
{
    transform = D2D1::Matrix3x2F::Translation(float(dx), float(dy)) * transform;
    target->SetTransform(transform);
}

void Direct2DDrawContext::scale(double factor)
{
    transform = D2D1::Matrix3x2F::Scale(float(factor), float(factor)) * transform;
    target->SetTransform(transform);
}

void Direct2DDrawContext::pushClip(const D2D1_RECT_F& r)
{
    target->PushAxisAlignedClip(r, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
    ++clips;
}

void Direct2DDrawContext::clip(const Rect& r)
{
    pushClip(rectOf(r));
}

double Direct2DDrawContext::deviceScale() const
{
    return std::hypot(transform._11, transform._12);
}

ID2D1SolidColorBrush* Direct2DDrawContext::brush(const Colour& c)
{
    solid->SetColor(D2D1::ColorF(float(c.red), float(c.green), float(c.blue), float(c.alpha)));
    return solid.Get();
}

void Direct2DDrawContext::fillRect(const Rect& r, const Colour& c)
{
    target->FillRectangle(rectOf(r), brush(c));
}

void Direct2DDrawContext::strokeRect(const Rect& r, const Colour& c, double lineWidth)
{
    target->DrawRectangle(rectOf(r), brush(c), float(lineWidth));
}

ComPtr<ID2D1PathGeometry> Direct2DDrawContext::path(std::span<const Point> points, bool closed)
{
    ComPtr<ID2D1PathGeometry> geometry;
    ComPtr<ID2D1GeometrySink> sink;
    if (points.empty() || FAILED(factory->CreatePathGeometry(&geometry)) || FAILED(geometry->Open(&sink)))
        return nullptr;
    sink->BeginFigure(pointOf(points[0]), closed ? D2D1_FIGURE_BEGIN_FILLED : D2D1_FIGURE_BEGIN_HOLLOW);
    for (const Point& p : points.subspan(1))
        sink->AddLine(pointOf(p));
    sink->EndFigure(closed ? D2D1_FIGURE_END_CLOSED : D2D1_FIGURE_END_OPEN);
    sink->Close();
    return geometry;
}

void Direct2DDrawContext::fillPolygon(std::span<const Point> corners, const Colour& c)
{
    if (const auto geometry = path(corners, true))
        target->FillGeometry(geometry.Get(), brush(c));
}

void Direct2DDrawContext::strokePolyline(std::span<const Point> points, const Colour& c, double lineWidth)
{
    if (const auto geometry = path(points, false))
        target->DrawGeometry(geometry.Get(), brush(c), float(lineWidth));
}

void Direct2DDrawContext::fillCircle(Point centre, double radius, const Colour& c)
{
    target->FillEllipse(D2D1::Ellipse(pointOf(centre), float(radius), float(radius)), brush(c));
}

void Direct2DDrawContext::drawImage(const BitmapImage& image, double density, const Rect& source,
                                    const Rect& where, double alpha)
{
    if (source.width <= 0 || source.height <= 0 || where.width <= 0 || where.height <= 0)
        return;
    ID2D1Bitmap* bitmap = static_cast<const WicBitmap&>(image).forTarget(target.Get());
    if (!bitmap)
        return;
    // The bitmap's units are its pixels; the target's rectangle is in view pixels.
    const D2D1_RECT_F part = D2D1::RectF(float(source.x * density), float(source.y * density),
                                         float(source.right() * density), float(source.bottom() * density));
    // Pixel for pixel where the scales agree, smoothed where the image is stretched.
    const auto filter = std::abs(deviceScale() - density) < 0.01
                            ? D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR
                            : D2D1_BITMAP_INTERPOLATION_MODE_LINEAR;
    if (where.width <= source.width && where.height <= source.height)
    {
        // One copy is enough: the part is placed on the target's origin, clipped to the target.
        const D2D1_RECT_F shown = D2D1::RectF(part.left, part.top, part.left + float(where.width * density),
                                              part.top + float(where.height * density));
        target->DrawBitmap(bitmap, rectOf(where), float(alpha), filter, shown);
        return;
    }
    // Larger targets are filled with the part repeated, through a brush of a copy of the part.
    ComPtr<ID2D1Bitmap> copy;
    ComPtr<ID2D1BitmapBrush> tiles;
    const D2D1_SIZE_U size =
        D2D1::SizeU(UINT32(std::lround(part.right - part.left)), UINT32(std::lround(part.bottom - part.top)));
    const D2D1_POINT_2U from = D2D1::Point2U(UINT32(std::lround(part.left)), UINT32(std::lround(part.top)));
    const D2D1_RECT_U fromRect = D2D1::RectU(from.x, from.y, from.x + size.width, from.y + size.height);
    const D2D1_BITMAP_PROPERTIES properties = D2D1::BitmapProperties(bitmap->GetPixelFormat(), 96, 96);
    if (FAILED(target->CreateBitmap(size, properties, &copy)) ||
        FAILED(copy->CopyFromBitmap(nullptr, bitmap, &fromRect)) ||
        FAILED(target->CreateBitmapBrush(
            copy.Get(), D2D1::BitmapBrushProperties(D2D1_EXTEND_MODE_WRAP, D2D1_EXTEND_MODE_WRAP, filter),
            &tiles)))
        return;
    tiles->SetOpacity(float(alpha));
    tiles->SetTransform(D2D1::Matrix3x2F::Scale(float(1 / density), float(1 / density)) *
                        D2D1::Matrix3x2F::Translation(float(where.x), float(where.y)));
    target->FillRectangle(rectOf(where), tiles.Get());
}

const Direct2DDrawContext::FontFace* Direct2DDrawContext::face(const Font& font)
{
    const auto key = std::make_pair(font.size, font.bold);
    if (const auto it = faces.find(key); it != faces.end())
        return it->second.format ? &it->second : nullptr;
    FontFace& made = faces[key];
    const DWRITE_FONT_WEIGHT weight = font.bold ? DWRITE_FONT_WEIGHT_BOLD : DWRITE_FONT_WEIGHT_NORMAL;
    const Family* family = nullptr;
    const ComPtr<IDWriteFont> found = writeFactory ? findFont(writeFactory.Get(), weight, &family) : nullptr;
    if (!found ||
        FAILED(writeFactory->CreateTextFormat(family->name, nullptr, weight, DWRITE_FONT_STYLE_NORMAL,
                                              family->stretch, float(font.size), L"", &made.format)))
        return nullptr;
    made.format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    DWRITE_FONT_METRICS metrics{};
    found->GetMetrics(&metrics);
    const double perUnit = font.size / std::max<UINT16>(metrics.designUnitsPerEm, 1);
    made.ascent = metrics.ascent * perUnit;
    made.descent = metrics.descent * perUnit;
    return &made;
}

ComPtr<IDWriteTextLayout> Direct2DDrawContext::layout(const std::string& utf8, const FontFace& f)
{
    const std::wstring text = wide(utf8);
    ComPtr<IDWriteTextLayout> made;
    if (FAILED(writeFactory->CreateTextLayout(text.c_str(), UINT32(text.size()), f.format.Get(), 1e6f, 1e6f,
                                              &made)))
        return nullptr;
    return made;
}

TextMetrics Direct2DDrawContext::measureText(const std::string& utf8, const Font& font)
{
    const FontFace* f = face(font);
    if (!f)
        return {};
    DWRITE_TEXT_METRICS metrics{};
    const auto text = layout(utf8, *f);
    if (text)
        text->GetMetrics(&metrics);
    return {metrics.widthIncludingTrailingWhitespace, f->ascent, f->descent};
}

void Direct2DDrawContext::showText(const std::string& utf8, Point origin, const Font& font, const Colour& c)
{
    const FontFace* f = face(font);
    const auto text = f ? layout(utf8, *f) : nullptr;
    if (!text)
        return;
    DWRITE_LINE_METRICS line{};
    UINT32 lines = 0;
    text->GetLineMetrics(&line, 1, &lines);
    // The layout is placed by its top; the caller gives the baseline.
    target->DrawTextLayout(D2D1::Point2F(float(origin.x), float(origin.y - line.baseline)), text.Get(),
                           brush(c));
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
