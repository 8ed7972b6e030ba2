#pragma once

#include "splash/SplashSource.h"

#include <QString>
#include <functional>
#include <optional>

class QLineEdit;

namespace brimble {

// The splash path box's tooltip for a preview: the splash as the GBA will show it, as rich text
// holding the picture, or the reason it will be left out or skipped. Empty for no preview.
QString SplashToolTip(const std::optional<SplashPreview>& preview, qreal devicePixelRatio);

// Shows the tooltip of the preview that `preview` gives at that moment whenever the pointer
// rests on the box, so that the preview follows the box's text and the current directory.
void InstallSplashPreview(QLineEdit* box, std::function<std::optional<SplashPreview>()> preview);

} // namespace brimble
