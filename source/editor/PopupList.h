#pragma once

#include <functional>
#include <string>
#include <vector>

#include "source/editor/DrawContext.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// The open list of an option menu: one row per entry, the current one marked, the one under the
// mouse or reached by the arrow keys lit. It lies below its menu and moves up or left to stay inside
// the window.
class PopupList
{
public:
    static constexpr double kRowHeight = 18;

    PopupList(const Rect& anchor, const Rect& window, std::vector<std::string> entries, int selected,
              std::function<void(int)> chosen);

    const Rect& box() const { return area; }
    const std::vector<std::string>& entries() const { return items; }
    // The row under a window point, or −1.
    int rowAt(Point p) const;
    void hover(Point p) { lit = rowAt(p); }
    int litRow() const { return lit; }
    // Lights the row `delta` rows from the lit one (from the current entry when none is lit), within
    // the list.
    void moveLight(int delta);
    void lightRow(int row);
    void choose(int row) const;
    void draw(DrawContext& context) const;

private:
    Rect area;
    std::vector<std::string> items;
    int selected;
    int lit;
    std::function<void(int)> chosen;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
