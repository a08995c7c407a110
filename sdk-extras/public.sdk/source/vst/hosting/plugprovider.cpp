#include "public.sdk/source/vst/hosting/plugprovider.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/common/memorystream.h"

namespace Steinberg::Vst {

std::unique_ptr<PlugProvider> PlugProvider::create(const VST3::Hosting::PluginFactory& factory,
                                                   const TUID componentClassId, FUnknown* hostContext,
                                                   std::string& errorDescription)
{
    std::unique_ptr<PlugProvider> provider(new PlugProvider());
    provider->component = factory.createInstance<IComponent>(componentClassId);
    if (!provider->component)
    {
        errorDescription = "the factory cannot create the component";
        return nullptr;
    }
    if (provider->component->initialize(hostContext) != kResultOk)
    {
        errorDescription = "the component does not initialise";
        provider->component = nullptr;
        return nullptr;
    }
    provider->processor = FUnknownPtr<IAudioProcessor>(provider->component.get());

    TUID controllerClassId{};
    if (provider->component->getControllerClassId(controllerClassId) == kResultOk)
        provider->controller = factory.createInstance<IEditController>(controllerClassId);
    if (!provider->controller)
    {
        provider->controller = FUnknownPtr<IEditController>(provider->component.get());
        provider->controllerIsComponent = static_cast<bool>(provider->controller);
    }
    else if (provider->controller->initialize(hostContext) != kResultOk)
    {
        provider->controller = nullptr;
    }

    if (provider->controller)
    {
        provider->connect();
        provider->synchronizeControllerState();
    }
    return provider;
}

void PlugProvider::connect()
{
    if (controllerIsComponent)
        return;
    auto componentPoint = FUnknownPtr<IConnectionPoint>(component.get());
    auto controllerPoint = FUnknownPtr<IConnectionPoint>(controller.get());
    if (!componentPoint || !controllerPoint)
        return;
    componentPoint->connect(controllerPoint);
    controllerPoint->connect(componentPoint);
    connected = true;
}

bool PlugProvider::synchronizeControllerState()
{
    if (!controller || controllerIsComponent)
        return false;
    auto stream = owned(new MemoryStream());
    if (component->getState(stream) != kResultOk)
        return false;
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    return controller->setComponentState(stream) == kResultOk;
}

PlugProvider::~PlugProvider()
{
    if (connected)
    {
        auto componentPoint = FUnknownPtr<IConnectionPoint>(component.get());
        auto controllerPoint = FUnknownPtr<IConnectionPoint>(controller.get());
        componentPoint->disconnect(controllerPoint);
        controllerPoint->disconnect(componentPoint);
    }
    if (controller && !controllerIsComponent)
        controller->terminate();
    controller = nullptr;
    processor = nullptr;
    if (component)
        component->terminate();
    component = nullptr;
}

} // namespace Steinberg::Vst
