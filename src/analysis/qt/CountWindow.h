#pragma once

#include "analysis/Auswertung.h"
#include "platform/qt/WindowThread.h"

#include <QPointer>
#include <QWidget>

class QBarSet;
class QChart;
class QLabel;
class QTableWidget;

namespace orva {

// The table window "Zähldaten": one row per day with the hours and the day's total in the
// chosen direction, the evaluation period highlighted; below it the selected day's hours in
// both directions side by side and the totals of all days as bar charts.
class CountWindow : public QWidget {
    Q_OBJECT
public:
    explicit CountWindow(QWidget* parent);

    void setTable(const CountTable& table);
    QTableWidget* table() const { return table_; }
    QChart* hourChart() const { return hourChart_; }
    QChart* dayChart() const { return dayChart_; }
    // The table as tab-separated text onto the clipboard.
    void copyTable();

private:
    void showDay(int row);

    CountTable counts_;
    QLabel* caption_;
    QTableWidget* table_;
    QLabel* note_;
    QChart* hourChart_;
    QChart* dayChart_;
};

// Keeps at most one table window, owned by `parent`'s window system but deleted when closed.
// A download tells it of new counts from the device commands' thread.
class QtCountTableView : public CountTableView {
public:
    QtCountTableView(QWidget* parent, WindowThread& thread) : parent_(parent), thread_(thread) {}
    ~QtCountTableView() override;

    void show(const CountTable& table) override;
    void refresh(const CountTable& table) override;
    void close() override;
    // The open window, or nothing.
    CountWindow* window() const { return window_; }

private:
    QWidget* parent_;
    WindowThread& thread_;
    QPointer<CountWindow> window_;
};

} // namespace orva
