#include "Program.h"
#include "app/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);

    orva::MainWindow window;
    orva::QtPlatform qt(&window, window.statusBox(), window.textFeld());
    orva::Program program(qt.platform(), window);
    window.attach(program.editor);
    program.editor.Form_Load();
    window.show();
    return QApplication::exec();
}
