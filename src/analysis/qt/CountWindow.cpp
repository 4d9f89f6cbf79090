#include "analysis/qt/CountWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <QValueAxis>
#include <algorithm>

namespace orva {
namespace {

constexpr int kTotalColumn = 24;
const QColor kPeriodColour(255, 240, 170);

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// Replaces the chart's content by one bar series over these categories.
void fillChart(QChart* chart, const QString& title, const QStringList& categories,
               const QList<QBarSet*>& sets) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
    auto* series = new QBarSeries;
    series->append(sets);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setTruncateLabels(false);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    y->applyNiceNumbers();
    chart->legend()->setVisible(sets.size() > 1);
}

QChart* chartIn(QWidget* parent, QBoxLayout* layout, int stretch) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    layout->addWidget(view, stretch);
    return chart;
}

} // namespace

CountWindow::CountWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), caption_(new QLabel(this)), table_(new QTableWidget(this)),
      note_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmTabelle"));
    setWindowTitle(QStringLiteral("Zähldaten tabellarisch"));
    setAttribute(Qt::WA_DeleteOnClose);
    table_->setColumnCount(kTotalColumn + 1);
    QStringList headers;
    for (int h = 0; h < 24; ++h) {
        headers << QString::number(h);
    }
    table_->setHorizontalHeaderLabels(headers << QStringLiteral("Summe"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(kTotalColumn, QHeaderView::ResizeToContents);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { showDay(row); });

    auto* copy = new QPushButton(QStringLiteral("Tabelle &kopieren"), this);
    copy->setToolTip(QStringLiteral("Die Tabelle als Text mit Tabulatoren in die Zwischenablage"));
    connect(copy, &QPushButton::clicked, this, &CountWindow::copyTable);
    connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this,
            &CountWindow::copyTable);
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addWidget(caption_, 1);
    top->addWidget(copy);
    top->addWidget(close);
    auto* charts = new QHBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addWidget(note_);
    layout->addLayout(charts, 1);
    hourChart_ = chartIn(this, charts, 3);
    dayChart_ = chartIn(this, charts, 2);
    resize(1100, 720);
}

void CountWindow::setTable(const CountTable& table) {
    const int selected = std::max(table_->currentRow(), 0);
    counts_ = table;
    caption_->setText(text("Personen pro Stunde, " + DirectionLabel(table.Direction) + ". ") +
                      (table.Period
                           ? QStringLiteral("Auswertezeitraum %1 bis %2 Uhr hervorgehoben.")
                                 .arg(table.Period->first)
                                 .arg(table.Period->second)
                           : QString()));
    note_->setText(text(LeftOutNote(table)));
    note_->setVisible(!note_->text().isEmpty());
    table_->setRowCount(static_cast<int>(table.Days.size()));
    QStringList dates;
    QStringList shortDates;
    auto* totals = new QBarSet(text(DirectionLabel(table.Direction)));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const DayCounts& day = table.Days[static_cast<std::size_t>(row)];
        dates << text(LongDate(day.DateText, table.Today));
        shortDates << text(day.DateText.substr(0, 6));
        for (int h = 0; h <= kTotalColumn; ++h) {
            const std::optional<long> v = h == kTotalColumn ? DayTotal(day, table.Direction)
                                                            : CellValue(day, h, table.Direction);
            auto* item = new QTableWidgetItem(v ? QString::number(*v) : QString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (h < kTotalColumn && InPeriod(table, h)) {
                item->setBackground(kPeriodColour);
            }
            table_->setItem(row, h, item);
        }
        *totals << static_cast<qreal>(DayTotal(day, table.Direction));
    }
    for (int h = 0; h < 24; ++h) {
        table_->horizontalHeaderItem(h)->setBackground(InPeriod(table, h) ? QBrush(kPeriodColour)
                                                                          : QBrush());
    }
    table_->setVerticalHeaderLabels(dates);
    fillChart(dayChart_, text("Personen pro Tag, " + DirectionLabel(table.Direction)), shortDates,
              {totals});
    // Dates stand upright, so that a month of them still fits.
    static_cast<QBarCategoryAxis*>(dayChart_->axes(Qt::Horizontal).constFirst())
        ->setLabelsAngle(-90);
    if (table_->rowCount() > 0) {
        table_->selectRow(std::min(selected, table_->rowCount() - 1));
    }
    showDay(table_->currentRow());
}

void CountWindow::showDay(int row) {
    if (row < 0 || row >= static_cast<int>(counts_.Days.size())) {
        hourChart_->removeAllSeries();
        hourChart_->setTitle(QString());
        return;
    }
    const DayCounts& day = counts_.Days[static_cast<std::size_t>(row)];
    auto* right = new QBarSet(QStringLiteral("Rechts"));
    auto* left = new QBarSet(QStringLiteral("Links"));
    QStringList hours;
    for (int h = 0; h < 24; ++h) {
        hours << QString::number(h);
        *right << static_cast<qreal>(CellValue(day, h, TableDirection::Right).value_or(0));
        *left << static_cast<qreal>(CellValue(day, h, TableDirection::Left).value_or(0));
    }
    fillChart(hourChart_, text("Personen pro Stunde am " + LongDate(day.DateText, counts_.Today)),
              hours, {right, left});
}

void CountWindow::copyTable() {
    QGuiApplication::clipboard()->setText(text(TableText(counts_)));
}

QtCountTableView::~QtCountTableView() {
    delete window_.data();
}

void QtCountTableView::show(const CountTable& table) {
    if (!window_) {
        window_ = new CountWindow(parent_);
    }
    window_->setTable(table);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void QtCountTableView::refresh(const CountTable& table) {
    if (window_) {
        window_->setTable(table);
    }
}

void QtCountTableView::close() {
    if (window_) {
        window_->close();
    }
}

} // namespace orva
