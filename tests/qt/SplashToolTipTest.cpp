#include "qt/SplashToolTip.h"

#include "UiTestSupport.h"
#include "builder/CompilationWriter.h"
#include "splash/SplashSource.h"

#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

namespace brimble::test {
namespace {

using SplashToolTipTest = WindowTest;

// The splash box's tooltip shows the splash in its GBA colours, whole pixels on every scale,
// made when the pointer rests on the box from its text; a reason shows as plain text; an empty
// box shows nothing.
TEST_F(SplashToolTipTest, TheBoxShowsTheSplashAsTheGbaWillOrWhyNot) {
    const Bytes raw = PatternBytes(kSplashSize, 5); // made-up colours
    WriteFile(Dir() / "pic.raw", raw);
    WriteFile(Dir() / "notes.txt", "hello");
    QImage want(kSplashWidth, kSplashHeight, QImage::Format_RGB888);
    for (int at = 0; at < kSplashWidth * kSplashHeight; ++at) {
        const Rgb rgb = FromGbaColour(static_cast<std::uint16_t>((raw[2 * at] | raw[2 * at + 1] << 8) & 0x7FFF));
        want.setPixelColor(at % kSplashWidth, at / kSplashWidth, QColor(rgb.red, rgb.green, rgb.blue));
    }
    // Drawn as the toolkit draws rich text onto a screen of this scale, each GBA pixel covers
    // factor x factor screen pixels.
    for (const auto& [scale, factor] : {std::pair{1.25, 1}, std::pair{2.0, 2}}) {
        QTextDocument document;
        document.setDocumentMargin(0);
        document.setHtml(SplashToolTip(PreviewSplash("pic.raw"), scale));
        QImage drawn((document.size() * scale).toSize(), QImage::Format_RGB888);
        drawn.setDevicePixelRatio(scale);
        drawn.fill(Qt::magenta);
        QPainter painter(&drawn);
        document.drawContents(&painter);
        EXPECT_TRUE(drawn == want.scaled(want.size() * factor)) << scale;
    }
    EXPECT_FALSE(Qt::mightBeRichText(SplashToolTip(PreviewSplash("notes.txt"), 1.0)));

    Open();
    auto* box = Get<QLineEdit>(ControlId::SplashPath);
    // A preview is made away from the window's thread: "preparing…" shows until it comes back
    // and takes its place.
    const QString preparing = QString::fromUtf8(kPreparingPreview.data(), qsizetype(kPreparingPreview.size()));
    int prepared = 0;
    const auto hover = [box, &preparing, &prepared] {
        QHelpEvent event(QEvent::ToolTip, QPoint(4, 4), box->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(box, &event);
        if (QToolTip::isVisible() && QToolTip::text() == preparing) {
            ++prepared;
            (void)QTest::qWaitFor([&] { return QToolTip::text() != preparing; }, 20000);
        }
        const QString shown = QToolTip::isVisible() ? QToolTip::text() : QString();
        QToolTip::hideText();
        return shown;
    };
    EXPECT_EQ(hover(), QString());
    box->setText(Q("notes.txt"));
    EXPECT_EQ(hover(), SplashToolTip(PreviewSplash("notes.txt"), 1.0));
    box->setText(Q("pic.raw"));
    EXPECT_TRUE(Qt::mightBeRichText(hover()));
    EXPECT_EQ(prepared, 2);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}

} // namespace
} // namespace brimble::test
