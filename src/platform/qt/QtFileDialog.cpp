#include "platform/qt/QtFileDialog.h"

#include "platform/Screen.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace orva {
namespace {

constexpr int kOverwritePrompt = 2; // OFN_OVERWRITEPROMPT

} // namespace

std::optional<FileDialogResult> QtFileDialog::show(FileDialogRequest request, bool save) {
    // Qt's own question would come before the caller could refuse a reserved name.
    const bool askToReplace = save && (request.flags & kOverwritePrompt) != 0;
    const QString reserved =
        QFileInfo(QString::fromStdString(request.reservedFile)).canonicalFilePath();
    for (;;) {
        std::optional<FileDialogResult> result = showOnce(request, save);
        if (!result) {
            return std::nullopt;
        }
        const QFileInfo chosen(QString::fromStdString(result->fileName));
        if (!askToReplace || !chosen.exists() ||
            (!reserved.isEmpty() && chosen.canonicalFilePath() == reserved) ||
            QMessageBox::warning(parent_, QString::fromUtf8(kProgramTitle),
                                 QString::fromUtf8("„%1“ existiert bereits.\nMöchten Sie die "
                                                   "Datei ersetzen?")
                                     .arg(chosen.fileName()),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes) {
            return result;
        }
        request.fileName = result->fileName; // the dialog again, with the name chosen
    }
}

std::optional<FileDialogResult> QtFileDialog::showOnce(const FileDialogRequest& request,
                                                       bool save) {
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
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    return FileDialogResult{chosen.absoluteFilePath().toStdString(),
                            chosen.fileName().toStdString(),
                            static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<FileDialogResult> QtFileDialog::showOpen(const FileDialogRequest& request) {
    return show(request, false);
}

std::optional<FileDialogResult> QtFileDialog::showSave(const FileDialogRequest& request) {
    return show(request, true);
}

std::optional<int> QtFileDialog::showPrinter(int /*flags*/) {
    QPrintDialog dialog(&printer_, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Printing to a PDF file stays offered: many desks have no printer but a PDF printer.
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    // The copies are printed one by one by the program, so the job itself prints one.
    const int copies = printer_.copyCount();
    printer_.setCopyCount(1);
    return copies;
}

} // namespace orva
