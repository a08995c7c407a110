#include "source/editor/Bitmap.h"

#include <algorithm>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

std::string doubleDensityPath(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + "@2x";
    return path.substr(0, dot) + "@2x" + path.substr(dot);
}

std::unique_ptr<BitmapImage> decodeFile(const ResourceReader& read, const std::string& name)
{
    const auto bytes = read(name);
    if (!bytes)
        return nullptr;
    return decodePng(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
}

// Offsets that fit the image: each edge within it, and the two opposite edges together no larger
// than it, so that every source part lies inside the pixels.
NinePartOffsets fitted(NinePartOffsets o, double width, double height)
{
    const auto within = [](double v, double limit) { return v > 0 ? std::min(v, limit) : 0.0; };
    o.left = within(o.left, width);
    o.right = within(o.right, width - o.left);
    o.top = within(o.top, height);
    o.bottom = within(o.bottom, height - o.top);
    return o;
}

} // namespace

std::unique_ptr<Bitmap> Bitmap::load(const ResourceReader& read, const std::string& name,
                                     std::optional<NinePartOffsets> ninePart)
{
    auto image = decodeFile(read, name);
    if (!image)
        return nullptr;
    auto twice = decodeFile(read, doubleDensityPath(name));
    // A double-density file that is not exactly twice the size is not used.
    if (twice && (twice->width() != 2 * image->width() || twice->height() != 2 * image->height()))
        twice.reset();
    if (ninePart)
        ninePart = fitted(*ninePart, image->width(), image->height());
    return std::unique_ptr<Bitmap>(new Bitmap(std::move(image), std::move(twice), ninePart));
}

Bitmap::Bitmap(std::unique_ptr<BitmapImage> i, std::unique_ptr<BitmapImage> d,
               std::optional<NinePartOffsets> n)
    : image(std::move(i)), doubleDensity(std::move(d)), ninePart(n)
{
}

Bitmap::Choice Bitmap::select(const DrawContext& context) const
{
    if (!doubleDensity || context.deviceScale() <= 1.01)
        return {*image, 1};
    return {*doubleDensity, 2};
}

void Bitmap::draw(DrawContext& context, const Rect& where, double alpha) const
{
    const Choice choice = select(context);
    const double w = width(), h = height();
    if (!ninePart)
    {
        context.drawImage(choice.image, choice.density, {0, 0, w, h},
                          {where.x, where.y, std::min(w, where.width), std::min(h, where.height)}, alpha);
        return;
    }
    const NinePartOffsets& o = *ninePart;
    const double sourceX[] = {0, o.left, w - o.right, w};
    const double sourceY[] = {0, o.top, h - o.bottom, h};
    const double targetX[] = {where.x, where.x + o.left, where.right() - o.right, where.right()};
    const double targetY[] = {where.y, where.y + o.top, where.bottom() - o.bottom, where.bottom()};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            context.drawImage(choice.image, choice.density,
                              {sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column],
                               sourceY[row + 1] - sourceY[row]},
                              {targetX[column], targetY[row], targetX[column + 1] - targetX[column],
                               targetY[row + 1] - targetY[row]},
                              alpha);
}

void Bitmap::drawFrame(DrawContext& context, const Rect& where, int index, double frameHeight) const
{
    const int frames = std::max(1, static_cast<int>(height() / frameHeight));
    index = std::clamp(index, 0, frames - 1);
    const Choice choice = select(context);
    const double w = width();
    context.drawImage(choice.image, choice.density, {0, index * frameHeight, w, frameHeight},
                      {where.x, where.y, std::min(where.width, w), std::min(where.height, frameHeight)}, 1.0);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
