#include "public.sdk/source/main/pluginfactory.h"

#include "pluginterfaces/base/ustring.h"

#include <cstring>

namespace Steinberg {

IPluginFactory* gPluginFactory = nullptr;

namespace {

// Unicode class strings turned back into 8-bit for the older factory versions.
void toAscii(PClassInfo2& out, const PClassInfoW& in)
{
    out = PClassInfo2();
    std::memcpy(out.cid, in.cid, sizeof(TUID));
    out.cardinality = in.cardinality;
    strncpy8(out.category, in.category, PClassInfo::kCategorySize);
    UString(const_cast<char16*>(in.name), PClassInfo::kNameSize).toAscii(out.name, PClassInfo::kNameSize);
    out.classFlags = in.classFlags;
    strncpy8(out.subCategories, in.subCategories, PClassInfo2::kSubCategoriesSize);
    UString(const_cast<char16*>(in.vendor), PClassInfoW::kVendorSize).toAscii(out.vendor, PClassInfo2::kVendorSize);
    UString(const_cast<char16*>(in.version), PClassInfoW::kVersionSize)
        .toAscii(out.version, PClassInfo2::kVersionSize);
    UString(const_cast<char16*>(in.sdkVersion), PClassInfoW::kVersionSize)
        .toAscii(out.sdkVersion, PClassInfo2::kVersionSize);
}

} // namespace

IMPLEMENT_REFCOUNT(CPluginFactory)

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
    QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
    QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
    *obj = nullptr;
    return kNoInterface;
}

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info)
{
    FUNKNOWN_CTOR
}

CPluginFactory::~CPluginFactory()
{
    if (gPluginFactory == this)
        gPluginFactory = nullptr;
    if (hostContext)
        hostContext->release();
    FUNKNOWN_DTOR
}

bool CPluginFactory::addEntry(ClassEntry&& entry)
{
    if (!entry.createFunc || isClassRegistered(FUID::fromTUID(entry.info8.cid)))
        return false;
    classes.push_back(std::move(entry));
    return true;
}

bool CPluginFactory::registerClass(const PClassInfo* info, CreateFunction createFunc, void* context)
{
    if (!info)
        return false;
    PClassInfo2 info2(info->cid, info->cardinality, info->category, info->name, 0, nullptr, nullptr, nullptr,
                      nullptr);
    return registerClass(&info2, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction createFunc, void* context)
{
    if (!info)
        return false;
    ClassEntry entry{*info, PClassInfoW(), createFunc, context};
    entry.info16.fromAscii(*info);
    return addEntry(std::move(entry));
}

bool CPluginFactory::registerClass(const PClassInfoW* info, CreateFunction createFunc, void* context)
{
    if (!info)
        return false;
    ClassEntry entry{PClassInfo2(), *info, createFunc, context};
    toAscii(entry.info8, *info);
    return addEntry(std::move(entry));
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const
{
    for (const auto& entry : classes)
        if (FUnknownPrivate::iidEqual(entry.info8.cid, cid.toTUID()))
            return true;
    return false;
}

void CPluginFactory::removeAllClasses()
{
    classes.clear();
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const
{
    if (index < 0 || index >= static_cast<int32>(classes.size()))
        return nullptr;
    return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
    if (!info)
        return kInvalidArgument;
    *info = factoryInfo;
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
    return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
    const ClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = PClassInfo(entry->info8.cid, entry->info8.cardinality, entry->info8.category, entry->info8.name);
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
    const ClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = entry->info8;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
    const ClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = entry->info16;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid)
        return kInvalidArgument;
    for (const auto& entry : classes)
    {
        if (!FUnknownPrivate::iidEqual(entry.info8.cid, cid))
            continue;
        FUnknown* instance = entry.createFunc(entry.context);
        if (!instance)
            return kOutOfMemory;
        // The interface query adds the reference the caller gets; the creation's own goes.
        tresult result = instance->queryInterface(iid, obj);
        instance->release();
        if (result != kResultOk)
        {
            *obj = nullptr;
            return kNoInterface;
        }
        return kResultOk;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* context)
{
    if (context)
        context->addRef();
    if (hostContext)
        hostContext->release();
    hostContext = context;
    return kResultOk;
}

} // namespace Steinberg
