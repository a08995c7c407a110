#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

#include <memory>
#include <string>
#include <vector>

namespace VST3::Hosting {

// One class as the factory describes it (from its Unicode information when it has any).
struct ClassInfo
{
    Steinberg::TUID cid{};
    Steinberg::int32 cardinality = 0;
    std::string category;
    std::string name;
    Steinberg::uint32 classFlags = 0;
    std::string subCategories;
    std::string vendor;
    std::string version;
    std::string sdkVersion;
};

// The module's class factory as a host sees it.
class PluginFactory
{
public:
    explicit PluginFactory(Steinberg::IPtr<Steinberg::IPluginFactory> factory);

    Steinberg::IPluginFactory* get() const { return factory.get(); }
    Steinberg::PFactoryInfo info() const;
    std::vector<ClassInfo> classInfos() const;

    // Creates class `cid` and answers interface T of it (null when either fails). The host owns
    // the returned reference.
    template <typename T>
    Steinberg::IPtr<T> createInstance(const Steinberg::TUID cid) const
    {
        void* obj = nullptr;
        if (factory->createInstance(cid, T::iid, &obj) != Steinberg::kResultOk || !obj)
            return nullptr;
        return Steinberg::owned(static_cast<T*>(obj));
    }

private:
    Steinberg::IPtr<Steinberg::IPluginFactory> factory;
};

// A loaded VST 3 bundle: loads its binary (Linux: <bundle>/Contents/x86_64-linux/<name>.so, entered
// through ModuleEntry with the library handle; Windows: <bundle>/Contents/x86_64-win/<name>.vst3 or
// a DLL named directly, entered through InitDll) and takes one reference to its factory.
// Destruction drops the factory reference, leaves the module (ModuleExit, ExitDll) and unloads the
// library, so every object made by the factory must be released before the module goes.
class Module
{
public:
    using Ptr = std::shared_ptr<Module>;

    // `bundlePath` is the path of the "<name>.vst3" folder. Null with a reason on failure.
    static Ptr create(const std::string& bundlePath, std::string& errorDescription);

    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& getPath() const { return path; }
    const PluginFactory& getFactory() const { return *factory; }
    // A symbol that the module exports, or null.
    void* getSymbol(const char* name) const;

private:
    Module() = default;
    // The platform's part: loads and enters the binary, then takeFactory.
    bool load(const std::string& bundlePath, std::string& errorDescription);
    bool takeFactory(const std::string& binary, std::string& errorDescription);

    std::string path;
    void* library = nullptr;
    bool entered = false;
    std::unique_ptr<PluginFactory> factory;
};

// The binary a bundle path names: "<bundle>/Contents/x86_64-linux/<bundle name without .vst3>.so"
// on Linux, "<bundle>/Contents/x86_64-win/<bundle name>" on Windows.
std::string moduleBinaryPath(const std::string& bundlePath);

} // namespace VST3::Hosting
