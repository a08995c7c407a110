// The editor's resources on Windows: those linked into the module, the UI description as type "DATA"
// named "TAVIROPLUGIN.UIDESC", each bitmap as type "PNG" named after its file in upper case
// ("KNOB@2X.PNG").
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "public.sdk/source/main/moduleinit.h"
#include "source/editor/EditorResources.h"
#include "source/editor/ResourceLocation.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

std::string& overriddenFolder()
{
    static std::string folder;
    return folder;
}

std::optional<std::string> moduleResource(const std::string& fileName)
{
    std::string name = fileName;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    const char* type = fileName == kUIDescriptionFile ? "DATA" : "PNG";
    // The instance handle DllMain keeps; null in a program that links the editor itself, which then
    // searches its own resources.
    const auto module = static_cast<HMODULE>(moduleHandle);
    HRSRC info = ::FindResourceA(module, name.c_str(), type);
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes)
        return std::nullopt;
    return std::string(static_cast<const char*>(bytes), ::SizeofResource(module, info));
}

} // namespace

ResourceReader editorResourceReader()
{
    if (!overriddenFolder().empty())
        return folderReader(overriddenFolder());
    return moduleResource;
}

void setEditorResourceFolder(const std::string& folder)
{
    overriddenFolder() = folder;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
