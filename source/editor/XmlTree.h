#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// An XML element as the UI description needs it: name, attributes and child elements (text, comments
// and processing instructions are left out). Each platform reads it with the parser it has.
struct XmlElement
{
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlElement> children;

    // Empty when the attribute is missing.
    std::string value(std::string_view attribute) const;
    // The first child of that name, or nullptr.
    const XmlElement* child(std::string_view childName) const;
    // The children of that name, in document order.
    std::vector<const XmlElement*> childrenNamed(std::string_view childName) const;
};

// Elements nested deeper than this below the root are left out, so that no hostile document can
// exhaust the stack of the code that builds, walks or destroys the tree.
constexpr int kMaxElementDepth = 128;

// The root element; nothing when the text is not well-formed XML.
std::optional<XmlElement> parseXml(std::string_view text);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
