#pragma once

#include "app/frmEditor.h"
#include "platform/LineTrace.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>
#include <utility>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace orva {

class WindowThread;

// The Qt view of `frmEditor`: status band, text area and the menu bar drawn from the menu
// tree. It only forwards clicks to the logic and follows the tree's states.
class MainWindow : public QMainWindow, public EditorWindow {
    Q_OBJECT
public:
    MainWindow();

    QLabel* statusBox() const { return status_; }
    QPlainTextEdit* textFeld() const { return text_; }
    // Builds the menu bar from the editor's menu tree and routes clicks to it; commands that
    // talk to the device run through `thread`.
    void attach(frmEditor& editor, WindowThread& thread);
    // True while a command runs: the menus are greyed and the text area is read-only.
    bool busy() const { return running_; }
    // The action (or submenu action) of a menu item, for tests: "mnuDateiU(1)", "mnuEins".
    QAction* menuAction(const std::string& id) const;
    // Each menu command is marked in `trace`, with what it ended with (none when null).
    void setTrace(LineTrace* trace) { trace_ = trace; }

    void placeStatusAndText() override;
    void centreOnScreen() override;

signals:
    // A command that ran off the window thread has ended.
    void commandEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void layOut();
    void syncAction(const MenuItem& item);
    // Runs the item's command; one that talks to the device runs off the window thread while
    // the window is busy. `caption` names the command in the trace.
    void run(const MenuItem& item, const std::string& caption = {});
    void setBusy(bool busy);

    QWidget* area_;
    QLabel* status_;
    QPlainTextEdit* text_;
    frmEditor* editor_ = nullptr;
    WindowThread* thread_ = nullptr;
    std::map<std::string, QAction*> actions_;
    bool running_ = false;
    bool closeLater_ = false; // the desktop asked to close during a command
    LineTrace* trace_ = nullptr;
};

} // namespace orva
