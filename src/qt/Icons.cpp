#include "Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>

// The resources live in this static library; the program and the tests reach them only
// through here, which makes sure they are registered.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace brimble {
namespace {

QString ResourceOf(IconKind kind) {
    switch (kind) {
    case IconKind::Application:
        return QStringLiteral(":/icons/brimble.svg");
    case IconKind::Add:
        return QStringLiteral(":/icons/add.svg");
    case IconKind::Remove:
        return QStringLiteral(":/icons/remove.svg");
    case IconKind::Build:
        return QStringLiteral(":/icons/build.svg");
    case IconKind::Menu:
        return QStringLiteral(":/icons/menu.svg");
    }
    return {};
}

} // namespace

QIcon AppIcon(IconKind kind) {
    static const bool registered = (InitIconResources(), true);
    (void)registered;
    QSvgRenderer renderer(ResourceOf(kind));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    // Rendered once per size rather than through an icon engine plugin, which a minimal
    // installation may lack.
    for (int side : {16, 20, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace brimble
