#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/module.h"

#include <memory>
#include <string>

namespace Steinberg::Vst {

// One plug-in instance set up as a DAW does it: creates the component, initialises it with the
// host context, creates and initialises its edit controller when the factory offers the class the
// component names, connects the two through their connection points, and hands the component's
// state to the controller. Destruction undoes all of it in reverse order. The module must outlive
// the provider, and so must the host context (the SDK's HostApplication is not reference counted:
// keep it as an object of the host's own).
class PlugProvider
{
public:
    // Null with a reason when the component cannot be created or initialised. A controller that
    // is missing or fails is not an error: `getController` then answers null.
    static std::unique_ptr<PlugProvider> create(const VST3::Hosting::PluginFactory& factory,
                                                const TUID componentClassId, FUnknown* hostContext,
                                                std::string& errorDescription);
    ~PlugProvider();
    PlugProvider(const PlugProvider&) = delete;
    PlugProvider& operator=(const PlugProvider&) = delete;

    IComponent* getComponent() const { return component.get(); }
    IAudioProcessor* getProcessor() const { return processor.get(); }
    IEditController* getController() const { return controller.get(); }

    // Copies the component's state into the controller, as after a project load.
    bool synchronizeControllerState();

private:
    PlugProvider() = default;
    void connect();

    IPtr<IComponent> component;
    IPtr<IAudioProcessor> processor;
    IPtr<IEditController> controller;
    bool controllerIsComponent = false; // a single-object plug-in; never the case for ours
    bool connected = false;
};

} // namespace Steinberg::Vst
