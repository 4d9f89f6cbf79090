#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A test that leaves an answer armed would have it answer a window of the next test.
class UnusedAnswers : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        std::string names;
        if (!orva::test::dropPendingAnswers(&names)) {
            ADD_FAILURE() << "the test ended with windows still awaited:" << names;
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    // Test discovery runs this binary on machines without a display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new UnusedAnswers);
    return RUN_ALL_TESTS();
}
