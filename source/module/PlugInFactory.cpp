// GetPluginFactory: the module's one factory with the classes it offers.

#include "source/module/ClassIds.h"
#include "source/module/Version.h"
#include "source/controller/ControllerWithUI.h"
#include "source/processor/ProcessorWithUIController.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/main/pluginfactory.h"

#include <new>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

struct ClassDescription
{
    const FUID& cid;
    const char8* category;
    int32 classFlags;
    const char8* subCategories;
    CPluginFactory::CreateFunction create;
};

// The classes the factory offers, in the order hosts see them: the processor first, then its
// controller.
const ClassDescription kClasses[] = {
    {kProcessorWithUIControllerUID, kVstAudioEffectClass, kDistributable, kInstrumentSubCategories,
     ProcessorWithUIController::createInstance},
    {kControllerWithUIUID, kVstComponentControllerClass, 0, "", ControllerWithUI::createInstance},
};

CPluginFactory* makeFactory()
{
    static const PFactoryInfo info(kVendor, kVendorUrl, kVendorEmail, PFactoryInfo::kUnicode);
    auto* factory = new (std::nothrow) CPluginFactory(info);
    if (!factory)
        return nullptr;
    for (const ClassDescription& description : kClasses)
    {
        PClassInfo2 classInfo(description.cid.toTUID(), PClassInfo::kManyInstances, description.category,
                              kPlugInName, description.classFlags, description.subCategories, "",
                              kVersionString, kSdkVersionString);
        factory->registerClass(&classInfo, description.create);
    }
    return factory;
}

} // namespace
} // namespace Steinberg::Vst::TaviroPlugIn

// Made on the first call; later calls hand out the same factory with one more reference. When
// the host has released it, the next call makes a new one.
SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
    using namespace Steinberg;
    if (gPluginFactory)
    {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    gPluginFactory = Vst::TaviroPlugIn::makeFactory();
    return gPluginFactory;
}
