#include "platform/qt/QtPrinter.h"
#include "platform/TempHome.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace orva {
namespace {

// Two copies of a report longer than a page, printed as the File menu prints them, to a PDF
// file: each copy starts on a page of its own and goes on over further pages, columns apart.
TEST(QtPrinter, TwoCopiesOfALongReportPrintWhole) {
    test::TempHome home;
    const std::string pdf = (home.path() / "druck.pdf").string();
    QtPrinter printer;
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(QString::fromStdString(pdf));
    std::string text = "\tORVA-DS:  Datum: 31.12.94\r\n";
    for (int line = 1; line <= 200; ++line) {
        text += "\tZeile\t" + std::to_string(line) + "\r\n";
    }
    for (int copy = 1; copy <= 2; ++copy) {
        printer.print(text, 1000, 1000);
        printer.newPage();
    }
    printer.endDoc();

    std::string all; // the pages' text, blank runs made one blank
    if (FILE* f = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r")) {
        for (int c = fgetc(f); c != EOF; c = fgetc(f)) {
            if (c != ' ' || all.empty() || all.back() != ' ') {
                all += static_cast<char>(c);
            }
        }
        pclose(f);
    }
    const auto count = [&all](const std::string& what) {
        std::vector<std::size_t> at;
        for (auto k = all.find(what); k != std::string::npos; k = all.find(what, k + 1)) {
            at.push_back(k);
        }
        return at;
    };
    const auto pageEnds = count("\f"); // pdftotext ends every page with a form feed
    const auto starts = count("ORVA-DS: Datum: 31.12.94\n");
    ASSERT_GE(pageEnds.size(), 6u);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(all[all.find_last_not_of(" \n", starts[1] - 1)], '\f')
        << "the second copy does not start a page of its own";
    for (const std::string line : {"Zeile 1\n", "Zeile 100\n", "Zeile 200\n"}) {
        EXPECT_EQ(count(line).size(), 2u) << line;
    }
}

} // namespace
} // namespace orva
