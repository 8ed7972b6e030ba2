#include "WindowTemplate.h"

#include <algorithm>

namespace brimble {

const ControlTemplate& TemplateOf(ControlId id) {
    const auto found = std::find_if(kWindowTemplate.begin(), kWindowTemplate.end(),
                                    [id](const ControlTemplate& control) { return control.id == id; });
    return *found;
}

bool IsPanelControl(const ControlTemplate& control) {
    return control.x >= kPanelStart;
}

bool IsPanelControl(ControlId id) {
    return IsPanelControl(TemplateOf(id));
}

int RightLimitUnits(const ControlTemplate& control) {
    const ControlTemplate& frame = TemplateOf(ControlId::DetailsFrame);
    int limit = IsPanelControl(control) ? kTemplateWidth - 2 : kNarrowWidth - 2;
    const auto rowsMeet = [](const ControlTemplate& a, const ControlTemplate& b) {
        return a.y < b.y + b.height && b.y < a.y + a.height;
    };
    for (const ControlTemplate& other : kWindowTemplate) {
        if (other.id == control.id || other.id == frame.id)
            continue;
        if (other.x >= control.x + control.width && rowsMeet(control, other))
            limit = std::min(limit, other.x - 1);
    }
    const bool insideFrame = control.x >= frame.x && control.y >= frame.y && control.y < frame.y + frame.height;
    if (insideFrame)
        limit = std::min(limit, frame.x + frame.width - 2);
    return std::max(limit, control.x + control.width);
}

} // namespace brimble
