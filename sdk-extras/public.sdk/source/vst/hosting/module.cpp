// The platform-independent half of the host-side module loader: the factory as a host sees it and
// the steps every platform's loader shares. module_linux.cpp and module_win32.cpp load the binary.
#include "public.sdk/source/vst/hosting/module.h"

#include "pluginterfaces/base/ustring.h"

#include <cstring>

namespace VST3::Hosting {
namespace {
std::string fromUtf16(const Steinberg::char16* text, Steinberg::int32 size)
{
    char buffer[256] = {};
    Steinberg::UString(const_cast<Steinberg::char16*>(text), size).toAscii(buffer, sizeof(buffer));
    return buffer;
}

std::string boundedString(const char* text, size_t size)
{
    size_t length = 0;
    while (length < size && text[length])
        ++length;
    return std::string(text, length);
}

} // namespace

PluginFactory::PluginFactory(Steinberg::IPtr<Steinberg::IPluginFactory> f) : factory(std::move(f)) {}

Steinberg::PFactoryInfo PluginFactory::info() const
{
    Steinberg::PFactoryInfo result;
    factory->getFactoryInfo(&result);
    return result;
}

std::vector<ClassInfo> PluginFactory::classInfos() const
{
    using namespace Steinberg;
    std::vector<ClassInfo> result;
    FUnknownPtr<IPluginFactory2> factory2(factory.get());
    FUnknownPtr<IPluginFactory3> factory3(factory.get());
    const int32 count = factory->countClasses();
    for (int32 i = 0; i < count; ++i)
    {
        ClassInfo info;
        PClassInfoW infoW;
        PClassInfo2 info2;
        PClassInfo info1;
        if (factory3 && factory3->getClassInfoUnicode(i, &infoW) == kResultOk)
        {
            memcpy(info.cid, infoW.cid, sizeof(TUID));
            info.cardinality = infoW.cardinality;
            info.category = boundedString(infoW.category, sizeof(infoW.category));
            info.name = fromUtf16(infoW.name, PClassInfo::kNameSize);
            info.classFlags = infoW.classFlags;
            info.subCategories = boundedString(infoW.subCategories, sizeof(infoW.subCategories));
            info.vendor = fromUtf16(infoW.vendor, PClassInfoW::kVendorSize);
            info.version = fromUtf16(infoW.version, PClassInfoW::kVersionSize);
            info.sdkVersion = fromUtf16(infoW.sdkVersion, PClassInfoW::kVersionSize);
        }
        else if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk)
        {
            memcpy(info.cid, info2.cid, sizeof(TUID));
            info.cardinality = info2.cardinality;
            info.category = boundedString(info2.category, sizeof(info2.category));
            info.name = boundedString(info2.name, sizeof(info2.name));
            info.classFlags = info2.classFlags;
            info.subCategories = boundedString(info2.subCategories, sizeof(info2.subCategories));
            info.vendor = boundedString(info2.vendor, sizeof(info2.vendor));
            info.version = boundedString(info2.version, sizeof(info2.version));
            info.sdkVersion = boundedString(info2.sdkVersion, sizeof(info2.sdkVersion));
        }
        else if (factory->getClassInfo(i, &info1) == kResultOk)
        {
            memcpy(info.cid, info1.cid, sizeof(TUID));
            info.cardinality = info1.cardinality;
            info.category = boundedString(info1.category, sizeof(info1.category));
            info.name = boundedString(info1.name, sizeof(info1.name));
        }
        else
            continue;
        result.push_back(std::move(info));
    }
    return result;
}

Module::Ptr Module::create(const std::string& bundlePath, std::string& errorDescription)
{
    Ptr module(new Module());
    if (!module->load(bundlePath, errorDescription))
        return nullptr;
    return module;
}

bool Module::takeFactory(const std::string& binary, std::string& errorDescription)
{
    auto getFactory = reinterpret_cast<GetFactoryProc>(getSymbol("GetPluginFactory"));
    if (!getFactory)
    {
        errorDescription = binary + " exports no GetPluginFactory";
        return false;
    }
    Steinberg::IPluginFactory* raw = getFactory();
    if (!raw)
    {
        errorDescription = "GetPluginFactory of " + binary + " returned nothing";
        return false;
    }
    factory = std::make_unique<PluginFactory>(Steinberg::owned(raw));
    return true;
}

} // namespace VST3::Hosting
