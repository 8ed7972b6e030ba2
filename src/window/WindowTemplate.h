#pragma once

#include <array>
#include <string_view>

// The window's controls as its dialog template gives them: identifier, kind, caption, the name
// an assistive technology announces, and the place in dialog units. Each face lays its controls
// out from this one table, so that the windows cannot drift apart.

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

enum class ControlKind {
    List,       // single selection, not sorted, takes dropped files
    IconButton, // a push button showing an icon; its name is its text for assistive technology
    Button,     // a push button with a caption
    UpDown,     // a bare pair of arrows, no buddy, not a tab stop
    Edit,       // a one-line edit box
    CheckBox,   // an auto check box
    Radio,      // an auto radio button, not a tab stop
    Label,      // static text
    GroupBox,   // a frame without caption
};

// A control's place in the template, in dialog units, with what it shows and how it is named.
struct ControlTemplate {
    ControlId id;
    ControlKind kind;
    std::string_view caption; // the text it shows at start ("" for none)
    // What an assistive technology reads for a control without a caption: its name, or for a
    // label, whose text is its name, its description. Empty for a control named by its caption,
    // and for the up-down control, whose two arrows are named "Move up" and "Move down".
    std::string_view name;
    int x;
    int y;
    int width;
    int height;
};

// All controls of the window in tab order.
inline constexpr std::array<ControlTemplate, 27> kWindowTemplate{{
    {ControlId::List, ControlKind::List, "", "ROM list", 3, 4, 148, 103},
    {ControlId::Add, ControlKind::IconButton, "", "Add ROMs", 4, 113, 17, 15},
    {ControlId::Remove, ControlKind::IconButton, "", "Remove ROM", 24, 113, 17, 15},
    {ControlId::Sort, ControlKind::Button, "sort", "", 121, 113, 17, 15},
    {ControlId::UpDown, ControlKind::UpDown, "", "", 139, 112, 11, 16},
    {ControlId::Build, ControlKind::IconButton, "", "Build", 4, 136, 17, 15},
    {ControlId::OutputPath, ControlKind::Edit, "", "Output file", 24, 137, 113, 13},
    {ControlId::ChooseOutput, ControlKind::Button, "..", "Choose output file", 139, 138, 10, 11},
    {ControlId::RestoreList, ControlKind::CheckBox, "restore rom list on startup", "", 7, 155, 94, 10},
    {ControlId::TogglePanel, ControlKind::Button, "<< Hide", "", 115, 157, 34, 15},
    {ControlId::Title, ControlKind::Edit, "", "Title", 164, 11, 145, 12},
    {ControlId::PpuSpeedHack, ControlKind::CheckBox, "enable PPU speed hack", "", 164, 27, 93, 10},
    {ControlId::NoCpuSpeedHack, ControlKind::CheckBox, "disable CPU speed hack", "", 164, 38, 94, 10},
    {ControlId::PalTiming, ControlKind::CheckBox, "use PAL timing", "", 164, 49, 63, 10},
    {ControlId::FollowSprite, ControlKind::Radio, "follow sprite", "", 164, 78, 53, 10},
    {ControlId::FollowMemory, ControlKind::Radio, "follow mem", "", 164, 89, 51, 10},
    {ControlId::FollowValue, ControlKind::Edit, "", "Follow value", 222, 82, 28, 13},
    {ControlId::Autonumber, ControlKind::CheckBox, "autonumber", "", 160, 112, 53, 10},
    {ControlId::Splash, ControlKind::CheckBox, "splash screen", "", 160, 123, 59, 10},
    {ControlId::Flag190k, ControlKind::CheckBox, "flag <190k", "", 244, 112, 49, 10},
    {ControlId::SplashPath, ControlKind::Edit, "", "Splash file", 159, 137, 142, 13},
    {ControlId::ChooseSplash, ControlKind::Button, "..", "Choose splash file", 303, 138, 10, 11},
    {ControlId::FileName, ControlKind::Label, "", "File name", 160, 154, 129, 8},
    {ControlId::RomSize, ControlKind::Label, "", "ROM size", 291, 155, 22, 8},
    {ControlId::TotalCaption, ControlKind::Label, "Total", "", 160, 165, 113, 8},
    {ControlId::Total, ControlKind::Label, "", "Total size", 281, 165, 32, 8},
    {ControlId::DetailsFrame, ControlKind::GroupBox, "", "ROM details", 157, 1, 159, 106},
}};

// The window's client area in dialog units.
inline constexpr int kTemplateWidth = 320;
inline constexpr int kTemplateHeight = 178;
// Everything from here across is the options panel.
inline constexpr int kPanelStart = 157;
// The client width while the options panel is hidden: the list and the buttons below it
// end at 151 units.
inline constexpr int kNarrowWidth = 155;

const ControlTemplate& TemplateOf(ControlId id);
bool IsPanelControl(const ControlTemplate& control);
bool IsPanelControl(ControlId id);

// How far right, in units, a control may grow when its caption needs more room than the
// template gives it: up to the next control on its row, inside the details frame and on its
// side of the options panel's edge.
int RightLimitUnits(const ControlTemplate& control);

} // namespace brimble
