#include "source/editor/ViewBuilder.h"

#include <algorithm>
#include <sstream>

#include "source/editor/AnimKnob.h"
#include "source/editor/CheckBox.h"
#include "source/editor/OptionMenu.h"
#include "source/editor/SplashScreen.h"
#include "source/editor/TextEdit.h"
#include "source/editor/TextLabel.h"
#include "source/editor/ViewContainer.h"
#include "source/editor/ViewSwitchContainer.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

class Builder
{
public:
    Builder(EditorContext& context, EditorResources& resources)
        : context(context), resources(resources), document(resources.description())
    {
    }

    std::unique_ptr<View> build(const ViewNode& node)
    {
        auto view = make(node);
        if (view)
            view->tooltip = node.text("tooltip");
        return view;
    }

private:
    std::optional<Colour> colour(const ViewNode& node, std::string_view attribute) const
    {
        const auto* name = node.attribute(attribute);
        return name ? document.colour(*name) : std::nullopt;
    }

    TextStyle textStyle(const ViewNode& node) const
    {
        TextStyle style;
        style.font = builtInFont(node.text("font", "~ NormalFont"));
        style.fontColour = colour(node, "font-color").value_or(Colour{1, 1, 1, 1});
        if (!node.flag("transparent"))
            style.backColour = colour(node, "back-color");
        if (!node.flag("style-no-frame"))
            style.frameColour = colour(node, "frame-color");
        style.alignment = parseTextAlignment(node.text("text-alignment", "center"));
        return style;
    }

    // A film strip's frame count as a whole number from 1 to kMaxFrames.
    static int frameCount(double frames)
    {
        constexpr double kMaxFrames = 65536;
        return frames >= 1 ? static_cast<int>(std::min(frames, kMaxFrames)) : 1;
    }

    std::unique_ptr<View> make(const ViewNode& node)
    {
        const Rect frame = node.frame();
        const std::string& cls = node.className;
        if (cls == "CViewContainer")
        {
            std::optional<Colour> background;
            if (!node.flag("transparent"))
                background = colour(node, "background-color");
            auto container = std::make_unique<ViewContainer>(frame, background,
                                                             resources.bitmap(node.text("bitmap")));
            for (const auto& child : node.children)
                if (auto view = build(child))
                    container->addChild(std::move(view));
            return container;
        }
        if (cls == "CTextLabel")
            return std::make_unique<TextLabel>(frame, node.text("title"), textStyle(node));
        if (cls == "CAnimationSplashScreen")
        {
            const Bitmap* bitmap = resources.bitmap(node.text("bitmap"));
            const Bitmap* splash = resources.bitmap(node.text("splash-bitmap"));
            if (!bitmap || !splash)
                return nullptr;
            const Point origin = node.pair("splash-origin").value_or(Point{});
            const Point size = node.pair("splash-size").value_or(Point{double(splash->width()),
                                                                        double(splash->height())});
            return std::make_unique<SplashScreen>(frame, context, *bitmap, *splash,
                                                  Rect{origin.x, origin.y, size.x, size.y},
                                                  node.number("animation-time", 300));
        }

        // Everything below is bound to a parameter.
        const auto tag = document.controlTag(node.text("control-tag"));
        const auto switchTag = document.controlTag(node.text("template-switch-control"));
        if (cls == "UIViewSwitchContainer" && switchTag)
        {
            std::vector<std::string> names;
            std::stringstream list(node.text("template-names"));
            for (std::string name; std::getline(list, name, ',');)
                names.push_back(name);
            return std::make_unique<ViewSwitchContainer>(frame, context, *switchTag, std::move(names));
        }
        if (!tag)
            return nullptr;
        if (cls == "COptionMenu")
            return std::make_unique<OptionMenu>(frame, context, *tag, textStyle(node));
        if (cls == "CTextEdit")
            return std::make_unique<TextEdit>(frame, context, *tag, textStyle(node),
                                              document.colour("Focus").value_or(Colour{1, 1, 1, 0.35}));
        if (cls == "CCheckBox")
        {
            CheckBox::Look look;
            look.text = textStyle(node);
            look.boxFrame = colour(node, "boxframe-color").value_or(look.boxFrame);
            look.boxFill = colour(node, "boxfill-color").value_or(look.boxFill);
            look.checkmark = colour(node, "checkmark-color").value_or(look.checkmark);
            return std::make_unique<CheckBox>(frame, context, *tag, node.text("title"), look);
        }
        if (cls == "CAnimKnob")
        {
            const Bitmap* strip = resources.bitmap(node.text("bitmap"));
            if (!strip)
                return nullptr;
            // A frame less than a pixel high (a zero-sized knob, say) cannot be drawn: no knob.
            const double frameHeight = node.number("height-of-one-image", frame.height);
            if (!(frameHeight >= 1))
                return nullptr;
            const double frames = node.number("sub-pixmaps", strip->height() / frameHeight);
            const KnobMotion fallback;
            const KnobMotion motion{node.number("zoom-factor", fallback.zoomFactor),
                                    node.number("angle-start", fallback.startAngle),
                                    node.number("angle-range", fallback.rangeAngle)};
            return std::make_unique<AnimKnob>(frame, context, *tag, *strip, frameCount(frames), frameHeight, motion);
        }
        return nullptr;
    }

    EditorContext& context;
    EditorResources& resources;
    const UIDescription& document;
};

} // namespace

std::unique_ptr<View> buildView(const ViewNode& node, EditorContext& context, EditorResources& resources)
{
    return Builder(context, resources).build(node);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
