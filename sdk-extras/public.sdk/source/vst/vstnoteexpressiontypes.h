#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstnoteexpression.h"

#include <vector>

namespace Steinberg::Vst {

// One note expression type as a controller publishes it: its info record and the text
// conversions of its values, which show the normalised value with the type's precision.
class NoteExpressionType : public FObject
{
public:
    NoteExpressionType(NoteExpressionTypeID typeId, const TChar* title, const TChar* shortTitle,
                       const TChar* units, int32 unitId, NoteExpressionValue defaultValue,
                       NoteExpressionValue minimum, NoteExpressionValue maximum, int32 stepCount,
                       int32 flags = 0, int32 precision = 4);

    NoteExpressionTypeInfo& getInfo() { return info; }

    virtual tresult getStringByValue(NoteExpressionValue valueNormalized, String128 string);
    virtual tresult getValueByString(const TChar* string, NoteExpressionValue& valueNormalized);

    int32 getPrecision() const { return precision; }
    void setPrecision(int32 value) { precision = value; }

    OBJ_METHODS(NoteExpressionType, FObject)

protected:
    NoteExpressionTypeInfo info;
    int32 precision;
};

// A type shown in a plain range: plain = plainMin + normalised * (plainMax - plainMin).
class RangeNoteExpressionType : public NoteExpressionType
{
public:
    RangeNoteExpressionType(NoteExpressionTypeID typeId, const TChar* title, const TChar* shortTitle,
                            const TChar* units, int32 unitId, NoteExpressionValue defaultPlainValue,
                            NoteExpressionValue plainMin, NoteExpressionValue plainMax, int32 flags = 0,
                            int32 precision = 4);

    tresult getStringByValue(NoteExpressionValue valueNormalized, String128 string) override;
    // Accepts only numbers inside the plain range.
    tresult getValueByString(const TChar* string, NoteExpressionValue& valueNormalized) override;

    OBJ_METHODS(RangeNoteExpressionType, NoteExpressionType)

protected:
    NoteExpressionValue plainMin;
    NoteExpressionValue plainMax;
};

// The types of a controller, in the order they were added; owns its types.
class NoteExpressionTypeContainer : public FObject
{
public:
    NoteExpressionTypeContainer();

    // Takes over the caller's reference.
    bool addNoteExpressionType(NoteExpressionType* noteExpType);
    void removeAll();

    NoteExpressionType* getNoteExpressionType(NoteExpressionTypeID typeId);
    int32 getNoteExpressionCount();
    // By position in the container; kResultFalse for an index that holds no type.
    tresult getNoteExpressionInfo(int32 noteExpressionIndex, NoteExpressionTypeInfo& info);
    tresult getNoteExpressionStringByValue(NoteExpressionTypeID id, NoteExpressionValue valueNormalized,
                                           String128 string);
    tresult getNoteExpressionValueByString(NoteExpressionTypeID id, const TChar* string,
                                           NoteExpressionValue& valueNormalized);

    OBJ_METHODS(NoteExpressionTypeContainer, FObject)

protected:
    using NoteExprTypeVector = std::vector<IPtr<NoteExpressionType>>;
    NoteExprTypeVector::const_iterator find(NoteExpressionTypeID typeId) const;

    NoteExprTypeVector noteExps;
};

} // namespace Steinberg::Vst
