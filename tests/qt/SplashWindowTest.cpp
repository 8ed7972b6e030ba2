#include "UiTestSupport.h"
#include "qt/QtText.h"
#include "qt/SplashToolTip.h"
#include "splash/PictureFile.h"
#include "splash/SplashSource.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <array>
#include <functional>

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

using ColourAt = std::function<Rgb(int x, int y)>;

// The reason given for a file holding "hello".
constexpr const char* kNotesReason =
    "neither a raw splash of 76800 bytes (it holds 5) nor a PNG, JPEG, BMP or GIF picture";

// Every pixel a different mix of the three channels, so that a swapped channel, a wrong row
// length or a shifted row shows.
std::array<std::uint8_t, 3> GradientPixel(int x, int y, int width, int height) {
    return {static_cast<std::uint8_t>(x * 255 / (width - 1)), static_cast<std::uint8_t>(y * 255 / (height - 1)),
            static_cast<std::uint8_t>((x * 7 + y * 3) & 0xFF)};
}

Picture Gradient(int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto pixel = GradientPixel(x, y, width, height);
            picture.pixels.insert(picture.pixels.end(), pixel.begin(), pixel.end());
        }
    }
    return picture;
}

// The GBA's colour for a pixel of a 240 x 160 gradient.
Rgb GradientOnGba(int x, int y) {
    const auto [red, green, blue] = GradientPixel(x, y, kSplashWidth, kSplashHeight);
    return FromGbaColour(ToGbaColour(red, green, blue));
}

// A raw splash of made-up colours.
std::uint16_t RawPixel(std::size_t index) {
    return static_cast<std::uint16_t>((index * 40503u) & 0x7FFF);
}

Rgb RawOnGba(int x, int y) {
    return FromGbaColour(RawPixel(static_cast<std::size_t>(y) * kSplashWidth + static_cast<std::size_t>(x)));
}

Bytes RawSplash() {
    Bytes bytes;
    for (std::size_t i = 0; i < kSplashSize / 2; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(RawPixel(i) & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(RawPixel(i) >> 8));
    }
    return bytes;
}

// The tooltip drawn as the toolkit draws rich text, onto a screen of this scale.
QImage Draw(const QString& tip, qreal devicePixelRatio) {
    QTextDocument document;
    document.setDocumentMargin(0);
    document.setHtml(tip);
    QImage drawn((document.size() * devicePixelRatio).toSize(), QImage::Format_RGB888);
    drawn.setDevicePixelRatio(devicePixelRatio);
    drawn.fill(Qt::magenta);
    QPainter painter(&drawn);
    document.drawContents(&painter);
    return drawn;
}

// The first screen pixel whose colour is not the expected GBA colour, described; empty when
// every pixel matches. Each GBA pixel covers factor x factor screen pixels.
std::string FirstWrongPixel(const QImage& drawn, int factor, const ColourAt& expected) {
    const QSize size(kSplashWidth * factor, kSplashHeight * factor);
    if (drawn.size() != size)
        return "drawn " + std::to_string(drawn.width()) + " x " + std::to_string(drawn.height());
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const Rgb want = expected(x / factor, y / factor);
            const QColor got = drawn.pixelColor(x, y);
            if (got != QColor(want.red, want.green, want.blue))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " + got.name().toStdString();
        }
    }
    return {};
}

class SplashWindowTest : public WindowTest {
protected:
    // A tooltip left showing would outlive the window into the next test.
    ~SplashWindowTest() override {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    }

    QLineEdit* Box() const { return Get<QLineEdit>(ControlId::SplashPath); }

    // Rests the pointer on the splash path box; the tooltip shown, empty for none.
    QString Hover() {
        QLineEdit* box = Box();
        const QPoint at(4, 4);
        QHelpEvent event(QEvent::ToolTip, at, box->mapToGlobal(at));
        QApplication::sendEvent(box, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
};

TEST_F(SplashWindowTest, PicturesAndRawFilesShowTheirGbaColoursWholePixelsOnEveryScale) {
    ASSERT_TRUE(WritePictureFile(Dir() / "pic.png", Gradient(kSplashWidth, kSplashHeight), PictureFormat::Png));
    WriteFile(Dir() / "pic.raw", RawSplash());
    const struct {
        const char* file;
        ColourAt colour;
    } files[] = {{"pic.png", GradientOnGba}, {"pic.raw", RawOnGba}};
    const struct {
        qreal scale;
        int factor; // screen pixels per GBA pixel, each way
    } screens[] = {{1.25, 1}, {2.0, 2}};
    for (const auto& file : files) {
        for (const auto& screen : screens) {
            const QString tip = SplashToolTip(PreviewSplash(Dir() / file.file), screen.scale);
            EXPECT_EQ(FirstWrongPixel(Draw(tip, screen.scale), screen.factor, file.colour), "")
                << file.file << " at scale " << screen.scale;
        }
    }
}

TEST_F(SplashWindowTest, ReasonsAreShownAsPlainTextAndAnEmptyBoxShowsNothing) {
    WriteFile(Dir() / "notes.txt", "hello");
    EXPECT_EQ(SplashToolTip(std::nullopt, 1.0), QString());
    EXPECT_EQ(SplashToolTip(PreviewSplash("notes.txt"), 2.0), Q(kNotesReason));
    EXPECT_FALSE(Qt::mightBeRichText(SplashToolTip(PreviewSplash("missing.png"), 1.0)));
}

// The preview is made when the pointer rests on the box, from its text and the current
// directory of that moment, as the build will read the file.
TEST_F(SplashWindowTest, BoxTooltipFollowsItsTextAndTheCurrentDirectory) {
    fs::create_directories(Dir() / "other");
    ASSERT_TRUE(WritePictureFile(Dir() / "pic.png", Gradient(kSplashWidth, kSplashHeight), PictureFormat::Png));
    WriteFile(Dir() / "other" / "pic.png", RawSplash()); // raw by its size, whatever its name
    WriteFile(Dir() / "other" / "notes.txt", "hello");
    Open();
    EXPECT_EQ(Hover(), QString());

    Box()->setText(Q("pic.png"));
    const qreal scale = Box()->devicePixelRatio();
    const int factor = scale >= 2 ? 2 : 1;
    EXPECT_EQ(FirstWrongPixel(Draw(Hover(), scale), factor, GradientOnGba), "");
    {
        CurrentDirectory elsewhere(Dir() / "other");
        EXPECT_EQ(FirstWrongPixel(Draw(Hover(), scale), factor, RawOnGba), "");
        Box()->setText(Q("notes.txt"));
        EXPECT_EQ(Hover(), Q(kNotesReason));
    }
    Box()->setText(Q(Dir() / "other" / "pic.png"));
    EXPECT_EQ(FirstWrongPixel(Draw(Hover(), scale), factor, RawOnGba), "");
}

} // namespace
} // namespace brimble::test
