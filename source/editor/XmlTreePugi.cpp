// XML on Linux: pugixml, from the distribution.
#include <pugixml.hpp>

#include "source/editor/XmlTree.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

XmlElement convert(const pugi::xml_node& node, int depth = 0)
{
    XmlElement element{node.name(), {}, {}};
    for (const auto& a : node.attributes())
        element.attributes.emplace_back(a.name(), a.value());
    if (depth < kMaxElementDepth)
        for (const auto& c : node.children())
            if (c.type() == pugi::node_element)
                element.children.push_back(convert(c, depth + 1));
    return element;
}

} // namespace

std::optional<XmlElement> parseXml(std::string_view text)
{
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size()))
        return std::nullopt;
    const pugi::xml_node root = document.document_element();
    if (!root)
        return std::nullopt;
    return convert(root);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
