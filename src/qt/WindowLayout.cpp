#include "WindowLayout.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace brimble {

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
