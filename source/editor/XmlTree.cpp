#include "source/editor/XmlTree.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

std::string XmlElement::value(std::string_view attribute) const
{
    for (const auto& [key, text] : attributes)
        if (key == attribute)
            return text;
    return {};
}

const XmlElement* XmlElement::child(std::string_view childName) const
{
    for (const XmlElement& c : children)
        if (c.name == childName)
            return &c;
    return nullptr;
}

std::vector<const XmlElement*> XmlElement::childrenNamed(std::string_view childName) const
{
    std::vector<const XmlElement*> found;
    for (const XmlElement& c : children)
        if (c.name == childName)
            found.push_back(&c);
    return found;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
