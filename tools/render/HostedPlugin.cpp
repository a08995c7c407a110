#include "tools/render/HostedPlugin.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/componenthandler.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cstring>
#include <vector>

namespace Taviro::Render
{

using namespace Steinberg;
using namespace Steinberg::Vst;

HostedPlugin::HostedPlugin(const std::string& bundlePath)
{
    try
    {
        load(bundlePath);
    }
    catch (...)
    {
        release();
        throw;
    }
}

void HostedPlugin::load(const std::string& bundlePath)
{
    std::string reason;
    loadedModule = VST3::Hosting::Module::create(bundlePath, reason);
    if (!loadedModule)
        throw HostError("cannot load the plug-in " + bundlePath + ": " + reason);

    const auto& factory = loadedModule->getFactory();
    bool found = false;
    for (const auto& info : factory.classInfos())
    {
        if (info.category == kVstAudioEffectClass)
        {
            componentInfo = info;
            found = true;
            break;
        }
    }
    if (!found)
        throw HostError("the plug-in " + bundlePath + " offers no audio processor class");

    componentObject = factory.createInstance<IComponent>(componentInfo.cid);
    if (!componentObject)
        throw HostError("the plug-in " + bundlePath + " could not create its processor \"" +
                        componentInfo.name + "\"");
    hostApplication = std::make_unique<HostApplication>();
    if (componentObject->initialize(hostApplication.get()) != kResultOk)
        throw HostError("the processor \"" + componentInfo.name + "\" failed to initialise");
    componentInitialized = true;
    processorObject = FUnknownPtr<IAudioProcessor>(componentObject);
    if (!processorObject)
        throw HostError("\"" + componentInfo.name + "\" is not an audio processor");

    createController();
}

void HostedPlugin::createController()
{
    TUID controllerId{};
    if (componentObject->getControllerClassId(controllerId) != kResultOk)
        return;
    controllerObject = loadedModule->getFactory().createInstance<IEditController>(controllerId);
    if (!controllerObject)
        return;
    if (controllerObject->initialize(hostApplication.get()) != kResultOk)
    {
        controllerObject = nullptr;
        return;
    }
    controllerInitialized = true;
    componentHandler = owned(new ComponentHandler());
    controllerObject->setComponentHandler(componentHandler);
    connect();

    // As after loading a project: the controller takes its values from the processor's state.
    IPtr<MemoryStream> state = owned(new MemoryStream());
    if (componentObject->getState(state) == kResultOk)
    {
        state->seek(0, IBStream::kIBSeekSet, nullptr);
        controllerObject->setComponentState(state);
    }
    midiMapping = FUnknownPtr<IMidiMapping>(controllerObject);
}

void HostedPlugin::connect()
{
    FUnknownPtr<IConnectionPoint> fromComponent(componentObject);
    FUnknownPtr<IConnectionPoint> fromController(controllerObject);
    if (!fromComponent || !fromController)
        return;
    componentConnection = fromComponent;
    controllerConnection = fromController;
    componentConnection->connect(controllerConnection);
    controllerConnection->connect(componentConnection);
}

void HostedPlugin::disconnect()
{
    if (componentConnection && controllerConnection)
    {
        componentConnection->disconnect(controllerConnection);
        controllerConnection->disconnect(componentConnection);
    }
    componentConnection = nullptr;
    controllerConnection = nullptr;
}

void HostedPlugin::startProcessing(const ProcessingSetup& setup)
{
    const int32 sampleSize = setup.doublePrecision ? kSample64 : kSample32;
    if (processorObject->canProcessSampleSize(sampleSize) != kResultTrue)
        throw HostError("\"" + componentInfo.name + "\" cannot process " +
                        (setup.doublePrecision ? "64" : "32") + "-bit samples");

    // Every output stereo, no inputs: the layout an instrument with stereo parts expects.
    const int32 outputs = componentObject->getBusCount(kAudio, kOutput);
    std::vector<SpeakerArrangement> stereo(static_cast<std::size_t>(outputs), SpeakerArr::kStereo);
    processorObject->setBusArrangements(nullptr, 0, stereo.data(), outputs);

    ProcessSetup processSetup{setup.realtime ? kRealtime : kOffline, sampleSize, setup.blockSize,
                              static_cast<SampleRate>(setup.sampleRate)};
    if (processorObject->setupProcessing(processSetup) != kResultOk)
        throw HostError("\"" + componentInfo.name + "\" refused " + std::to_string(setup.sampleRate) +
                        " Hz with " + std::to_string(setup.blockSize) + "-sample blocks");

    for (int32 bus = 0; bus < outputs; ++bus)
        componentObject->activateBus(kAudio, kOutput, bus, true);
    if (componentObject->getBusCount(kEvent, kInput) > 0)
        componentObject->activateBus(kEvent, kInput, 0, true);

    if (componentObject->setActive(true) != kResultOk)
        throw HostError("\"" + componentInfo.name + "\" failed to activate");
    active = true;
    processorObject->setProcessing(true); // plug-ins without real-time needs may answer kNotImplemented
    processing = true;
}

void HostedPlugin::stopProcessing()
{
    if (processing)
        processorObject->setProcessing(false);
    processing = false;
    if (active)
        componentObject->setActive(false);
    active = false;
}

void HostedPlugin::setComponentHandler(IPtr<IComponentHandler> handler)
{
    if (!controllerObject)
        return;
    componentHandler = handler;
    controllerObject->setComponentHandler(componentHandler);
}

HostedPlugin::~HostedPlugin()
{
    release();
}

void HostedPlugin::release()
{
    stopProcessing();
    disconnect();
    midiMapping = nullptr;
    if (controllerObject)
    {
        controllerObject->setComponentHandler(nullptr);
        if (controllerInitialized)
            controllerObject->terminate();
    }
    controllerObject = nullptr;
    processorObject = nullptr;
    if (componentObject && componentInitialized)
        componentObject->terminate();
    componentObject = nullptr;
    componentHandler = nullptr;
    hostApplication.reset();
    // The module goes last, after every object it made is released.
}

std::optional<std::uint32_t> HostedPlugin::controllerAssignment(int channel, int controller) const
{
    if (!midiMapping)
        return std::nullopt;
    ParamID id = kNoParamId;
    if (midiMapping->getMidiControllerAssignment(0, static_cast<int16>(channel),
                                                 static_cast<CtrlNumber>(controller), id) != kResultOk)
        return std::nullopt;
    return id;
}

} // namespace Taviro::Render
