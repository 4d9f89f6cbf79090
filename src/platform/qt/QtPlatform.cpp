#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
    : serial_(files_.dataDirectory()), screen_(window, status), text_(text),
      dialog_(window, printer_.printer()), platform_{serial_,  screen_, text_, dialog_,
                                                     printer_, clock_,  files_} {}

} // namespace orva
