#pragma once

#include "platform/Printer.h"

#include <QPainter>
#include <QPrinter>

#include <memory>

namespace orva {

// One print job on a QPrinter; the job starts with the first page printed.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;

    Outcome<> print(const std::string& text, int leftTwips, int topTwips) override;
    Outcome<> newPage() override;
    Outcome<> endDoc() override;

    QPrinter& printer() { return printer_; }

private:
    bool begin();

    QPrinter printer_;
    std::unique_ptr<QPainter> painter_;
    // A new page starts only when something is printed on it, so the job ends without an
    // empty sheet after the last copy.
    bool pageWanted_ = false;
};

} // namespace orva
