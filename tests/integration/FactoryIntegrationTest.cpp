// The module's factory as a host meets it: loaded from the built bundle.

#include "tests/support/HostedPlugIn.h"

#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::kControllerWithUIClassBytes;
using Taviro::Test::kProcessorClassBytes;
using Taviro::Test::loadedBundle;

namespace {

std::vector<unsigned char> bytesOf(const TUID cid)
{
    return std::vector<unsigned char>(cid, cid + sizeof(TUID));
}

TEST(FactoryIntegrationTest, EveryCallHandsOutTheSameFactoryWithOneMoreReference)
{
    auto getFactory = reinterpret_cast<GetFactoryProc>(loadedBundle().getSymbol("GetPluginFactory"));
    ASSERT_NE(getFactory, nullptr);
    IPluginFactory* held = loadedBundle().getFactory().get(); // the loader holds one reference
    IPluginFactory* first = getFactory();
    IPluginFactory* second = getFactory();
    EXPECT_EQ(first, held);
    EXPECT_EQ(second, held);
    // Loader, first and second: three references, so one more makes four.
    EXPECT_EQ(held->addRef(), 4u);
    EXPECT_EQ(held->release(), 3u);
    EXPECT_EQ(second->release(), 2u);
    EXPECT_EQ(first->release(), 1u);
}

TEST(FactoryIntegrationTest, TheFactoryDescribesTheVendor)
{
    PFactoryInfo info = loadedBundle().getFactory().info();
    EXPECT_STREQ(info.vendor, "Orsolen");
    EXPECT_EQ(std::strncmp(info.email, "mailto:", 7), 0) << info.email;
    EXPECT_GT(std::strlen(info.url), 0u);
    EXPECT_EQ(info.flags, 16); // Unicode class information
}

TEST(FactoryIntegrationTest, TheClassesComeInOrderWithTheirIdentifiersInThePlatformLayout)
{
    struct Expected
    {
        std::vector<unsigned char> cid;
        std::string category;
        uint32 classFlags;
        std::string subCategories;
    };
    const std::vector<Expected> expected = {
        {kProcessorClassBytes, "Audio Module Class", 1, "Instrument|Synth|Sampler"},
        {kControllerWithUIClassBytes, "Component Controller Class", 0, ""},
    };

    const auto classes = loadedBundle().getFactory().classInfos();
    ASSERT_EQ(classes.size(), expected.size());
    for (size_t i = 0; i < classes.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(bytesOf(classes[i].cid), expected[i].cid);
        EXPECT_EQ(classes[i].cardinality, 0x7FFFFFFF);
        EXPECT_EQ(classes[i].category, expected[i].category);
        EXPECT_EQ(classes[i].name, "Taviro PlugIn");
        EXPECT_EQ(classes[i].classFlags, expected[i].classFlags);
        EXPECT_EQ(classes[i].subCategories, expected[i].subCategories);
        EXPECT_EQ(classes[i].vendor, "");
        EXPECT_EQ(classes[i].version, "1.0.0.0");
        EXPECT_EQ(classes[i].sdkVersion, "VST 3.5.2");
    }
}

TEST(FactoryIntegrationTest, EveryFactoryVersionDescribesTheSameClasses)
{
    IPluginFactory* factory = loadedBundle().getFactory().get();
    FUnknownPtr<IPluginFactory2> factory2(factory);
    FUnknownPtr<IPluginFactory3> factory3(factory);
    ASSERT_TRUE(factory2 && factory3);
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo info1;
        PClassInfo2 info2;
        PClassInfoW infoW;
        ASSERT_EQ(factory->getClassInfo(i, &info1), kResultOk);
        ASSERT_EQ(factory2->getClassInfo2(i, &info2), kResultOk);
        ASSERT_EQ(factory3->getClassInfoUnicode(i, &infoW), kResultOk);
        EXPECT_EQ(bytesOf(info1.cid), bytesOf(info2.cid));
        EXPECT_EQ(bytesOf(infoW.cid), bytesOf(info2.cid));
        EXPECT_STREQ(info1.name, info2.name);
        EXPECT_STREQ(info1.category, infoW.category);
        EXPECT_STREQ(info2.subCategories, infoW.subCategories);
    }
    PClassInfo2 beyond;
    EXPECT_EQ(factory2->getClassInfo2(factory->countClasses(), &beyond), kInvalidArgument);
}

TEST(FactoryIntegrationTest, TheProcessorNamesTheControllerWithTheEditor)
{
    auto component = loadedBundle().getFactory().createInstance<IComponent>(
        reinterpret_cast<const char*>(kProcessorClassBytes.data()));
    ASSERT_TRUE(component);
    TUID controllerId{};
    ASSERT_EQ(component->getControllerClassId(controllerId), kResultOk);
    EXPECT_EQ(bytesOf(controllerId), kControllerWithUIClassBytes);
}

TEST(FactoryIntegrationTest, UnknownClassesAndInterfacesAreRefused)
{
    IPluginFactory* factory = loadedBundle().getFactory().get();
    TUID unknown = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    void* obj = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->createInstance(unknown, IComponent::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    // The processor is no edit controller.
    obj = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->createInstance(reinterpret_cast<const char*>(kProcessorClassBytes.data()),
                                      IEditController::iid, &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);
}

} // namespace
