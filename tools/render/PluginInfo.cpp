#include "tools/render/PluginInfo.h"

#include "pluginterfaces/vst/ivstunits.h"
#include "source/common/Utf8.h"

#include <cstdio>
#include <string>

namespace Taviro::Render
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

// Channel units are named by four ASCII letters ("ch00"); show those as hex, small ones plainly.
std::string unitIdText(UnitID id)
{
    if (id > -0x10000 && id < 0x10000)
        return std::to_string(id);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
    return text;
}

const char* busTypeName(BusType type)
{
    return type == kMain ? "main" : "auxiliary";
}

void printBuses(IComponent& component, MediaType media, BusDirection direction, const char* what,
                std::ostream& out)
{
    for (int32 i = 0; i < component.getBusCount(media, direction); ++i)
    {
        BusInfo info{};
        if (component.getBusInfo(media, direction, i, info) != kResultOk)
            continue;
        out << "  " << what << " " << i << ": \"" << utf16ToUtf8(info.name) << "\", " << info.channelCount
            << (media == kAudio ? " channel(s), " : " MIDI channel(s), ") << busTypeName(info.busType)
            << ((info.flags & BusInfo::kDefaultActive) ? ", active by default" : "") << "\n";
    }
}

void printProgramList(IUnitInfo& units, const ProgramListInfo& list, std::ostream& out)
{
    out << "  list " << list.id << " \"" << utf16ToUtf8(list.name) << "\", " << list.programCount << " program(s): ";
    for (int32 program = 0; program < list.programCount; ++program)
    {
        String128 name{};
        units.getProgramName(list.id, program, name);
        out << (program ? ", " : "") << program << " " << utf16ToUtf8(name);
        if (units.hasProgramPitchNames(list.id, program) != kResultTrue)
            continue;
        out << " (keys:";
        const char* separator = " ";
        for (int16 pitch = 0; pitch < 128; ++pitch)
        {
            String128 pitchName{};
            if (units.getProgramPitchName(list.id, program, pitch, pitchName) == kResultOk)
            {
                out << separator << pitch << " " << utf16ToUtf8(pitchName);
                separator = ", ";
            }
        }
        out << ")";
    }
    out << "\n";
}

} // namespace

void printPluginInfo(const HostedPlugin& plugin, std::ostream& out)
{
    const auto& factory = plugin.module().getFactory();
    PFactoryInfo vendor = factory.info();
    out << "Module: " << plugin.module().getPath() << "\n";
    out << "Vendor: " << vendor.vendor;
    if (*vendor.url)
        out << ", " << vendor.url;
    if (*vendor.email)
        out << ", " << vendor.email;
    out << "\nClasses:\n";
    for (const auto& info : factory.classInfos())
    {
        out << "  \"" << info.name << "\": " << info.category;
        if (!info.subCategories.empty())
            out << " (" << info.subCategories << ")";
        if (!info.version.empty())
            out << ", version " << info.version;
        if (!info.sdkVersion.empty())
            out << ", " << info.sdkVersion;
        out << "\n";
    }

    IComponent& component = plugin.component();
    out << "Buses of \"" << plugin.componentClass().name << "\":\n";
    printBuses(component, kAudio, kInput, "audio input", out);
    printBuses(component, kAudio, kOutput, "audio output", out);
    printBuses(component, kEvent, kInput, "event input", out);
    printBuses(component, kEvent, kOutput, "event output", out);

    IEditController* controller = plugin.controller();
    if (!controller)
    {
        out << "No edit controller.\n";
        return;
    }
    out << "Parameters: " << controller->getParameterCount() << "\n";

    FUnknownPtr<IUnitInfo> units(controller);
    if (!units)
    {
        out << "No units.\n";
        return;
    }
    out << "Units: " << units->getUnitCount() << "\n";
    for (int32 i = 0; i < units->getUnitCount(); ++i)
    {
        UnitInfo unit{};
        if (units->getUnitInfo(i, unit) != kResultOk)
            continue;
        out << "  " << unitIdText(unit.id) << " \"" << utf16ToUtf8(unit.name) << "\", parent "
            << unitIdText(unit.parentUnitId);
        if (unit.programListId != kNoProgramListId)
            out << ", program list " << unit.programListId;
        out << "\n";
    }
    out << "Program lists: " << units->getProgramListCount() << "\n";
    for (int32 i = 0; i < units->getProgramListCount(); ++i)
    {
        ProgramListInfo list{};
        if (units->getProgramListInfo(i, list) == kResultOk)
            printProgramList(*units, list, out);
    }
}

} // namespace Taviro::Render
