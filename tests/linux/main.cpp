// Integration tests of the Linux platform pieces against real Qt widgets, files, sockets and,
// when run.sh provides one, a real sound server. Widgets run on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise, so no display is needed.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hvx_linux_tests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
