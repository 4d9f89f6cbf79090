#include "platform/qt/QtPlatform.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Test discovery runs this binary on machines without a display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    orva::installGermanTranslations(app);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
