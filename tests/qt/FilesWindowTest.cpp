#include "fakes/FakePlatform.h"
#include "files/DataFiles.h"
#include "platform/RunTimeError.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtPrinter.h"
#include "qt/WhenShown.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace orva {
namespace {

class QtDialogTest : public testing::Test {
protected:
    void SetUp() override {
        // Tests run in parallel processes: each gets a folder of its own.
        dir = fs::temp_directory_path() /
              ("orva-dialog-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        before = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(before);
        fs::remove_all(dir);
    }

    // Runs `answer` on the file dialog as soon as it is shown.
    static void whenDialogShows(std::function<void(QFileDialog*)> answer) {
        test::whenModalShows([answer](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(d, nullptr);
            answer(d);
        });
    }

    fs::path dir;
    fs::path before;
    QtPrinter printer;
    QtFileDialog dialog{nullptr, printer.printer()};
};

TEST_F(QtDialogTest, SaveOffersTheThreeFiltersWithTextFilesChosenAndAddsTxt) {
    QStringList filters;
    QString selected;
    QString proposed;
    whenDialogShows([&](QFileDialog* d) {
        filters = d->nameFilters();
        selected = d->selectedNameFilter();
        proposed = d->findChild<QLineEdit*>()->text();
        d->findChild<QLineEdit*>()->setText("bericht");
        static_cast<QDialog*>(d)->accept();
    });
    const FileDialogResult r = dialog.showSave({kFileFilter, 2, 6, "TD0512.txt"});
    EXPECT_EQ(filters,
              (QStringList{"Alle Dateien (*.*)", "Textdateien (*.txt)", "Stapeldateien (*.bat)"}));
    EXPECT_EQ(selected, "Textdateien (*.txt)");
    EXPECT_EQ(proposed, "TD0512.txt");
    EXPECT_EQ(r.fileTitle, "bericht.txt");
    EXPECT_EQ(fs::path(r.fileName), fs::canonical(dir) / "bericht.txt");
}

TEST_F(QtDialogTest, CancelIsRunTimeError32755) {
    whenDialogShows([](QFileDialog* d) { d->reject(); });
    try {
        dialog.showOpen({kFileFilter, 2, 6, ""});
        ADD_FAILURE() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number(), err::DialogCancelled);
    }
}

TEST_F(QtDialogTest, OpenAcceptsANameThatDoesNotExist) {
    whenDialogShows([](QFileDialog* d) {
        d->findChild<QLineEdit*>()->setText("fehlt.txt");
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_EQ(dialog.showOpen({kFileFilter, 2, 6, ""}).fileTitle, "fehlt.txt");
}

std::string pdfText(const fs::path& pdf) {
    const std::string cmd = "pdftotext -layout '" + pdf.string() + "' -";
    std::string out;
    if (FILE* f = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
            out.append(buf, n);
        }
        pclose(f);
    }
    return out;
}

// Prints the text in `copies` copies through the File menu's print to a PDF file and returns
// the text of its pages.
std::vector<std::string> printToPdf(QtPrinter& printer, const fs::path& pdf,
                                    const std::string& text, int copies) {
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(QString::fromStdString(pdf.string()));
    test::FakePlatform fakes;
    Platform platform{fakes.comm, fakes.screen, fakes.text, fakes.dialog,
                      printer,    fakes.clock,  fakes.files};
    ORVA_DS s;
    s.NewLine = "\r\n";
    OrvaModule module(s, platform);
    DataFiles files(s, module);
    fakes.text.value = text;
    fakes.dialog.copies = {copies};
    files.PrintTextArea();
    EXPECT_TRUE(fakes.screen.boxes.empty());
    const std::string all = pdfText(pdf);
    // pdftotext ends every page with a form feed.
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t ff = all.find('\f'); ff != std::string::npos; ff = all.find('\f', start)) {
        pages.push_back(all.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

TEST_F(QtDialogTest, TwoCopiesPrintOnTwoPagesOfOneJob) {
    const auto pages = printToPdf(printer, dir / "druck.pdf",
                                  "\tORVA-DS:  Datum: 31.12.94\r\n\t\tPersonen\r\n"
                                  "\tUhrzeit\tRechts\tLinks\r\n\t13\t37\t7\r\n",
                                  2);
    ASSERT_EQ(pages.size(), 2u);
    for (const std::string& page : pages) {
        EXPECT_NE(page.find("Datum: 31.12.94"), std::string::npos) << page;
        EXPECT_NE(page.find("Uhrzeit"), std::string::npos);
        EXPECT_NE(page.find("37"), std::string::npos);
    }
}

TEST_F(QtDialogTest, ALongReportGoesOnOnFurtherPages) {
    std::string text;
    for (int line = 1; line <= 200; ++line) {
        text += "\tZeile\t" + std::to_string(line) + "\r\n";
    }
    const auto pages = printToPdf(printer, dir / "lang.pdf", text, 1);
    ASSERT_GE(pages.size(), 3u);
    // Columns come out as runs of blanks: one blank each is enough to find the lines.
    std::string all;
    for (const auto& page : pages) {
        for (char c : page) {
            if (c != ' ' || all.empty() || all.back() != ' ') {
                all += c;
            }
        }
    }
    for (const char* line : {"Zeile 1\n", "Zeile 100\n", "Zeile 200\n"}) {
        EXPECT_NE(all.find(line), std::string::npos) << line;
    }
}

} // namespace
} // namespace orva
