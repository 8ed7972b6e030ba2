#include "CompilationApp.h"

#include "Icons.h"
#include "MainWindow.h"

#include <QApplication>

namespace brimble {

CompilationApp::CompilationApp(DialogProvider& dialogs) : m_dialogs(dialogs) {
    QCoreApplication::setApplicationName(QStringLiteral("brimble"));
}

void CompilationApp::Run() {
    QApplication::setWindowIcon(AppIcon(IconKind::Application));
    MainWindow window(m_names, m_database, m_dialogs);
    window.exec();
}

} // namespace brimble
