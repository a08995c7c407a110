#include "tools/play/Player.h"

#include "tools/play/StateFile.h"
#include "tools/render/BundleLocation.h"

#include "base/source/fobject.h"
#include "source/common/Utf8.h"

namespace Taviro::Play {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The host's side of the editor's edits: each performed value goes to the processor through the
// lock-free queue. (The controller holds the value already: the editor set it there.)
class EditForwarder : public FObject, public IComponentHandler
{
public:
    explicit EditForwarder(LiveProcessor& live) : live(live) {}

    tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override
    {
        return live.pushEdit({id, value}) ? kResultOk : kResultFalse;
    }
    tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }

    OBJ_METHODS(EditForwarder, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(IComponentHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    LiveProcessor& live;
};

} // namespace

Player::Player(const PlayOptions& options, const std::string& argumentZero, std::ostream& warnings)
    : warnings(warnings), statePath(options.statePath.empty() ? defaultStatePath() : options.statePath)
{
    hosted = std::make_unique<Render::HostedPlugin>(Render::findBundle(options.pluginPath, argumentZero));
    restoreSavedState();
    live = std::make_unique<LiveProcessor>(*hosted);
    hosted->setComponentHandler(owned(new EditForwarder(*live)));
    jack = std::make_unique<JackClient>(options.clientName, *live,
                                        options.multiOut ? busPortNames() : std::vector<std::string>{});
    rate = jack->sampleRate();
    configure(jack->bufferSize());
    jack->activate();
    if (options.connect)
    {
        const std::string failed = jack->connectToSystem();
        if (!failed.empty())
            warnings << "taviro-play: warning: could not connect " << failed << "\n";
    }
}

Player::~Player()
{
    stopPeriods();
    if (hosted)
        hosted->stopProcessing();
}

// libjack may cancel its process thread wherever it is when the client goes; the plug-in is kept
// out of the last periods so that it is never interrupted inside `process`.
void Player::stopPeriods()
{
    if (live && jack)
        live->pause();
    jack.reset();
}

void Player::restoreSavedState()
{
    try
    {
        if (auto saved = readStateFile(statePath))
            restoreState(*hosted, *saved);
    }
    catch (const StateFileError& error)
    {
        warnings << "taviro-play: warning: " << error.what() << "; starting with the default sound\n";
    }
}

std::vector<std::string> Player::busPortNames() const
{
    std::vector<std::string> names;
    IComponent& component = hosted->component();
    for (int32 bus = 0; bus < component.getBusCount(kAudio, kOutput); ++bus)
    {
        BusInfo info{};
        std::string name = "out " + std::to_string(bus + 1);
        if (component.getBusInfo(kAudio, kOutput, bus, info) == kResultOk && info.name[0])
            name = utf16ToUtf8(reinterpret_cast<const char16_t*>(info.name));
        names.push_back(name + " L");
        names.push_back(name + " R");
    }
    return names;
}

void Player::configure(int frames)
{
    live->pause();
    hosted->stopProcessing();
    live->prepare(frames, rate);
    hosted->startProcessing({rate, frames, false, true});
    blockSize = frames;
    live->resume();
}

void Player::service()
{
    if (auto frames = jack->takeBufferSizeChange(); frames && *frames != blockSize)
        configure(*frames);
    IEditController* controller = hosted->controller();
    live->drainForController([controller](const ParameterChange& change) {
        if (controller)
            controller->setParamNormalized(change.id, change.value);
    });
}

bool Player::finish()
{
    stopPeriods();
    hosted->stopProcessing();
    try
    {
        writeStateFile(statePath, captureState(*hosted));
        return true;
    }
    catch (const StateFileError& error)
    {
        warnings << "taviro-play: " << error.what() << "\n";
        return false;
    }
}

} // namespace Taviro::Play
