// The controller's reading of the processor's state: bytes -> setComponentState on a fresh
// controller, then every parameter's normalised value must lie within 0..1 and have a text.
#include "FuzzCheck.h"
#include "source/controller/ControllerWithUI.h"
#include "tests/support/ByteStream.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cstdint>
#include <cstdio>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Fuzz::isNormalized;
using Taviro::Fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HostApplication host;
    IPtr<ControllerWithUI> controller = owned(new ControllerWithUI);
    require(controller->initialize(&host) == kResultOk, "the controller initialises");

    Taviro::Test::ByteStream stream(std::vector<unsigned char>(data, data + size));
    controller->setComponentState(&stream);

    for (int32 i = 0; i < controller->getParameterCount(); ++i)
    {
        ParameterInfo info{};
        require(controller->getParameterInfo(i, info) == kResultOk, "every parameter has its info");
        const ParamValue value = controller->getParamNormalized(info.id);
        if (!isNormalized(value))
            std::fprintf(stderr, "parameter %u holds %g\n", info.id, value);
        require(isNormalized(value), "every parameter's normalised value lies within 0..1");
        String128 text{};
        require(controller->getParamStringByValue(info.id, value, text) == kResultOk,
                "every parameter's value has a text");
        require(tstrlen(text) < 128, "a parameter's text fits its string");
    }
    controller->terminate();
    return 0;
}
