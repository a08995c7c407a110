#pragma once

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/hosting/module.h"
#include "tools/render/HostError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Steinberg::Vst
{
class HostApplication;
}

namespace Taviro::Render
{

struct ProcessingSetup
{
    int sampleRate = 48000;
    int blockSize = 512;
    bool doublePrecision = false;
    bool realtime = false; // live playing rather than an offline render
};

// One instrument from a VST 3 bundle, set up the way a DAW does it: the processor component and
// its edit controller are created through the factory and initialised, connected, and the
// controller learns the processor's state. `startProcessing` then negotiates the buses, sets up
// processing, activates the outputs and the event input and switches the processor on. Teardown
// runs in the reverse order. Failures throw HostError with a message for the user.
class HostedPlugin
{
  public:
    explicit HostedPlugin(const std::string& bundlePath);
    ~HostedPlugin();

    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    void startProcessing(const ProcessingSetup& setup);
    void stopProcessing();

    const VST3::Hosting::Module& module() const { return *loadedModule; }
    const VST3::Hosting::ClassInfo& componentClass() const { return componentInfo; }
    Steinberg::Vst::IComponent& component() const { return *componentObject; }
    Steinberg::Vst::IAudioProcessor& processor() const { return *processorObject; }
    // Null when the bundle offers no controller for the component.
    Steinberg::Vst::IEditController* controller() const { return controllerObject.get(); }

    // Replaces the host's side of the controller's edits (by default one that only records them).
    void setComponentHandler(Steinberg::IPtr<Steinberg::Vst::IComponentHandler> handler);

    // The parameter that MIDI controller `controller` of `channel` drives on the event input, if any.
    std::optional<std::uint32_t> controllerAssignment(int channel, int controller) const;

  private:
    void load(const std::string& bundlePath);
    void release();
    void createController();
    void connect();
    void disconnect();

    VST3::Hosting::Module::Ptr loadedModule;
    VST3::Hosting::ClassInfo componentInfo;
    // The SDK's host context is not reference counted: it is owned here and outlives the plug-in.
    std::unique_ptr<Steinberg::Vst::HostApplication> hostApplication;
    Steinberg::IPtr<Steinberg::Vst::IComponentHandler> componentHandler;
    Steinberg::IPtr<Steinberg::Vst::IComponent> componentObject;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processorObject;
    Steinberg::IPtr<Steinberg::Vst::IEditController> controllerObject;
    Steinberg::IPtr<Steinberg::Vst::IMidiMapping> midiMapping;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentConnection;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> controllerConnection;
    bool componentInitialized = false;
    bool controllerInitialized = false;
    bool active = false;
    bool processing = false;
};

} // namespace Taviro::Render
