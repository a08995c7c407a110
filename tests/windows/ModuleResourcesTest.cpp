// The Windows module's resources as a host process finds them: every recording by type "WAVE" and
// integer ID, the UI description by type "DATA" and the bitmaps by type "PNG" under their upper-case
// names, each with the bytes of the file the build made it from; and the resource store serving the
// recordings from the module's instance handle. Also the host library's loader on the module: by its
// bundle or its DLL, and its answer to paths it cannot load.
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/hosting/module.h"
#include "source/samples/ResourceStore.h"
#include "source/samples/WaveSample.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace Steinberg::Vst::TaviroPlugIn;
namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

const fs::path kModule = fs::path(TAVIRO_BUNDLE_DIR) / "Contents" / "x86_64-win" / "TaviroPlugIn.vst3";
// The files the resources were made from: the Linux bundle's recordings and bitmaps, the UI description.
const fs::path kSourceResources = fs::path(TAVIRO_LINUX_BUNDLE_DIR) / "Contents" / "Resources";
const fs::path kUIDescription = TAVIRO_UI_DESCRIPTION;

// The module mapped for its resources only, as a resource editor maps it.
HMODULE module()
{
    static HMODULE handle = LoadLibraryExW(kModule.wstring().c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return handle;
}

Bytes fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The resource's bytes; empty when FindResourceA does not find it.
Bytes resourceBytes(const char* type, const char* name)
{
    HRSRC info = FindResourceA(module(), name, type);
    if (!info)
        return {};
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module(), info)));
    return data ? Bytes(data, data + SizeofResource(module(), info)) : Bytes{};
}

BOOL CALLBACK collectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<int>*>(ids)->insert(static_cast<int>(reinterpret_cast<uintptr_t>(name)));
    return TRUE;
}

TEST(ModuleResources, EveryRecordingByTypeAndIdWithTheBytesOfItsFileAndNoOther)
{
    ASSERT_NE(module(), nullptr) << kModule;
    std::set<int> fileIds;
    for (const auto& entry : fs::directory_iterator(kSourceResources / "WAVE"))
    {
        const int id = std::stoi(entry.path().stem().string());
        fileIds.insert(id);
        const Bytes expected = fileBytes(entry.path());
        const Bytes found = resourceBytes("WAVE", MAKEINTRESOURCEA(id));
        EXPECT_EQ(found.size(), expected.size()) << id;
        EXPECT_TRUE(found == expected) << id;
    }
    EXPECT_EQ(fileIds.size(), 142u);
    EXPECT_GE(*fileIds.begin(), 101);
    EXPECT_LE(*fileIds.rbegin(), 250);

    std::set<int> resourceIds;
    EnumResourceNamesA(module(), "WAVE", collectId, reinterpret_cast<LONG_PTR>(&resourceIds));
    EXPECT_EQ(resourceIds, fileIds);
}

TEST(ModuleResources, UIDescriptionAndBitmapsByTypeAndName)
{
    ASSERT_NE(module(), nullptr) << kModule;
    const Bytes description = fileBytes(kUIDescription);
    ASSERT_FALSE(description.empty());
    EXPECT_TRUE(resourceBytes("DATA", "TAVIROPLUGIN.UIDESC") == description);
    // Resource names compare without regard to case: the editor asks by the file's own name.
    EXPECT_TRUE(resourceBytes("DATA", "TaviroPlugIn.uidesc") == description);

    for (const char* name : {"background", "groupframe", "knob", "knob2", "knob3", "tavirologo", "about"})
        for (const std::string& file : {std::string(name) + ".png", std::string(name) + "@2x.png"})
        {
            std::string upper = file;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            const Bytes expected = fileBytes(kSourceResources / file);
            ASSERT_FALSE(expected.empty()) << file;
            const Bytes found = resourceBytes("PNG", upper.c_str());
            EXPECT_EQ(found.size(), expected.size()) << upper;
            EXPECT_TRUE(found == expected) << upper;
        }
    EXPECT_TRUE(resourceBytes("PNG", "MISSING.PNG").empty());
}

TEST(ModuleResources, TheStoreServesTheModulesRecordingsInPlaceAndTheReaderTakesThemAll)
{
    ASSERT_NE(module(), nullptr) << kModule;
    openResourceStore(module());
    HRSRC info = FindResourceA(module(), MAKEINTRESOURCEA(101), "WAVE");
    ASSERT_NE(info, nullptr);
    const ResourceBytes first = findResource("WAVE", 101);
    EXPECT_EQ(first.data, LockResource(LoadResource(module(), info))) << "handed out in place, not copied";
    EXPECT_EQ(first.size, SizeofResource(module(), info));

    int accepted = 0;
    for (const auto& entry : fs::directory_iterator(kSourceResources / "WAVE"))
    {
        WaveSample sample;
        accepted += loadWaveResource(sample, static_cast<uint16_t>(std::stoi(entry.path().stem().string())));
    }
    EXPECT_EQ(accepted, 142);
    for (uint16_t missing : {100, 251, 65535})
        EXPECT_EQ(findResource("WAVE", missing).size, 0u) << missing;
    EXPECT_EQ(findResource("PNG", 101).size, 0u);
    EXPECT_EQ(findResource(nullptr, 101).size, 0u);
    closeResourceStore();
    EXPECT_EQ(findResource("WAVE", 101).size, 0u) << "a closed store searches this program, which has none";
}

// Hosts name the bundle folder or the DLL inside it; either gives the module's working factory.
// Paths that hold no plug-in end in a message, never in a crash.
TEST(ModuleLoader, TakesTheBundleOrItsDllAndReportsWhatItCannotLoad)
{
    for (const fs::path& path : {fs::path(TAVIRO_BUNDLE_DIR), kModule})
    {
        std::string error;
        auto loaded = VST3::Hosting::Module::create(path.string(), error);
        ASSERT_TRUE(loaded) << path << ": " << error;
        EXPECT_EQ(loaded->getPath(), path.string());
        const auto classes = loaded->getFactory().classInfos();
        ASSERT_EQ(classes.size(), 2u) << path;
        EXPECT_EQ(classes[0].category, "Audio Module Class");
        EXPECT_EQ(classes[0].name, "Taviro PlugIn");
        EXPECT_TRUE(loaded->getFactory().createInstance<Steinberg::Vst::IComponent>(classes[0].cid)) << path;
    }

    const fs::path build = fs::path(TAVIRO_BUNDLE_DIR).parent_path();
    const std::pair<fs::path, std::string> failures[] = {
        {build / "missing" / "TaviroPlugIn.vst3", "cannot load"},  // nothing there
        {build / "missing.vst3" / "", "cannot load"},              // a folder path, no folder
        {fs::path(TAVIRO_BUNDLE_DIR) / "Contents", "cannot load"}, // a folder, no bundle layout
        {kUIDescription, "cannot load"},                           // a file, but no DLL
        {"kernel32.dll", "exports no GetPluginFactory"},           // a DLL, but no plug-in
    };
    for (const auto& [path, message] : failures)
    {
        std::string error;
        EXPECT_FALSE(VST3::Hosting::Module::create(path.string(), error)) << path;
        EXPECT_NE(error.find(message), std::string::npos) << path << ": " << error;
    }
}

} // namespace
