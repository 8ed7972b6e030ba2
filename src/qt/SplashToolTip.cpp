#include "SplashToolTip.h"

#include <QBuffer>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QToolTip>

namespace brimble {
namespace {

// The GBA's pixels one for one with the screen's, two by two on screens scaled by 2 or more,
// where one for one would leave the picture a quarter of its area: 240 x 160 screen pixels
// below scale 2, 480 x 320 from scale 2 up (240 x 160 of the toolkit's units at scale 2).
// Whole multiples keep every pixel sharp. Rich text lays images out in whole units, so where
// 480 x 320 is no whole number of units (scale 3) the picture is stretched by one screen pixel.
int PixelsPerGbaPixel(qreal devicePixelRatio) {
    return devicePixelRatio >= 2 ? 2 : 1;
}

QString PictureHtml(const Picture& picture, qreal devicePixelRatio) {
    const QImage shown(picture.pixels.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
    const int factor = PixelsPerGbaPixel(devicePixelRatio);
    const QImage scaled =
        shown.scaled(picture.width * factor, picture.height * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!scaled.save(&buffer, "PNG"))
        return {};
    // The size is given in the toolkit's units, so that the picture is drawn onto exactly its
    // own number of screen pixels.
    return QStringLiteral("<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\">")
        .arg(QString::fromLatin1(png.toBase64()), QString::number(scaled.width() / devicePixelRatio),
             QString::number(scaled.height() / devicePixelRatio));
}

} // namespace

QString SplashToolTip(const std::optional<SplashPreview>& preview, qreal devicePixelRatio) {
    if (!preview)
        return {};
    if (preview->status == SplashData::Status::Ready)
        return PictureHtml(preview->picture, devicePixelRatio);
    return QString::fromStdString(preview->reason);
}

SplashToolTipFilter::SplashToolTipFilter(QLineEdit* box, std::function<QString()> tip)
    : QObject(box), m_box(box), m_tip(std::move(tip)) {
    box->installEventFilter(this);
}

bool SplashToolTipFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_box || event->type() != QEvent::ToolTip)
        return false;
    Show(static_cast<QHelpEvent*>(event)->globalPos());
    if (m_shown.isEmpty())
        event->ignore();
    return true;
}

void SplashToolTipFilter::Refresh() {
    if (!m_shown.isEmpty() && QToolTip::isVisible() && QToolTip::text() == m_shown)
        Show(m_at);
}

void SplashToolTipFilter::Show(const QPoint& at) {
    m_at = at;
    m_shown = m_tip();
    if (m_shown.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(at, m_shown, m_box, m_box->rect());
}

} // namespace brimble
