#pragma once

#include "analysis/Auswertung.h"
#include "platform/qt/WindowThread.h"

#include <QPointer>
#include <QPrinter>
#include <QWidget>

#include <utility>
#include <vector>

class QCategoryAxis;
class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;
class QValueAxis;

namespace orva {

// The window "Zähldaten aus dem Archiv": range, grouping, direction and site above; the table
// and the chart of the view, the missing days and conflicts, and the weekday profile.
class ArchiveWindow : public QWidget {
    Q_OBJECT
public:
    ArchiveWindow(QWidget* parent, Auswertung& auswertung);

    void setView(const ArchiveView& view);
    // The title, the notes, the chart and the table, over as many pages as the table needs.
    void print(QPrinter& printer);

    QTableWidget* table() const { return table_; }
    QTableWidget* profile() const { return profile_; }
    QChart* chart() const { return chart_; }
    QChartView* chartView() const { return chartView_; }
    QLabel* note() const { return note_; }
    QComboBox* presets() const { return presets_; }
    QComboBox* groupings() const { return groupings_; }
    QComboBox* directions() const { return directions_; }
    QComboBox* sites() const { return sites_; }
    QDateEdit* from() const { return from_; }
    QDateEdit* to() const { return to_; }

private:
    void ask(); // the controls' request, to the logic
    // "Mehrere…": the sites to add up, ticked in a list.
    void chooseSeveral();
    void fillTable(const ArchiveView& view);
    void fillChart(const ArchiveView& view);
    // Labels along the bottom: every n-th, n as small as keeps them apart.
    void fitAxisLabels();
    void printWithDialog();

    Auswertung& auswertung_;
    QComboBox* presets_;
    QDateEdit* from_;
    QDateEdit* to_;
    QComboBox* groupings_;
    QComboBox* directions_;
    QComboBox* sites_;
    QComboBox* sources_;
    QLabel* waiting_;
    QLabel* downloadSite_;
    QPushButton* rename_;
    QLabel* caption_;
    QLabel* note_;
    QTableWidget* table_;
    QChart* chart_;
    QChartView* chartView_;
    QCategoryAxis* x_;
    QValueAxis* y_;
    QTableWidget* profile_;
    QPrinter printer_;
    std::vector<std::pair<double, QString>> ticks_; // every label the axis could show
    double tickSpacing_ = 1;
    int labelStep_ = 0;
};

// Keeps at most one archive window, deleted when closed. Downloads tell it of new counts from
// the device commands' thread.
class QtArchiveView : public ArchiveWindowView {
public:
    QtArchiveView(QWidget* parent, WindowThread& thread, Auswertung& auswertung)
        : parent_(parent), thread_(thread), auswertung_(auswertung) {}
    ~QtArchiveView() override;

    bool isOpen() override;
    void show(const ArchiveView& view) override;
    void refresh(const ArchiveView& view) override;
    void downloadEnded() override;
    ArchiveWindow* window() const { return window_; }

private:
    QWidget* parent_;
    WindowThread& thread_;
    Auswertung& auswertung_;
    QPointer<ArchiveWindow> window_;
};

} // namespace orva
