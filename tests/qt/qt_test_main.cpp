#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

// A test that leaves an answer armed would have it answer a window of the next test: it
// fails, naming the windows it still awaited, and the answers go.
class UnusedAnswers : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        std::string names;
        for (const QPointer<QTimer>& timer : orva::test::pendingAnswers()) {
            if (timer && timer->isActive()) {
                names += " [" + timer->objectName().toStdString() + "]";
            }
            delete timer.data();
        }
        orva::test::pendingAnswers().clear();
        EXPECT_EQ(names, "") << "the test ended with windows still awaited";
    }
};

} // namespace

int main(int argc, char** argv) {
    // Test discovery runs this binary on machines without a display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Qt writes its dialogs' settings under a folder fixed at first use; one that ends with the
    // process keeps them out of the tests' home folders, which are gone by then.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);
    // Numbers as on a German desktop, with a decimal comma; the machine may have no such locale.
    std::system(qPrintable("printf 'LC_NUMERIC\\ndecimal_point \",\"\\nEND LC_NUMERIC\\n' | "
                           "localedef -c -f UTF-8 -i /dev/stdin " +
                           config.path() + "/de 2>/dev/null"));
    qputenv("LOCPATH", config.path().toLocal8Bit());
    if (std::setlocale(LC_NUMERIC, "de") == nullptr) {
        qFatal("localedef made no locale with a decimal comma");
    }
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new UnusedAnswers);
    return RUN_ALL_TESTS();
}
