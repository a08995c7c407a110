#pragma once

#include "public.sdk/source/vst/vstnoteexpressiontypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Per-note pan from -100 (left) to 100 (right); the ends and the centre read "L", "R" and "C".
class PanNoteExpressionType : public RangeNoteExpressionType
{
public:
    PanNoteExpressionType(NoteExpressionTypeID typeId, const TChar* title, UnitID unitId);

    tresult getStringByValue(NoteExpressionValue valueNormalized, String128 string) override;
    tresult getValueByString(const TChar* string, NoteExpressionValue& valueNormalized) override;

    OBJ_METHODS(PanNoteExpressionType, RangeNoteExpressionType)
};

} // namespace Steinberg::Vst::TaviroPlugIn
