#include "PanNoteExpressionType.h"

#include "pluginterfaces/base/ustring.h"

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

struct NamedPosition
{
    NoteExpressionValue value;
    const TChar* text;
};

// Tested in this order, by exact value or exact text.
constexpr NamedPosition kNamedPositions[] = {{0.5, STR16("C")}, {0.0, STR16("L")}, {1.0, STR16("R")}};

} // namespace

PanNoteExpressionType::PanNoteExpressionType(NoteExpressionTypeID typeId, const TChar* title, UnitID unitId)
: RangeNoteExpressionType(typeId, title, STR16("Pan"), nullptr, unitId, 0.0, -100.0, 100.0,
                          NoteExpressionTypeInfo::kIsBipolar | NoteExpressionTypeInfo::kIsAbsolute, 0)
{
}

tresult PanNoteExpressionType::getStringByValue(NoteExpressionValue valueNormalized, String128 string)
{
    for (const NamedPosition& position : kNamedPositions)
    {
        if (valueNormalized == position.value)
        {
            UString(string, str16BufferSize(String128)).assign(position.text);
            return kResultOk;
        }
    }
    return RangeNoteExpressionType::getStringByValue(valueNormalized, string);
}

tresult PanNoteExpressionType::getValueByString(const TChar* string, NoteExpressionValue& valueNormalized)
{
    if (!string)
        return kResultFalse;
    for (const NamedPosition& position : kNamedPositions)
    {
        if (strcmp16(string, position.text) == 0)
        {
            valueNormalized = position.value;
            return kResultOk;
        }
    }
    return RangeNoteExpressionType::getValueByString(string, valueNormalized);
}

} // namespace Steinberg::Vst::TaviroPlugIn
