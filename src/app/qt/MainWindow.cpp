#include "app/qt/MainWindow.h"

#include "platform/qt/WindowThread.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>

#include <utility>

namespace orva {
namespace {

constexpr int kStatusBandPixels = kStatusBandTwips / kTwipsPerPixel;

} // namespace

MainWindow::MainWindow()
    : area_(new QWidget(this)), status_(new QLabel(area_)), text_(new QPlainTextEdit(area_)) {
    setWindowTitle(QString::fromUtf8(kEditorCaption));
    setObjectName(QStringLiteral("frmEditor"));
    status_->setObjectName(QStringLiteral("StatusBox"));
    text_->setObjectName(QStringLiteral("TextFeld"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    text_->setFont(font);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    status_->resize(640, kStatusBandPixels);
    setCentralWidget(area_);
    area_->installEventFilter(this);
    menuBar()->installEventFilter(this);
    resize(640, 480);
}

void MainWindow::placeStatusAndText() {
    text_->move(0, kStatusBandPixels);
    status_->move(0, 0);
    layOut();
}

void MainWindow::centreOnScreen() {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr) {
        return;
    }
    const QRect frame = frameGeometry();
    const Rect r = centredOnScreen(s->geometry().width(), s->geometry().height(), frame.width(),
                                   frame.height());
    move(s->geometry().left() + r.left, s->geometry().top() + r.top);
}

void MainWindow::layOut() {
    const EditorLayout l = layoutEditor(area_->width(), area_->height(), kStatusBandPixels);
    status_->setGeometry(l.status.left, l.status.top, l.status.width, l.status.height);
    text_->setGeometry(l.text.left, l.text.top, l.text.width, l.text.height);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) {
        layOut();
    }
    if (watched == menuBar() && event->type() == QEvent::KeyPress &&
        QApplication::activePopupWidget() == nullptr) {
        // After Alt or F10 alone the menu bar takes the keys: Qt opens a menu by its access
        // key there but only highlights an item without a menu ("&Info"), which then runs as
        // Return would run it.
        const QString typed = static_cast<QKeyEvent*>(event)->text().toUpper();
        for (QAction* action : menuBar()->actions()) {
            const QString caption = action->text();
            const qsizetype at = caption.indexOf('&');
            if (typed.size() == 1 && action->menu() == nullptr && action->isEnabled() && at >= 0 &&
                caption.mid(at + 1, 1).toUpper() == typed) {
                menuBar()->setActiveAction(action);
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(menuBar(), &enter);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::setBusy(bool busy) {
    running_ = busy;
    text_->setReadOnly(busy);
    for (const MenuItem& item : editor_->menu().items()) {
        syncAction(item);
    }
}

void MainWindow::run(const MenuItem& item, const std::string& caption) {
    if (running_) {
        return; // only a program can click a greyed item
    }
    // No exception may leave a command: whatever it did not trap itself is reported like any
    // other run-time error.
    auto command = [this, id = item.id()] {
        editor_->module().runStep([&] { editor_->menuClick(id); });
    };
    // Opening a menu (no caption) is not marked in the trace.
    const bool marked = trace_ != nullptr && !caption.empty();
    if (marked) {
        trace_->commandBegins(caption);
    }
    if (!item.talksToDevice) {
        command();
        if (marked) {
            trace_->commandEnds();
        }
        return;
    }
    setBusy(true);
    thread_->runCommand(command, [this, marked] {
        if (marked) {
            trace_->commandEnds();
        }
        setBusy(false);
        emit commandEnded();
        if (std::exchange(closeLater_, false)) {
            close();
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        closeLater_ = true;
        return;
    }
    bool mayClose = true;
    if (editor_ != nullptr && editor_->mayClose) {
        editor_->module().runStep([this, &mayClose] { mayClose = editor_->mayClose(); });
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::attach(frmEditor& editor, WindowThread& thread) {
    editor_ = &editor;
    thread_ = &thread;
    menuBar()->clear();
    actions_.clear();
    const auto& items = editor.menu().items();
    QMenu* menus[4] = {nullptr, nullptr, nullptr, nullptr};
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const QString caption = QString::fromStdString(item.caption);
        QAction* action = nullptr;
        if (editor.menu().hasSubmenu(i)) {
            QMenu* menu = item.level == 1 ? menuBar()->addMenu(caption)
                                          : menus[item.level - 1]->addMenu(caption);
            menu->setObjectName(QString::fromStdString(item.id()));
            menus[item.level] = menu;
            action = menu->menuAction();
            // Opening a submenu runs the item's click handler first, as the settings menus
            // expect.
            connect(menu, &QMenu::aboutToShow, this, [this, &item] { run(item); });
        } else if (item.isSeparator()) {
            action = menus[item.level - 1]->addSeparator();
        } else {
            action = item.level == 1 ? menuBar()->addAction(caption)
                                     : menus[item.level - 1]->addAction(caption);
            if (!item.shortcut.empty()) {
                action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut)));
            }
            const std::string plain = QString(caption).remove('&').toStdString();
            connect(action, &QAction::triggered, this, [this, &item, plain] {
                // The check marks belong to the logic; undo Qt's own toggling first.
                syncAction(item);
                run(item, plain);
            });
        }
        action->setObjectName(QString::fromStdString(item.id()));
        actions_[item.id()] = action;
        syncAction(item);
    }
    // A device command changes the tree from its own thread.
    editor.menu().onChange = [this](const MenuItem& item) {
        thread_->call([&] { syncAction(item); });
    };
}

void MainWindow::syncAction(const MenuItem& item) {
    auto it = actions_.find(item.id());
    if (it == actions_.end()) {
        return;
    }
    QAction* action = it->second;
    action->setEnabled(item.enabled && !running_);
    // Only a checked item is checkable, so unchecked items show no empty check box.
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
}

QAction* MainWindow::menuAction(const std::string& id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

} // namespace orva
