#pragma once

#include <QString>

class QLineEdit;

namespace brimble {

// The splash path box's tooltip for the path typed in it (relative to the current directory,
// as the build reads it): the splash as the GBA will show it, as rich text holding the picture,
// or the reason it will be left out or skipped. Empty for an empty path.
QString SplashToolTip(const QString& pathText, qreal devicePixelRatio);

// Shows SplashToolTip for the box's text of that moment whenever the pointer rests on the
// box, so that the preview follows the text and the current directory.
void InstallSplashPreview(QLineEdit* box);

} // namespace brimble
