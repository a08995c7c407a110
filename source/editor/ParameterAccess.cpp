#include "source/editor/ParameterAccess.h"

#include <algorithm>
#include <cmath>

#include "pluginterfaces/vst/ivstcontextmenu.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

int32 ParameterAccess::stepCount(ParamID id) const
{
    const Parameter* parameter = controller.getParameterObject(id);
    return parameter ? parameter->getInfo().stepCount : 0;
}

double ParameterAccess::toPlain(ParamID id, ParamValue normalized) const
{
    return controller.normalizedParamToPlain(id, normalized);
}

ParamValue ParameterAccess::defaultValue(ParamID id) const
{
    const Parameter* parameter = controller.getParameterObject(id);
    return parameter ? parameter->getInfo().defaultNormalizedValue : 0.0;
}

std::string ParameterAccess::text(ParamID id, ParamValue normalized) const
{
    String128 text{};
    if (controller.getParamStringByValue(id, normalized, text) != kResultOk)
        return {};
    text[127] = 0;
    return utf16ToUtf8(text);
}

std::optional<ParamValue> ParameterAccess::parse(ParamID id, const std::string& text) const
{
    String128 wide{};
    utf8ToUtf16(text, wide, 128);
    ParamValue normalized = 0;
    // "nan" reads as a number to some conversions; it must never reach the host.
    if (controller.getParamValueByString(id, wide, normalized) != kResultOk || std::isnan(normalized))
        return std::nullopt;
    return std::clamp(normalized, 0.0, 1.0);
}

void ParameterAccess::performEdit(ParamID id, ParamValue normalized)
{
    controller.setParamNormalized(id, normalized);
    controller.performEdit(id, controller.getParamNormalized(id));
}

void ParameterAccess::edit(ParamID id, ParamValue normalized)
{
    beginEdit(id);
    performEdit(id, normalized);
    endEdit(id);
}

bool ParameterAccess::popupHostContextMenu(IPlugView* view, ParamID id, UCoord x, UCoord y)
{
    FUnknownPtr<IComponentHandler3> handler(controller.getComponentHandler());
    if (!handler || !view)
        return false;
    IContextMenu* menu = handler->createContextMenu(view, &id);
    if (!menu)
        return false;
    menu->popup(x, y);
    menu->release();
    return true;
}

// Typed texts are numbers and names: anything outside ASCII becomes '?', which no parameter accepts
// as part of a number.
void utf8ToUtf16(const std::string& text, char16* out, size_t capacity)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < capacity; ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80)
            out[n++] = byte;
        else if ((byte & 0xC0) != 0x80)
            out[n++] = u'?';
    }
    out[n] = 0;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
