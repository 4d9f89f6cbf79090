#include "Program.h"
#include "analysis/qt/CountWindow.h"
#include "app/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"
#include "ui/qt/QtModalWindows.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);

    orva::MainWindow window;
    orva::QtPlatform qt(&window, window.statusBox(), window.textFeld());
    orva::Program program(qt.platform(), window);
    orva::QtModalWindows dialogs(&window, program.editor.module());
    program.settings.setWindows(dialogs);
    orva::QtCountTableView countTable(&window);
    program.auswertung.setView(countTable);
    window.attach(program.editor);
    program.editor.Form_Load();
    window.show();
    return QApplication::exec();
}
