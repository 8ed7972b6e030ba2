#pragma once

#include "window/WindowTemplate.h"

#include <QFont>
#include <QRect>
#include <QSize>

namespace brimble {

// A strip above the template's controls holds the menu button at the window's top right,
// where it stays in view whether or not the options panel is shown.
inline constexpr int kMenuStripHeight = 14;
inline constexpr int kMenuButtonWidth = 18;
inline constexpr int kMenuButtonHeight = 12;
inline constexpr int kMenuButtonMargin = 3;

// Converts dialog units to pixels with a font's metrics: a horizontal unit is a quarter of
// the font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(double baseWidth, double baseHeight) : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}

    int X(int units) const;
    int Y(int units) const;
    // A rectangle given in units; adjacent rectangles stay adjacent after rounding.
    QRect Rect(int x, int y, int width, int height) const;

    double BaseWidth() const { return m_baseWidth; }
    double BaseHeight() const { return m_baseHeight; }

private:
    double m_baseWidth;  // average character width in pixels
    double m_baseHeight; // character height in pixels
};

// The pixel rectangle of a template control in the window (below the menu strip).
QRect ControlRect(const DialogUnits& units, const ControlTemplate& control);
// The menu button's rectangle for the current client width in units.
QRect MenuButtonRect(const DialogUnits& units, int clientWidthUnits);
// The window's client size with the options panel shown or hidden.
QSize ClientSize(const DialogUnits& units, bool panelShown);

} // namespace brimble
