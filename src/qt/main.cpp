#include "qt/CompilationApp.h"
#include "qt/DialogProvider.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The program takes no arguments; the toolkit sees only the program's name.
    int toolkitArgc = argc > 0 ? 1 : 0;
    QApplication application(toolkitArgc, argv);
    brimble::QtDialogProvider dialogs;
    brimble::CompilationApp compilation(dialogs);
    compilation.Run();
    return 0;
}
