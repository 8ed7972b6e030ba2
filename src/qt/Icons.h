#pragma once

#include <QIcon>

namespace brimble {

enum class IconKind { Application, Add, Remove, Build, Menu };

// The window's own icons, drawn as SVG and rendered at the usual sizes.
QIcon AppIcon(IconKind kind);

} // namespace brimble
