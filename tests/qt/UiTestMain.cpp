#include <QApplication>
#include <gtest/gtest.h>

namespace {

// The offscreen platform's notes on what it cannot do say nothing about the code under test.
void QuietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

} // namespace

// The window tests need one QApplication for the whole run; widgets are real, drawn on the
// offscreen platform unless the environment asks for another one.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietPlatformNotes);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
