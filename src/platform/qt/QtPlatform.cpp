#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

namespace orva {

void installGermanTranslations(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

QtPlatform::QtPlatform(QWidget* window, QLabel* status, QPlainTextEdit* text)
    : thread_(window), serial_(files_.dataDirectory()), screen_(window, status), text_(text),
      dialog_(window, printer_.printer()), crossScreen_(screen_, thread_),
      crossText_(text_, thread_), crossDialog_(dialog_, thread_),
      crossPrinter_(printer_, thread_), platform_{serial_,      crossScreen_,  crossText_,
                                                  crossDialog_, crossPrinter_, clock_,
                                                  files_} {
    screen_.onStop = [this] { thread_.requestStop(); };
    // Served after the command that is running, on the thread that owns the port then.
    serial_.deliverEvent = [this](std::function<void()> serve) {
        thread_.runOnWorker(std::move(serve));
    };
}

} // namespace orva
