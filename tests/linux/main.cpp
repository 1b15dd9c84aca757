// Integration tests of the Linux platform pieces against real Qt widgets and files, on the
// offscreen platform: no display needed.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hvx_linux_tests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
