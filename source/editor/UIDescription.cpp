#include "source/editor/UIDescription.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "source/editor/XmlTree.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

// Comma-separated numbers ("10, 60, 10, 10"); nothing when one is unreadable or not finite.
std::vector<double> parseNumbers(std::string_view text)
{
    std::vector<double> numbers;
    std::string copy(text);
    const char* p = copy.c_str();
    while (*p)
    {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p || !std::isfinite(v))
            return {};
        numbers.push_back(v);
        p = end;
        while (*p == ' ' || *p == ',')
            ++p;
    }
    return numbers;
}

// As deep as the XML tree goes: it is cut at kMaxElementDepth, so the stack of whatever builds,
// draws or destroys the views has room.
ViewNode readView(const XmlElement& element)
{
    ViewNode node;
    for (const auto& [name, value] : element.attributes)
        node.attributes.emplace(name, value);
    node.className = node.text("class");
    for (const XmlElement* child : element.childrenNamed("view"))
        node.children.push_back(readView(*child));
    return node;
}

// The children named `item` of the root's child `group`, such as every colour in "colors".
std::vector<const XmlElement*> entries(const XmlElement& root, std::string_view group, std::string_view item)
{
    const XmlElement* parent = root.child(group);
    return parent ? parent->childrenNamed(item) : std::vector<const XmlElement*>{};
}

} // namespace

const std::string* ViewNode::attribute(std::string_view name) const
{
    const auto it = attributes.find(name);
    return it == attributes.end() ? nullptr : &it->second;
}

std::string ViewNode::text(std::string_view name, std::string_view fallback) const
{
    const auto* value = attribute(name);
    return value ? *value : std::string(fallback);
}

double ViewNode::number(std::string_view name, double fallback) const
{
    const auto* value = attribute(name);
    if (!value)
        return fallback;
    const auto numbers = parseNumbers(*value);
    return numbers.size() == 1 ? numbers[0] : fallback;
}

bool ViewNode::flag(std::string_view name) const { return text(name) == "true"; }

std::optional<Point> ViewNode::pair(std::string_view name) const
{
    const auto* value = attribute(name);
    if (!value)
        return std::nullopt;
    const auto numbers = parseNumbers(*value);
    if (numbers.size() != 2)
        return std::nullopt;
    return Point{numbers[0], numbers[1]};
}

Rect ViewNode::frame() const
{
    const Point origin = pair("origin").value_or(Point{});
    const Point size = pair("size").value_or(Point{});
    return {origin.x, origin.y, size.x, size.y};
}

std::optional<UIDescription> UIDescription::parse(std::string_view xml)
{
    const auto root = parseXml(xml);
    if (!root || root->name != "vstgui-ui-description")
        return std::nullopt;

    UIDescription description;
    for (const XmlElement* c : entries(*root, "colors", "color"))
        if (const auto colour = parseHexColour(c->value("rgba")))
            description.colours.emplace(c->value("name"), *colour);
    for (const XmlElement* b : entries(*root, "bitmaps", "bitmap"))
    {
        BitmapDescription bitmap{b->value("path"), std::nullopt};
        const auto offsets = parseNumbers(b->value("nineparttiled-offsets"));
        if (offsets.size() == 4)
            bitmap.ninePart = NinePartOffsets{offsets[0], offsets[1], offsets[2], offsets[3]};
        description.bitmaps.emplace(b->value("name"), std::move(bitmap));
    }
    for (const XmlElement* t : entries(*root, "control-tags", "control-tag"))
    {
        const std::string tag = t->value("tag");
        ParamID id = 0;
        const auto [end, error] = std::from_chars(tag.data(), tag.data() + tag.size(), id);
        if (error == std::errc() && end == tag.data() + tag.size())
            description.controlTags.emplace(t->value("name"), id);
    }
    for (const XmlElement* t : root->childrenNamed("template"))
        description.templates.emplace(t->value("name"), readView(*t));
    return description;
}

std::optional<Colour> UIDescription::colour(std::string_view name) const
{
    if (const auto it = colours.find(name); it != colours.end())
        return it->second;
    if (auto c = builtInColour(name))
        return c;
    return parseHexColour(name);
}

const BitmapDescription* UIDescription::bitmap(std::string_view name) const
{
    const auto it = bitmaps.find(name);
    return it == bitmaps.end() ? nullptr : &it->second;
}

std::optional<ParamID> UIDescription::controlTag(std::string_view name) const
{
    const auto it = controlTags.find(name);
    if (it == controlTags.end())
        return std::nullopt;
    return it->second;
}

const ViewNode* UIDescription::findTemplate(std::string_view name) const
{
    const auto it = templates.find(name);
    return it == templates.end() ? nullptr : &it->second;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
