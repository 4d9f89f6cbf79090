#include <QCoreApplication>

#include <gtest/gtest.h>

// Qt SQL wants an application object; no window is needed.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
