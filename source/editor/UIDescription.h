#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pluginterfaces/vst/vsttypes.h"
#include "source/editor/Colour.h"
#include "source/editor/Geometry.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// One view of a template as the document describes it: its class and its attributes as text.
struct ViewNode
{
    std::string className;
    std::map<std::string, std::string, std::less<>> attributes;
    std::vector<ViewNode> children;

    const std::string* attribute(std::string_view name) const;
    std::string text(std::string_view name, std::string_view fallback = {}) const;
    double number(std::string_view name, double fallback) const;
    bool flag(std::string_view name) const;
    // "x, y" pairs such as origin and size.
    std::optional<Point> pair(std::string_view name) const;
    Rect frame() const;
};

struct NinePartOffsets
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

struct BitmapDescription
{
    std::string path;
    std::optional<NinePartOffsets> ninePart;
};

// The UI description document: colours, bitmaps, control tags and templates.
class UIDescription
{
public:
    // Nothing when the text is not a UI description.
    static std::optional<UIDescription> parse(std::string_view xml);

    // A named colour of the document, a built-in colour or a "#rrggbbaa" literal.
    std::optional<Colour> colour(std::string_view name) const;
    const BitmapDescription* bitmap(std::string_view name) const;
    std::optional<ParamID> controlTag(std::string_view name) const;
    const ViewNode* findTemplate(std::string_view name) const;
    size_t controlTagCount() const { return controlTags.size(); }

private:
    std::map<std::string, Colour, std::less<>> colours;
    std::map<std::string, BitmapDescription, std::less<>> bitmaps;
    std::map<std::string, ParamID, std::less<>> controlTags;
    std::map<std::string, ViewNode, std::less<>> templates;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
