#include "vstnoteexpressiontypes.h"

#include "pluginterfaces/base/ustring.h"
#include "source/common/ScanNumber.h"

#include <algorithm>

namespace Steinberg::Vst {
namespace {

void copyText(String128 destination, const TChar* source)
{
    destination[0] = 0;
    if (source)
        UString(destination, str16BufferSize(String128)).assign(source);
}

void printNumber(String128 string, double value, int32 precision)
{
    if (!UString(string, str16BufferSize(String128)).printFloat(value, precision))
        string[0] = 0;
}

} // namespace

NoteExpressionType::NoteExpressionType(NoteExpressionTypeID typeId, const TChar* title,
                                       const TChar* shortTitle, const TChar* units, int32 unitId,
                                       NoteExpressionValue defaultValue, NoteExpressionValue minimum,
                                       NoteExpressionValue maximum, int32 stepCount, int32 flags,
                                       int32 precision)
: info{}
, precision(precision)
{
    info.typeId = typeId;
    copyText(info.title, title);
    copyText(info.shortTitle, shortTitle);
    copyText(info.units, units);
    info.unitId = unitId;
    info.valueDesc.defaultValue = defaultValue;
    info.valueDesc.minimum = minimum;
    info.valueDesc.maximum = maximum;
    info.valueDesc.stepCount = stepCount;
    info.associatedParameterId = kNoParamId;
    info.flags = flags;
}

tresult NoteExpressionType::getStringByValue(NoteExpressionValue valueNormalized, String128 string)
{
    printNumber(string, valueNormalized, precision);
    return kResultOk;
}

tresult NoteExpressionType::getValueByString(const TChar* string, NoteExpressionValue& valueNormalized)
{
    double value = 0;
    if (!scanNumber(string, value) || value < 0.0 || value > 1.0)
        return kResultFalse;
    valueNormalized = value;
    return kResultOk;
}

RangeNoteExpressionType::RangeNoteExpressionType(NoteExpressionTypeID typeId, const TChar* title,
                                                 const TChar* shortTitle, const TChar* units, int32 unitId,
                                                 NoteExpressionValue defaultPlainValue,
                                                 NoteExpressionValue plainMin, NoteExpressionValue plainMax,
                                                 int32 flags, int32 precision)
: NoteExpressionType(typeId, title, shortTitle, units, unitId,
                     (defaultPlainValue - plainMin) / (plainMax - plainMin), 0.0, 1.0, 0, flags, precision)
, plainMin(plainMin)
, plainMax(plainMax)
{
}

tresult RangeNoteExpressionType::getStringByValue(NoteExpressionValue valueNormalized, String128 string)
{
    printNumber(string, plainMin + valueNormalized * (plainMax - plainMin), precision);
    return kResultOk;
}

tresult RangeNoteExpressionType::getValueByString(const TChar* string, NoteExpressionValue& valueNormalized)
{
    double plain = 0;
    if (!scanNumber(string, plain) || plain < std::min(plainMin, plainMax) ||
        plain > std::max(plainMin, plainMax))
        return kResultFalse;
    valueNormalized = (plain - plainMin) / (plainMax - plainMin);
    return kResultOk;
}

NoteExpressionTypeContainer::NoteExpressionTypeContainer() = default;

bool NoteExpressionTypeContainer::addNoteExpressionType(NoteExpressionType* noteExpType)
{
    if (!noteExpType)
        return false;
    noteExps.emplace_back(noteExpType, false);
    return true;
}

void NoteExpressionTypeContainer::removeAll()
{
    noteExps.clear();
}

NoteExpressionTypeContainer::NoteExprTypeVector::const_iterator
NoteExpressionTypeContainer::find(NoteExpressionTypeID typeId) const
{
    return std::find_if(noteExps.begin(), noteExps.end(),
                        [typeId](const auto& type) { return type->getInfo().typeId == typeId; });
}

NoteExpressionType* NoteExpressionTypeContainer::getNoteExpressionType(NoteExpressionTypeID typeId)
{
    auto it = find(typeId);
    return it == noteExps.end() ? nullptr : it->get();
}

int32 NoteExpressionTypeContainer::getNoteExpressionCount()
{
    return static_cast<int32>(noteExps.size());
}

tresult NoteExpressionTypeContainer::getNoteExpressionInfo(int32 noteExpressionIndex,
                                                           NoteExpressionTypeInfo& info)
{
    if (noteExpressionIndex < 0 || noteExpressionIndex >= getNoteExpressionCount())
        return kResultFalse;
    info = noteExps[static_cast<size_t>(noteExpressionIndex)]->getInfo();
    return kResultOk;
}

tresult NoteExpressionTypeContainer::getNoteExpressionStringByValue(NoteExpressionTypeID id,
                                                                    NoteExpressionValue valueNormalized,
                                                                    String128 string)
{
    NoteExpressionType* type = getNoteExpressionType(id);
    return type ? type->getStringByValue(valueNormalized, string) : kResultFalse;
}

tresult NoteExpressionTypeContainer::getNoteExpressionValueByString(NoteExpressionTypeID id,
                                                                    const TChar* string,
                                                                    NoteExpressionValue& valueNormalized)
{
    NoteExpressionType* type = getNoteExpressionType(id);
    return type ? type->getValueByString(string, valueNormalized) : kResultFalse;
}

} // namespace Steinberg::Vst
