#include "platform/qt/QtPrinter.h"

#include "platform/RunTimeError.h"

#include <QFontMetrics>
#include <QStringList>

#include <cmath>

namespace orva {

QtPrinter::QtPrinter() : printer_(QPrinter::HighResolution) {}

QtPrinter::~QtPrinter() {
    if (painter_) {
        painter_->end();
    }
}

bool QtPrinter::begin() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&printer_)) {
            painter_.reset();
            return false;
        }
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(8.25);
        font.setBold(true);
        painter_->setFont(font);
    }
    return true;
}

Outcome<> QtPrinter::print(const std::string& text, int leftTwips, int topTwips) {
    if (!begin()) {
        return Failure{err::PrinterError};
    }
    if (pageWanted_) {
        pageWanted_ = false;
        if (!printer_.newPage()) {
            return Failure{err::PrinterError};
        }
    }
    // Twips from the paper's edge to device pixels; tab columns drawn one by one, since a
    // high-resolution painter drops text after a TAB. Text that does not fit on the page goes
    // on on the next one, with the same margin at the bottom as at the top.
    const QRectF paper = printer_.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    const double perTwip = printer_.resolution() / 1440.0;
    const double x0 = leftTwips * perTwip - (page.left() - paper.left());
    const double top = topTwips * perTwip - (page.top() - paper.top());
    const double bottom = paper.height() - topTwips * perTwip - (page.top() - paper.top());
    const QFontMetricsF fm(painter_->font(), &printer_);
    const double tabWidth = fm.horizontalAdvance(QLatin1Char('x')) * 8;
    QString all = QString::fromStdString(text);
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    double y = top;
    for (const QString& line : all.split('\n')) {
        if (y > top && y + fm.lineSpacing() > bottom) {
            if (!printer_.newPage()) {
                return Failure{err::PrinterError};
            }
            y = top;
        }
        double x = x0;
        const QStringList cells = line.split('\t');
        for (int i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                x = x0 + (std::floor((x - x0) / tabWidth) + 1) * tabWidth;
            }
            painter_->drawText(QPointF(x, y + fm.ascent()), cells[i]);
            x += fm.horizontalAdvance(cells[i]);
        }
        y += fm.lineSpacing();
    }
    return {};
}

Outcome<> QtPrinter::newPage() {
    if (!begin()) {
        return Failure{err::PrinterError};
    }
    pageWanted_ = true;
    return {};
}

Outcome<> QtPrinter::endDoc() {
    pageWanted_ = false;
    if (painter_) {
        const bool ok = painter_->end();
        painter_.reset();
        if (!ok) {
            return Failure{err::PrinterError};
        }
    }
    return {};
}

} // namespace orva
