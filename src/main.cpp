#include "Program.h"
#include "analysis/qt/ArchiveWindow.h"
#include "app/CommandLine.h"
#include "app/qt/MainWindow.h"
#include "archive/ArchiveCommand.h"
#include "archive/qt/CrossArchive.h"
#include "archive/qt/QtServerSetting.h"
#include "archive/qt/QtSiteSetting.h"
#include "archive/qt/SqlArchive.h"
#include "platform/LineTrace.h"
#include "platform/StdFileSystem.h"
#include "platform/qt/QtPlatform.h"
#include "ui/qt/QtModalWindows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // Before Qt: --help and --version must work without a display.
    const orva::CommandLine cl =
        orva::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), ORVA_VERSION);
    if (!cl.run) {
        std::cout << cl.out;
        std::cerr << cl.err;
        return cl.exitCode;
    }
    if (cl.archive.action != orva::ArchiveAction::None) {
        // For scheduled reports: no display, no window.
        QCoreApplication app(argc, argv);
        orva::StdFileSystem files;
        orva::SqlArchive archive(orva::joinPath(files.dataDirectory(), orva::kArchiveFileName));
        orva::QtSiteSetting siteSetting;
        const QDateTime now = QDateTime::currentDateTime();
        const orva::DateTime at{{now.date().year(), now.date().month(), now.date().day()},
                                now.time().hour(),
                                now.time().minute(),
                                now.time().second()};
        std::unique_ptr<orva::SqlArchive> server;
        if (!cl.archive.server.empty()) {
            server = orva::SqlArchive::server(cl.archive.server);
        }
        const orva::CommandOutcome outcome =
            orva::runArchiveCommand(cl.archive, archive, siteSetting, files, at, server.get());
        std::cout << outcome.out;
        std::cerr << outcome.err;
        return outcome.exitCode;
    }
    // The variable serves the desktop entry, which passes no options.
    const char* fromEnvironment = std::getenv("ORVA_DS_TRACE");
    const std::string tracePath =
        !cl.trace.empty() ? cl.trace : (fromEnvironment != nullptr ? fromEnvironment : "");
    std::unique_ptr<orva::LineTrace> trace;
    if (!tracePath.empty()) {
        trace = orva::LineTrace::open(tracePath);
        if (!trace) {
            std::cerr << "orva-ds: die Aufzeichnung '" << tracePath
                      << "' lässt sich nicht öffnen; das Programm läuft ohne sie.\n";
        }
    }
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);

    orva::MainWindow window;
    orva::QtPlatform qt(&window, window.statusBox(), window.textFeld());
    qt.setTrace(trace.get());
    window.setTrace(trace.get());
    orva::Program program(qt.platform(), window);
    orva::QtModalWindows dialogs(&window, program.editor.module());
    program.settings.setWindows(dialogs);
    // Every count read is kept here; the window thread owns the database connection.
    orva::SqlArchive archive(
        orva::joinPath(qt.platform().files.dataDirectory(), orva::kArchiveFileName));
    orva::CrossArchive sharedArchive(archive, qt.thread());
    orva::QtSiteSetting site;
    orva::CrossSiteSetting sharedSite(site, qt.thread());
    orva::QtServerSetting serverSetting(&window);
    // The server's connection belongs to the commands' thread, which alone sends.
    program.setArchive(sharedArchive, sharedSite, serverSetting, [](const std::string& conninfo) {
        return std::unique_ptr<orva::CountArchive>(orva::SqlArchive::server(conninfo));
    });
    program.auswertung.setArchive(archive, site); // used on the window thread only
    program.auswertung.setServer(serverSetting, [](const std::string& conninfo) {
        return std::unique_ptr<orva::CountArchive>(orva::SqlArchive::server(conninfo));
    });
    orva::QtArchiveView archiveWindow(&window, qt.thread(), program.auswertung);
    program.auswertung.setView(archiveWindow);
    window.attach(program.editor, qt.thread());
    program.editor.Form_Load();
    window.show();
    // What an earlier run could not send goes now, quietly: the status line says what waits.
    if (!serverSetting.server().empty()) {
        qt.thread().runCommand([&] { program.server->send(qt.platform().screen, true); }, [] {});
    }
    return QApplication::exec();
}
