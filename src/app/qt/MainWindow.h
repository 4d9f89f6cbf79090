#pragma once

#include "app/frmEditor.h"
#include "platform/LineTrace.h"

#include <QMainWindow>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace orva {

// The Qt view of `frmEditor`: status band, text area and the menu bar drawn from the menu
// tree. It only forwards clicks to the logic and follows the tree's states.
class MainWindow : public QMainWindow, public EditorWindow {
    Q_OBJECT
public:
    MainWindow();

    QLabel* statusBox() const { return status_; }
    QPlainTextEdit* textFeld() const { return text_; }
    // Builds the menu bar from the editor's menu tree and routes clicks to it.
    void attach(frmEditor& editor);
    // The action (or submenu action) of a menu item, for tests: "mnuDateiU(1)", "mnuEins".
    QAction* menuAction(const std::string& id) const;
    // Each menu command is marked in `trace`, with what it ended with (none when null).
    void setTrace(LineTrace* trace) { trace_ = trace; }

    void placeStatusAndText() override;
    void centreOnScreen() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void layOut();
    void syncAction(const MenuItem& item);
    // Runs a menu command, or keeps it until the one running has ended. `caption` names it in
    // the trace; opening a menu (no caption) is not marked.
    void runGuarded(std::function<void()> work, std::string caption = {});
    void runCommand(const std::function<void()>& work, const std::string& caption);

    QWidget* area_;
    QLabel* status_;
    QPlainTextEdit* text_;
    frmEditor* editor_ = nullptr;
    std::map<std::string, QAction*> actions_;
    bool running_ = false;
    bool closeLater_ = false; // the desktop asked to close during a command
    // Commands that came during another one, with their captions.
    std::deque<std::pair<std::function<void()>, std::string>> later_;
    LineTrace* trace_ = nullptr;
};

} // namespace orva
