#include "WindowLayout.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace brimble {

const ControlTemplate& TemplateOf(ControlId id) {
    const auto found = std::find_if(kWindowTemplate.begin(), kWindowTemplate.end(),
                                    [id](const ControlTemplate& control) { return control.id == id; });
    return *found;
}

bool IsPanelControl(const ControlTemplate& control) {
    return control.x >= kPanelStart;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    // The average over the 52 letters, as dialog units have always been measured.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseWidth = std::max(1.0, metrics.horizontalAdvance(letters) / 52.0);
    m_baseHeight = std::max(1.0, metrics.height());
}

int DialogUnits::X(int units) const {
    return static_cast<int>(std::lround(units * m_baseWidth / 4.0));
}

int DialogUnits::Y(int units) const {
    return static_cast<int>(std::lround(units * m_baseHeight / 8.0));
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
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

QRect ControlRect(const DialogUnits& units, const ControlTemplate& control) {
    return units.Rect(control.x, control.y + kMenuStripHeight, control.width, control.height);
}

QRect MenuButtonRect(const DialogUnits& units, int clientWidthUnits) {
    return units.Rect(clientWidthUnits - kMenuButtonMargin - kMenuButtonWidth, 1, kMenuButtonWidth, kMenuButtonHeight);
}

QSize ClientSize(const DialogUnits& units, bool panelShown) {
    return QSize(units.X(panelShown ? kTemplateWidth : kNarrowWidth), units.Y(kTemplateHeight + kMenuStripHeight));
}

} // namespace brimble
