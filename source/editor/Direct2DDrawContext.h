#pragma once

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <map>
#include <utility>
#include <vector>

#include "source/editor/DrawContext.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Drawing with Direct2D on a render target whose units are device pixels (96 dots per inch), text with
// DirectWrite. Lives as long as its target, so brushes and text formats are made once.
class Direct2DDrawContext : public DrawContext
{
public:
    Direct2DDrawContext(ID2D1Factory* factory, ID2D1RenderTarget* target);
    ~Direct2DDrawContext() override;

    // Around the drawing of each frame, inside the target's BeginDraw and EndDraw: the transform starts
    // at identity, and clips left open are closed, as Direct2D requires before EndDraw.
    void beginFrame();
    void endFrame();

    void save() override;
    void restore() override;
    void translate(double dx, double dy) override;
    void scale(double factor) override;
    void clip(const Rect& r) override;
    double deviceScale() const override;

    void fillRect(const Rect& r, const Colour& c) override;
    void strokeRect(const Rect& r, const Colour& c, double lineWidth) override;
    void fillPolygon(std::span<const Point> corners, const Colour& c) override;
    void strokePolyline(std::span<const Point> points, const Colour& c, double lineWidth) override;
    void fillCircle(Point centre, double radius, const Colour& c) override;

    void drawImage(const BitmapImage& image, double density, const Rect& source, const Rect& target,
                   double alpha) override;

    TextMetrics measureText(const std::string& utf8, const Font& font) override;
    void showText(const std::string& utf8, Point origin, const Font& font, const Colour& c) override;

private:
    struct State
    {
        D2D1_MATRIX_3X2_F transform;
        size_t clips;
    };
    struct FontFace
    {
        Microsoft::WRL::ComPtr<IDWriteTextFormat> format;
        double ascent = 0;
        double descent = 0;
    };

    ID2D1SolidColorBrush* brush(const Colour& c);
    Microsoft::WRL::ComPtr<ID2D1PathGeometry> path(std::span<const Point> points, bool closed);
    void pushClip(const D2D1_RECT_F& r);
    const FontFace* face(const Font& font);
    Microsoft::WRL::ComPtr<IDWriteTextLayout> layout(const std::string& utf8, const FontFace& face);

    Microsoft::WRL::ComPtr<ID2D1Factory> factory;
    Microsoft::WRL::ComPtr<ID2D1RenderTarget> target;
    Microsoft::WRL::ComPtr<ID2D1SolidColorBrush> solid;
    Microsoft::WRL::ComPtr<IDWriteFactory> writeFactory;
    std::map<std::pair<double, bool>, FontFace> faces;
    D2D1_MATRIX_3X2_F transform = D2D1::Matrix3x2F::Identity();
    size_t clips = 0;
    std::vector<State> saved;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
