#pragma once

#include "splash/SplashSource.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;

namespace brimble {

// The splash path box's tooltip for a preview: the splash as the GBA will show it, as rich text
// holding the picture, or the reason it will be left out or skipped. Empty for no preview.
QString SplashToolTip(const std::optional<SplashPreview>& preview, qreal devicePixelRatio);

// Shows the tooltip that `tip` gives at that moment whenever the pointer rests on the box, so
// that the preview follows the box's text and the current directory. Owned by the box.
class SplashToolTipFilter : public QObject {
public:
    SplashToolTipFilter(QLineEdit* box, std::function<QString()> tip);

    // Shows the tooltip again where it stands, with what `tip` gives now, while the tooltip
    // this filter showed is up: the preview it promised is ready.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(const QPoint& at);

    QLineEdit* m_box;
    std::function<QString()> m_tip;
    QPoint m_at;
    QString m_shown;
};

} // namespace brimble
