#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <array>
#include <span>

namespace brimble {

// The controls of the window by their template identifiers; the two controls without one
// (the "Total" caption and the details frame) get negative ones.
enum class ControlId : int {
    List = 1000,
    Add = 1002,
    Remove = 1026,
    Sort = 1040,
    UpDown = 1047,
    Build = 1020,
    OutputPath = 1022,
    ChooseOutput = 1021,
    RestoreList = 1039,
    TogglePanel = 1043,
    Title = 1023,
    PpuSpeedHack = 1008,
    NoCpuSpeedHack = 1007,
    PalTiming = 1009,
    FollowSprite = 1016,
    FollowMemory = 1017,
    FollowValue = 1013,
    Autonumber = 1015,
    Splash = 1031,
    Flag190k = 1037,
    SplashPath = 1032,
    ChooseSplash = 1033,
    FileName = 1029,
    RomSize = 1035,
    TotalCaption = -1,
    Total = 1036,
    DetailsFrame = -2,
};

// A control's place in the template, in dialog units.
struct ControlTemplate {
    ControlId id;
    int x;
    int y;
    int width;
    int height;
};

// All controls of the window in tab order.
inline constexpr std::array<ControlTemplate, 27> kWindowTemplate{{
    {ControlId::List, 3, 4, 148, 103},
    {ControlId::Add, 4, 113, 17, 15},
    {ControlId::Remove, 24, 113, 17, 15},
    {ControlId::Sort, 121, 113, 17, 15},
    {ControlId::UpDown, 139, 112, 11, 16},
    {ControlId::Build, 4, 136, 17, 15},
    {ControlId::OutputPath, 24, 137, 113, 13},
    {ControlId::ChooseOutput, 139, 138, 10, 11},
    {ControlId::RestoreList, 7, 155, 94, 10},
    {ControlId::TogglePanel, 115, 157, 34, 15},
    {ControlId::Title, 164, 11, 145, 12},
    {ControlId::PpuSpeedHack, 164, 27, 93, 10},
    {ControlId::NoCpuSpeedHack, 164, 38, 94, 10},
    {ControlId::PalTiming, 164, 49, 63, 10},
    {ControlId::FollowSprite, 164, 78, 53, 10},
    {ControlId::FollowMemory, 164, 89, 51, 10},
    {ControlId::FollowValue, 222, 82, 28, 13},
    {ControlId::Autonumber, 160, 112, 53, 10},
    {ControlId::Splash, 160, 123, 59, 10},
    {ControlId::Flag190k, 244, 112, 49, 10},
    {ControlId::SplashPath, 159, 137, 142, 13},
    {ControlId::ChooseSplash, 303, 138, 10, 11},
    {ControlId::FileName, 160, 154, 129, 8},
    {ControlId::RomSize, 291, 155, 22, 8},
    {ControlId::TotalCaption, 160, 165, 113, 8},
    {ControlId::Total, 281, 165, 32, 8},
    {ControlId::DetailsFrame, 157, 1, 159, 106},
}};

// The window's client area in dialog units.
inline constexpr int kTemplateWidth = 320;
inline constexpr int kTemplateHeight = 178;
// Everything from here across is the options panel.
inline constexpr int kPanelStart = 157;
// The client width while the options panel is hidden: the list and the buttons below it
// end at 151 units.
inline constexpr int kNarrowWidth = 155;
// A strip above the template's controls holds the menu button at the window's top right,
// where it stays in view whether or not the options panel is shown.
inline constexpr int kMenuStripHeight = 14;
inline constexpr int kMenuButtonWidth = 18;
inline constexpr int kMenuButtonHeight = 12;
inline constexpr int kMenuButtonMargin = 3;

const ControlTemplate& TemplateOf(ControlId id);
bool IsPanelControl(const ControlTemplate& control);

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

// How far right, in units, a control may grow when its caption needs more room than the
// template gives it: up to the next control on its row, inside the details frame and on its
// side of the options panel's edge.
int RightLimitUnits(const ControlTemplate& control);

// The pixel rectangle of a template control in the window (below the menu strip).
QRect ControlRect(const DialogUnits& units, const ControlTemplate& control);
// The menu button's rectangle for the current client width in units.
QRect MenuButtonRect(const DialogUnits& units, int clientWidthUnits);
// The window's client size with the options panel shown or hidden.
QSize ClientSize(const DialogUnits& units, bool panelShown);

} // namespace brimble
