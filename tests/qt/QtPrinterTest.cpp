#include "platform/qt/QtPrinter.h"
#include "platform/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

namespace orva {
namespace {

// Two copies of a report longer than a page, printed as the File menu prints them, to a PDF
// file: each copy starts on a page of its own and goes on over further pages, tab stops kept.
TEST(QtPrinter, TwoCopiesOfALongReportPrintWhole) {
    test::TempHome home;
    const std::string pdf = (home.path() / "druck.pdf").string();
    QtPrinter printer;
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(QString::fromStdString(pdf));
    std::string text = "\tORVA-DS:  Datum: 31.12.94\r\n";
    for (int line = 1; line <= 200; ++line) {
        text += "\tZeile\t" + std::to_string(line) + "\tEnde\r\n";
    }
    for (int copy = 1; copy <= 2; ++copy) {
        ASSERT_TRUE(printer.print(text, 1000, 1000) && printer.newPage());
    }
    ASSERT_TRUE(printer.endDoc());

    std::string all; // the pages as laid out; pdftotext ends every page with a form feed
    if (FILE* f = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r")) {
        for (int c = fgetc(f); c != EOF; c = fgetc(f)) {
            all += static_cast<char>(c);
        }
        pclose(f);
    }
    ASSERT_GE(std::count(all.begin(), all.end(), '\f'), 6);
    const auto second = all.find("Datum: 31.12.94", all.find("Datum: 31.12.94") + 1);
    ASSERT_NE(second, std::string::npos) << "one copy only";
    EXPECT_EQ(all[all.find_last_not_of(" \n", all.rfind("ORVA-DS", second) - 1)], '\f')
        << "the second copy does not start a page of its own";
    // Lines of the first and the last page of both copies; on one page, their last words at
    // one tab stop.
    std::vector<long> columns;
    for (const std::string number : {"1", "10", "200"}) {
        const std::regex line("[^\n\f]*Zeile +" + number + " +Ende\n");
        for (std::sregex_iterator m(all.begin(), all.end(), line), end; m != end; ++m) {
            columns.push_back(m->length() - 5);
        }
    }
    ASSERT_EQ(columns.size(), 6u) << all;
    EXPECT_EQ(std::count(columns.begin(), columns.begin() + 4, columns[0]), 4) << all;
}

} // namespace
} // namespace orva
