#include "app/frmEditor.h"
#include "app/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);

    orva::ORVA_DS state;
    orva::MainWindow window;
    orva::QtPlatform qt(&window, window.statusBox(), window.textFeld());
    orva::frmEditor editor(state, qt.platform(), window);
    window.attach(editor);
    editor.Form_Load();
    window.show();
    return QApplication::exec();
}
