#include "analysis/qt/CountWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <QValueAxis>
#include <QtMath>
#include <algorithm>

namespace orva {
namespace {

constexpr int kTotalColumn = 24;
constexpr int kChartHeight = 260;
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

// Widens the chart until each category along its bottom has room for its label: the label's
// width (its line, when turned upright), the margin the chart puts around it and a little air.
void fitLabels(QChartView* view) {
    const QList<QAbstractAxis*> axes = view->chart()->axes(Qt::Horizontal);
    if (axes.isEmpty()) {
        return;
    }
    auto* axis = static_cast<QBarCategoryAxis*>(axes.constFirst());
    const QFontMetricsF metrics(axis->labelsFont());
    qreal widest = metrics.height();
    if (axis->labelsAngle() == 0) {
        widest = 0;
        for (const QString& label : axis->categories()) {
            widest = std::max(widest, metrics.horizontalAdvance(label));
        }
    }
    const qreal beside = view->width() - view->chart()->plotArea().width();
    view->setMinimumWidth(qCeil(beside + (widest + 4) * axis->count()));
}

QChartView* chartView(QWidget* parent) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(kChartHeight);
    // Once the chart has laid itself out: a view resized meanwhile would leave it as it was.
    QObject::connect(
        chart, &QChart::plotAreaChanged, view, [view] { fitLabels(view); }, Qt::QueuedConnection);
    return view;
}

} // namespace

CountWindow::CountWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), caption_(new QLabel(this)), table_(new QTableWidget(this)),
      note_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmTabelle"));
    setWindowTitle(QStringLiteral("Zähldaten tabellarisch"));
    // The caption wraps rather than hold the window, and with it the day chart, wide.
    caption_->setWordWrap(true);
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
    QChartView* hours = chartView(this);
    hourChart_ = hours->chart();
    charts->addWidget(hours);
    // More days than fit scroll sideways, so that every day keeps a label no other covers.
    QChartView* dayView = chartView(this);
    dayChart_ = dayView->chart();
    auto* days = new QScrollArea(this);
    days->setWidget(dayView);
    days->setWidgetResizable(true);
    days->setFrameShape(QFrame::NoFrame);
    days->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    days->setMinimumHeight(kChartHeight + days->horizontalScrollBar()->sizeHint().height());
    charts->addWidget(days, 1);
    resize(1200, 720);
}

void CountWindow::setTable(const CountTable& table) {
    const int selected = std::max(table_->currentRow(), 0);
    counts_ = table;
    caption_->setText(text("Personen pro Stunde, " + DirectionLabel(table.Direction) + ". ") +
                      QStringLiteral("Auswertezeitraum %1 bis %2 Uhr hervorgehoben.")
                          .arg(table.Period.first)
                          .arg(table.Period.second));
    note_->setText(text(LeftOutNote(table)));
    note_->setVisible(!note_->text().isEmpty());
    table_->setRowCount(static_cast<int>(table.Days.size()));
    QStringList dates;
    QStringList days; // the chart's categories, which must differ: one date may come twice
    auto* totals = new QBarSet(text(DirectionLabel(table.Direction)));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const DayCounts& day = table.Days[static_cast<std::size_t>(row)];
        const QString date = text(LongDate(day.DateText, table.Today));
        dates << date;
        const auto nth = dates.count(date);
        days << (nth == 1 ? date : QStringLiteral("%1 (%2)").arg(date).arg(nth));
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
    fillChart(dayChart_, text("Personen pro Tag, " + DirectionLabel(table.Direction)), days,
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
        *right << static_cast<qreal>(CellValue(day, h, CountDirection::Right).value_or(0));
        *left << static_cast<qreal>(CellValue(day, h, CountDirection::Left).value_or(0));
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
    thread_.call([&] {
        if (!window_) {
            window_ = new CountWindow(parent_);
        }
        window_->setTable(table);
        window_->show();
        window_->raise();
        window_->activateWindow();
    });
}

void QtCountTableView::refresh(const CountTable& table) {
    thread_.call([&] {
        if (window_) {
            window_->setTable(table);
        }
    });
}

void QtCountTableView::close() {
    thread_.call([&] {
        if (window_) {
            window_->close();
        }
    });
}

} // namespace orva
