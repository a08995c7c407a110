#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Shows one of several templates, picked by the value of a list parameter (entry i shows template i).
// Only the shown template exists: a switch builds the new one, whose controls then read the
// controller's current values.
class ViewSwitchContainer : public View
{
public:
    ViewSwitchContainer(const Rect& frame, EditorContext& context, ParamID switchTag,
                        std::vector<std::string> templateNames);

    int shownIndex() const { return shown; }
    View* content() const { return current.get(); }

    void draw(DrawContext& context) override;
    View* viewAt(Point p) override;
    bool syncWithParameters() override;
    void forEach(const std::function<void(View&)>& visit) override;

private:
    int wantedIndex() const;
    void show(int index);

    EditorContext& context;
    ParamID switchTag;
    std::vector<std::string> templateNames;
    int shown = -1;
    std::unique_ptr<View> current;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
