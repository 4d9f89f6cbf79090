#include "platform/qt/QtFileDialog.h"

#include "platform/RunTimeError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace orva {

FileDialogResult QtFileDialog::show(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent_);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open also takes a name that does not exist; the program answers it itself.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(QDir::currentPath());
    // "Name|pattern|Name|pattern" to one entry per choice.
    const QStringList parts = QString::fromStdString(request.filter).split('|');
    QStringList filters;
    QStringList patterns;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i];
        patterns << parts[i + 1];
    }
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the chosen filter's, a text file's by default.
    QString suffix = QStringLiteral("txt");
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
        const QString pattern = patterns[request.filterIndex - 1];
        if (pattern.startsWith(QStringLiteral("*.")) && pattern != QStringLiteral("*.*")) {
            suffix = pattern.mid(2);
        }
    }
    dialog.setDefaultSuffix(suffix);
    if (!request.fileName.empty()) {
        dialog.selectFile(QString::fromStdString(request.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        throw RunTimeError(err::DialogCancelled);
    }
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    return {chosen.absoluteFilePath().toStdString(), chosen.fileName().toStdString()};
}

FileDialogResult QtFileDialog::showOpen(const FileDialogRequest& request) {
    return show(request, false);
}

FileDialogResult QtFileDialog::showSave(const FileDialogRequest& request) {
    return show(request, true);
}

int QtFileDialog::showPrinter(int /*flags*/) {
    QPrintDialog dialog(&printer_, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Printing to a PDF file stays offered: many desks have no printer but a PDF printer.
    if (dialog.exec() != QDialog::Accepted) {
        throw RunTimeError(err::DialogCancelled);
    }
    // The copies are printed one by one by the program, so the job itself prints one.
    const int copies = printer_.copyCount();
    printer_.setCopyCount(1);
    return copies;
}

} // namespace orva
