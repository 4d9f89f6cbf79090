#pragma once

#include <optional>
#include <string>

namespace orva {

// What the common dialog is asked to show. The filter uses the "Name|pattern|Name|pattern"
// form; filterIndex counts its choices from 1. Flag 2 asks before an existing file is
// replaced, except for `reservedFile` (a full name): the caller refuses that one itself.
struct FileDialogRequest {
    std::string filter;
    int filterIndex = 0;
    int flags = 0;
    std::string fileName;
    std::string reservedFile;
};

struct FileDialogResult {
    std::string fileName;  // full path of the chosen file
    std::string fileTitle; // the name without folder
    int filterIndex = 0;   // the filter chosen, counted from 1; 0 when the dialog cannot say
};

// Open, Save As and Print dialogs; nothing when the user cancelled.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual std::optional<FileDialogResult> showOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> showSave(const FileDialogRequest& request) = 0;
    // Returns the number of copies chosen.
    virtual std::optional<int> showPrinter(int flags) = 0;
};

} // namespace orva
