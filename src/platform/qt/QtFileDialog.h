#pragma once

#include "platform/FileDialog.h"

class QWidget;
class QPrinter;

namespace orva {

// Open and Save As on QFileDialog, Print on QPrintDialog.
class QtFileDialog : public FileDialog {
public:
    QtFileDialog(QWidget* parent, QPrinter& printer) : parent_(parent), printer_(printer) {}
    std::optional<FileDialogResult> showOpen(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> showSave(const FileDialogRequest& request) override;
    std::optional<int> showPrinter(int flags) override;

private:
    // Asks before an existing file is replaced, as the request says; "Nein" shows the dialog
    // again.
    std::optional<FileDialogResult> show(FileDialogRequest request, bool save);
    std::optional<FileDialogResult> showOnce(const FileDialogRequest& request, bool save);
    QWidget* parent_;
    QPrinter& printer_;
};

} // namespace orva
