// The editor as a host meets it: the controller class from the built bundle's factory opens its
// view by name, finds its UI description and bitmaps in the bundle, and shows itself in a window.
#include <gtest/gtest.h>

#include <set>

#include "X11TestHost.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "tests/support/HostedPlugIn.h"

namespace Taviro::Test {
namespace {

using namespace Steinberg::Vst;

class BundleEditor : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { display = new VirtualDisplay; }
    static void TearDownTestSuite()
    {
        delete display;
        display = nullptr;
    }
    void SetUp() override
    {
        controller = loadedBundle().getFactory().createInstance<IEditController>(
            reinterpret_cast<const char*>(kControllerWithUIClassBytes.data()));
        ASSERT_TRUE(controller);
        ASSERT_EQ(controller->initialize(&hostContext), kResultOk);
    }
    void TearDown() override
    {
        if (controller)
            controller->terminate();
    }

    static VirtualDisplay* display;
    HostApplication hostContext; // not reference counted: lives as long as the controller
    IPtr<IEditController> controller;
};

VirtualDisplay* BundleEditor::display = nullptr;

TEST_F(BundleEditor, OnlyTheNameEditorOpensAView)
{
    for (const char* name : {"Editor", "", "EDITOR", "editor "})
        EXPECT_EQ(controller->createView(name), nullptr) << '"' << name << '"';
    EXPECT_EQ(controller->createView(nullptr), nullptr);
    IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
    ASSERT_TRUE(view);
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 946);
    EXPECT_EQ(size.getHeight(), 565);
    EXPECT_EQ(view->canResize(), kResultFalse);
}

TEST_F(BundleEditor, ViewFromTheBundleShowsTheEditor)
{
    ASSERT_TRUE(display->running()) << "Xvfb could not be started";
    ParentWindow parent(946, 565);
    auto frame = owned(new TestPlugFrame);
    IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
    ASSERT_TRUE(view);
    view->setFrame(frame);
    void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(parent.id()));
    ASSERT_EQ(view->attached(handle, kPlatformTypeX11EmbedWindowID), kResultOk);
    std::set<uint32_t> colours;
    frame->runUntil([&] {
        const auto shown = parent.image(946, 565);
        colours = std::set<uint32_t>(shown.begin(), shown.end());
        return colours.size() > 200;
    });
    EXPECT_GT(colours.size(), 200u) << "the window is blank: resources not found in the bundle?";
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_TRUE(parent.children().empty());
    view->setFrame(nullptr);
}

} // namespace
} // namespace Taviro::Test
