#include "analysis/qt/ArchiveWindow.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPrintDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <set>

namespace orva {
namespace {

const QColor kPeriodColour(255, 240, 170);
const QColor kGapColour(225, 225, 225);
const QColor kCountColour(32, 96, 176);
const QColor kEarlierColour(150, 150, 150);

QString text(const std::string& s) {
    return QString::fromStdString(s);
}
QDate qdate(const Date& d) {
    return {d.year, d.month, d.day};
}
Date date(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

// Points in runs without gaps, one line each; only the first is named in the legend. A run of
// one point shows as a dot.
void addRuns(QChart* chart, const std::vector<std::optional<std::pair<double, double>>>& points,
             const QString& name, const QPen& pen) {
    bool named = false;
    QLineSeries* run = nullptr;
    const auto close = [&] {
        if (run != nullptr) {
            run->setPointsVisible(run->count() == 1);
            chart->addSeries(run);
            const auto markers = chart->legend()->markers(run);
            for (QLegendMarker* m : markers) {
                m->setVisible(!named);
            }
            named = true;
            run = nullptr;
        }
    };
    for (const auto& p : points) {
        if (!p) {
            close();
            continue;
        }
        if (run == nullptr) {
            run = new QLineSeries;
            run->setName(name);
            run->setPen(pen);
            run->setColor(pen.color());
        }
        run->append(p->first, p->second);
    }
    close();
}

// Spans of x shaded from the bottom to `top`, as one area.
void addBands(QChart* chart, const std::vector<std::pair<double, double>>& spans, double top,
              const QString& name, const QColor& colour) {
    if (spans.empty()) {
        return;
    }
    auto* upper = new QLineSeries;
    for (const auto& [from, to] : spans) {
        upper->append(from, 0);
        upper->append(from, top);
        upper->append(to, top);
        upper->append(to, 0);
    }
    auto* area = new QAreaSeries(upper);
    area->setName(name);
    area->setColor(colour);
    area->setBorderColor(colour);
    chart->addSeries(area);
}

QTableWidgetItem* cell(const std::string& value, bool number) {
    auto* item = new QTableWidgetItem(text(value));
    item->setTextAlignment(number ? Qt::AlignRight | Qt::AlignVCenter
                                  : Qt::AlignLeft | Qt::AlignVCenter);
    return item;
}

void fill(QTableWidget* table, const ViewTable& t, int labelColumns) {
    table->clear();
    table->setColumnCount(static_cast<int>(t.header.size()));
    table->setRowCount(static_cast<int>(t.rows.size()));
    QStringList header;
    for (const std::string& h : t.header) {
        header << text(h);
    }
    table->setHorizontalHeaderLabels(header);
    for (int r = 0; r < table->rowCount(); ++r) {
        const auto& row = t.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < table->columnCount(); ++c) {
            table->setItem(r, c, cell(row[static_cast<std::size_t>(c)], c >= labelColumns));
        }
    }
}

QString htmlTable(const QTableWidget* table) {
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>");
    for (int c = 0; c < table->columnCount(); ++c) {
        html += QStringLiteral("<th>%1</th>")
                    .arg(table->horizontalHeaderItem(c)->text().toHtmlEscaped());
    }
    html += QStringLiteral("</tr>");
    for (int r = 0; r < table->rowCount(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            html += QStringLiteral("<td align=\"%1\">%2</td>")
                        .arg(c == 0 ? QStringLiteral("left") : QStringLiteral("right"),
                             item != nullptr ? item->text().toHtmlEscaped() : QString());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace

ArchiveWindow::ArchiveWindow(QWidget* parent, Auswertung& auswertung)
    : QWidget(parent, Qt::Window), auswertung_(auswertung), presets_(new QComboBox(this)),
      from_(new QDateEdit(this)), to_(new QDateEdit(this)), groupings_(new QComboBox(this)),
      directions_(new QComboBox(this)), sites_(new QComboBox(this)), sources_(new QComboBox(this)),
      waiting_(new QLabel(this)), downloadSite_(new QLabel(this)),
      rename_(new QPushButton(QStringLiteral("&Umbenennen…"), this)), caption_(new QLabel(this)),
      note_(new QLabel(this)), table_(new QTableWidget(this)), chart_(new QChart),
      chartView_(new QChartView(chart_, this)), x_(new QCategoryAxis), y_(new QValueAxis),
      profile_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("frmArchiv"));
    setWindowTitle(QStringLiteral("Zähldaten aus dem Archiv"));
    setAttribute(Qt::WA_DeleteOnClose);
    printer_.setPageOrientation(QPageLayout::Landscape);

    for (const RangePreset p : kPresets) {
        presets_->addItem(text(presetName(p)));
    }
    presets_->addItem(QStringLiteral("Eigener Zeitraum"));
    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        connect(edit, &QDateEdit::editingFinished, this, &ArchiveWindow::ask);
    }
    for (const ViewGrouping g : kGroupings) {
        groupings_->addItem(text(groupingName(g)));
    }
    directions_->addItems({QStringLiteral("Beide"), QStringLiteral("Links"),
                           QStringLiteral("Rechts")}); // in the order of CountDirection
    connect(presets_, &QComboBox::activated, this, [this](int i) {
        if (i < static_cast<int>(std::size(kPresets))) {
            auswertung_.choosePreset(kPresets[i]);
        }
    });
    connect(groupings_, &QComboBox::activated, this, &ArchiveWindow::ask);
    connect(directions_, &QComboBox::activated, this, &ArchiveWindow::ask);
    // Item data: a site's name, "" for all added up; nothing for the entry naming several
    // sites shown and for "Mehrere…", the last entry.
    connect(sites_, &QComboBox::activated, this, [this](int i) {
        if (i == sites_->count() - 1) {
            chooseSeveral();
        } else if (const QVariant name = sites_->itemData(i); name.isValid()) {
            auswertung_.chooseSite(name.toString().toStdString());
        }
    });
    sources_->addItems({QStringLiteral("Dieser PC"), QStringLiteral("Archiv-Server")});
    connect(sources_, &QComboBox::activated, this,
            [this](int i) { auswertung_.chooseSource(i == 1); });
    auto* newSite = new QPushButton(QStringLiteral("&Neu…"), this);
    connect(newSite, &QPushButton::clicked, this, [this] { auswertung_.newSite(); });
    connect(rename_, &QPushButton::clicked, this, [this] { auswertung_.renameSite(); });
    auto* exportButton = new QPushButton(QStringLiteral("E&xportieren…"), this);
    connect(exportButton, &QPushButton::clicked, this,
            [this] { auswertung_.mnuDatExport_Click(); });
    auto* printButton = new QPushButton(QStringLiteral("&Drucken…"), this);
    connect(printButton, &QPushButton::clicked, this, &ArchiveWindow::printWithDialog);
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* controls = new QGridLayout;
    const auto labelled = [&](int row, int column, const QString& label, QWidget* w) {
        auto* l = new QLabel(label, this);
        l->setBuddy(w);
        controls->addWidget(l, row, column);
        controls->addWidget(w, row, column + 1);
    };
    labelled(0, 0, QStringLiteral("&Zeitraum:"), presets_);
    labelled(0, 2, QStringLiteral("&von"), from_);
    labelled(0, 4, QStringLiteral("&bis"), to_);
    labelled(0, 6, QStringLiteral("&Gliederung:"), groupings_);
    labelled(0, 8, QStringLiteral("&Richtung:"), directions_);
    labelled(1, 0, QStringLiteral("S&tandort:"), sites_);
    controls->addWidget(newSite, 1, 2);
    controls->addWidget(rename_, 1, 3);
    controls->addWidget(downloadSite_, 1, 4, 1, 5);
    labelled(2, 0, QStringLiteral("&Quelle:"), sources_);
    controls->addWidget(waiting_, 2, 2, 1, 7);
    controls->setColumnStretch(10, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(printButton);
    buttons->addWidget(close);
    auto* top = new QHBoxLayout;
    top->addLayout(controls, 1);
    top->addLayout(buttons);

    for (QLabel* l : {caption_, note_}) {
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    for (QTableWidget* t : {table_, profile_}) {
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->setVisible(false);
    }
    chart_->setAnimationOptions(QChart::NoAnimation);
    // One pair of axes for every view: labels are replaced, never their items.
    x_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x_->setGridLineVisible(false);
    x_->setTruncateLabels(false);
    y_->setLabelFormat(QStringLiteral("%d"));
    chart_->addAxis(x_, Qt::AlignBottom);
    chart_->addAxis(y_, Qt::AlignLeft);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumHeight(300);
    // Once the chart has laid itself out: only then is the plot's width known.
    connect(chart_, &QChart::plotAreaChanged, this, &ArchiveWindow::fitAxisLabels,
            Qt::QueuedConnection);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(chartView_);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    auto* tabs = new QTabWidget(this);
    tabs->addTab(split, QStringLiteral("T&abelle und Diagramm"));
    tabs->addTab(profile_, QStringLiteral("&Wochenprofil"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(caption_);
    layout->addWidget(tabs, 1);
    layout->addWidget(note_);
    resize(1200, 760);
}

void ArchiveWindow::chooseSeveral() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Standorte zusammenzählen"));
    auto* list = new QListWidget(&dialog);
    const std::vector<std::string>& now = auswertung_.request().sites;
    for (int i = 1; i < sites_->count(); ++i) {
        if (const QVariant name = sites_->itemData(i); name.isValid()) {
            auto* item = new QListWidgetItem(name.toString(), list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            const bool ticked =
                std::find(now.begin(), now.end(), name.toString().toStdString()) != now.end();
            item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Diese Standorte zusammenzählen:"), &dialog));
    layout->addWidget(list);
    layout->addWidget(buttons);
    std::vector<std::string> chosen;
    if (dialog.exec() == QDialog::Accepted) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->checkState() == Qt::Checked) {
                chosen.push_back(list->item(i)->text().toStdString());
            }
        }
    }
    if (!chosen.empty()) {
        auswertung_.chooseSites(chosen);
    } else if (const auto& shown = auswertung_.shown()) {
        setView(*shown); // back to what is shown
    }
}

void ArchiveWindow::ask() {
    ViewRequest r = auswertung_.request();
    r.from = date(from_->date());
    r.to = date(to_->date());
    r.grouping = kGroupings[std::max(groupings_->currentIndex(), 0)];
    r.direction = static_cast<CountDirection>(std::max(directions_->currentIndex(), 0));
    const ViewRequest& now = auswertung_.request();
    if (r.from != now.from || r.to != now.to || r.grouping != now.grouping ||
        r.direction != now.direction) {
        auswertung_.choose(r);
    }
}

void ArchiveWindow::setView(const ArchiveView& view) {
    const ViewRequest& r = view.request;
    {
        const QSignalBlocker b1(presets_), b2(from_), b3(to_), b4(groupings_), b5(directions_),
            b6(sites_), b7(sources_);
        sources_->setCurrentIndex(auswertung_.onServer() ? 1 : 0);
        static_cast<QStandardItemModel*>(sources_->model())
            ->item(1)
            ->setEnabled(auswertung_.serverSet());
        waiting_->setText(text(auswertung_.waitingNote()));
        const std::optional<RangePreset> preset = auswertung_.preset();
        presets_->setCurrentIndex(preset ? static_cast<int>(*preset) : presets_->count() - 1);
        from_->setDate(qdate(r.from));
        to_->setDate(qdate(r.to));
        auto* model = static_cast<QStandardItemModel*>(groupings_->model());
        for (int i = 0; i < groupings_->count(); ++i) {
            model->item(i)->setEnabled(groupingFits(kGroupings[i], r.from, r.to));
        }
        groupings_->setCurrentIndex(static_cast<int>(r.grouping));
        directions_->setCurrentIndex(static_cast<int>(r.direction));
        const std::string downloads = auswertung_.downloadSite();
        std::set<std::string> names(view.sites.begin(), view.sites.end());
        names.insert(downloads);
        if (!r.site.empty()) {
            names.insert(r.site);
        }
        sites_->clear();
        sites_->addItem(QString::fromUtf8(kAllSites), QString());
        for (const std::string& n : names) {
            sites_->addItem(text(n), text(n));
        }
        if (!r.sites.empty()) {
            sites_->addItem(text(siteLabel(r)));
        }
        sites_->addItem(QStringLiteral("Mehrere…"));
        sites_->setCurrentIndex(!r.sites.empty() ? sites_->count() - 2
                                : r.site.empty() ? 0
                                                 : sites_->findData(text(r.site)));
        // Sites are named on this PC, where downloads go.
        rename_->setEnabled(!r.site.empty() && !auswertung_.onServer());
        downloadSite_->setText(
            QStringLiteral("Neue Downloads gehen an „%1“.").arg(text(downloads)));
    }
    caption_->setText(text(viewTitle(view) + ". " + sumsNote(view)));
    note_->setText(text(gapsNote(view)));
    note_->setVisible(!note_->text().isEmpty());
    fillTable(view);
    fillChart(view);
}

void ArchiveWindow::fillTable(const ArchiveView& view) {
    const bool hourly = view.request.grouping == ViewGrouping::Hour;
    fill(table_, viewTable(view), 1);
    for (int r = 0; r + 1 < table_->rowCount(); ++r) {
        const bool gap = view.rows[static_cast<std::size_t>(r)].days == 0;
        for (int c = 0; c < table_->columnCount(); ++c) {
            const bool inPeriod =
                hourly && c >= 1 + view.request.fromHour && c <= 1 + view.request.toHour;
            if (gap || inPeriod) {
                table_->item(r, c)->setBackground(gap ? kGapColour : kPeriodColour);
            }
        }
    }
    if (hourly) {
        for (int h = view.request.fromHour; h <= view.request.toHour; ++h) {
            table_->horizontalHeaderItem(1 + h)->setBackground(kPeriodColour);
        }
    }
    QFont bold = table_->font();
    bold.setBold(true);
    for (int c = 0; c < table_->columnCount(); ++c) {
        table_->item(table_->rowCount() - 1, c)->setFont(bold);
    }
    table_->resizeColumnsToContents();

    fill(profile_, profileTable(view), 1);
    double top = 0;
    for (const auto& day : view.profile) {
        top = std::max(top, *std::max_element(day.begin(), day.end()));
    }
    for (int wd = 0; wd < 7; ++wd) {
        for (int h = 0; h < 24 && top > 0; ++h) {
            const double share =
                view.profile[static_cast<std::size_t>(wd)][static_cast<std::size_t>(h)] / top;
            profile_->item(wd, 2 + h)->setBackground(QColor(
                255, 255 - static_cast<int>(share * 120), 255 - static_cast<int>(share * 200)));
        }
    }
    profile_->resizeColumnsToContents();
}

void ArchiveWindow::fillChart(const ArchiveView& view) {
    chart_->removeAllSeries();
    const ViewRequest& r = view.request;
    const bool hourly = r.grouping == ViewGrouping::Hour;
    const double perRow = hourly ? 24 : 1;
    std::vector<std::optional<std::pair<double, double>>> now;
    std::vector<std::optional<std::pair<double, double>>> before;
    std::vector<std::pair<double, double>> gaps;
    std::vector<std::pair<double, double>> period;
    ticks_.clear();
    double top = 1;
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        const ViewRow& row = view.rows[i];
        const double x0 = static_cast<double>(i) * perRow;
        ticks_.emplace_back(x0, text(row.label));
        if (row.days == 0) {
            gaps.emplace_back(x0 - 0.5, x0 + perRow - 0.5);
        }
        if (hourly) {
            period.emplace_back(x0 + r.fromHour - 0.5, x0 + r.toHour + 0.5);
            for (int h = 0; h < 24; ++h) {
                const auto at = [&](const std::optional<long>& v) {
                    return v ? std::optional(std::pair(x0 + h, static_cast<double>(*v)))
                             : std::nullopt;
                };
                now.push_back(at(row.hours[static_cast<std::size_t>(h)]));
                before.push_back(at(row.earlierHours[static_cast<std::size_t>(h)]));
            }
        } else {
            now.push_back(row.days > 0 ? std::optional(std::pair(x0, double(row.total)))
                                       : std::nullopt);
            before.push_back(row.earlier ? std::optional(std::pair(x0, double(*row.earlier)))
                                         : std::nullopt);
        }
    }
    for (const auto& series : {now, before}) {
        for (const auto& p : series) {
            top = std::max(top, p ? p->second : 0.0);
        }
    }
    // Whole persons on the axis: at least a few steps, so that labels never repeat.
    top = std::max(top * 1.05, 4.0);
    addBands(chart_, period, top, QStringLiteral("Auswertezeitraum"), kPeriodColour);
    addBands(chart_, gaps, top, QStringLiteral("Keine Daten"), kGapColour);
    QPen earlierPen(kEarlierColour, 1.5, Qt::DashLine);
    addRuns(chart_, before, QStringLiteral("Vorjahr"), earlierPen);
    addRuns(chart_, now, text(DirectionLabel(r.direction)), QPen(kCountColour, 2));
    chart_->setTitle(text(viewTitle(view)));

    for (const QString& label : x_->categoriesLabels()) {
        x_->remove(label);
    }
    x_->setRange(-0.5, static_cast<double>(view.rows.size()) * perRow - 0.5);
    y_->setRange(0, top);
    y_->applyNiceNumbers();
    for (QAbstractSeries* s : chart_->series()) {
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    tickSpacing_ = perRow;
    labelStep_ = 0;
    fitAxisLabels();
}

void ArchiveWindow::fitAxisLabels() {
    if (ticks_.empty()) {
        return;
    }
    QCategoryAxis* axis = x_;
    const QFontMetricsF metrics(axis->labelsFont());
    qreal widest = 0;
    for (const auto& tick : ticks_) {
        widest = std::max(widest, metrics.horizontalAdvance(tick.second));
    }
    const qreal width = std::max<qreal>(chart_->plotArea().width(), 1);
    const qreal perUnit = width / (axis->max() - axis->min());
    // The chart draws a label a little wider than the font says: leave room for that.
    const int step =
        std::max(1, static_cast<int>(std::ceil((widest + 16) / (perUnit * tickSpacing_))));
    if (step == labelStep_) {
        return;
    }
    labelStep_ = step;
    for (const QString& label : axis->categoriesLabels()) {
        axis->remove(label);
    }
    // A label sticking out at either end would be hidden by the chart.
    const qreal margin = (widest / 2 + 4) / perUnit;
    for (std::size_t i = 0; i < ticks_.size(); i += static_cast<std::size_t>(step)) {
        const double x = ticks_[i].first;
        if (x - axis->min() >= margin && axis->max() - x >= margin) {
            axis->append(ticks_[i].second, x);
        }
    }
}

void ArchiveWindow::print(QPrinter& printer) {
    QTextDocument doc;
    const QImage picture = chartView_->grab().toImage();
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("orva:chart")), picture);
    QString html = QStringLiteral("<h3>%1</h3><p>%2</p>")
                       .arg(caption_->text().toHtmlEscaped(), note_->text().toHtmlEscaped());
    html += QStringLiteral("<p><img src=\"orva:chart\" width=\"%1\"></p>")
                .arg(std::min(picture.width(), 900));
    html += htmlTable(table_);
    doc.setDefaultFont(QFont(font().family(), 7));
    doc.setHtml(html);
    doc.print(&printer);
}

void ArchiveWindow::printWithDialog() {
    QPrintDialog dialog(&printer_, this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Printing to a PDF file stays offered: many desks have no printer but a PDF printer.
    if (dialog.exec() == QDialog::Accepted) {
        print(printer_);
    }
}

QtArchiveView::~QtArchiveView() {
    delete window_.data();
}

bool QtArchiveView::isOpen() {
    return thread_.call([&] { return window_ != nullptr && window_->isVisible(); });
}

void QtArchiveView::show(const ArchiveView& view) {
    thread_.call([&] {
        if (!window_) {
            window_ = new ArchiveWindow(parent_, auswertung_);
        }
        window_->setView(view);
        window_->show();
        window_->raise();
        window_->activateWindow();
    });
}

void QtArchiveView::refresh(const ArchiveView& view) {
    thread_.call([&] {
        if (window_) {
            window_->setView(view);
        }
    });
}

void QtArchiveView::downloadEnded() {
    thread_.call([&] {
        if (window_) {
            auswertung_.follow();
        }
    });
}

} // namespace orva
