#pragma once

#include "app/ORVA_DS.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace orva {

// Pixels at 96 dpi for a length in twips, rounded.
constexpr int twipsToPixels(int twips) {
    return (twips * 2 + 15) / 30;
}

// What the three small windows share: handlers that never throw into Qt, a button that Esc
// clicks, centring on the screen.
class SmallDialog : public QDialog {
public:
    SmallDialog(OrvaModule& module, QWidget* parent) : QDialog(parent), module_(module) {}

protected:
    // Runs a handler of the logic; whatever it did not trap itself is reported here.
    void guarded(const std::function<void()>& work);
    // Esc clicks this button, as the window's cancel button.
    void setEscapeButton(QPushButton* button) { escape_ = button; }
    // Closes the window once its logic has unloaded it.
    void closeIf(bool unloaded);

    void keyPressEvent(QKeyEvent* event) override;
    // Centres the window, frame included, when it first shows: only then is the frame known.
    void showEvent(QShowEvent* event) override;

private:
    OrvaModule& module_;
    QPushButton* escape_ = nullptr;
    bool centred_ = false;
};

} // namespace orva
