// The baseline HVX's start-up and memory are weighed against: a bare Qt 6 tray program with
// HVX's icon, a menu of 19 items and a 60 s timer, and nothing else (no settings, no mixer, no
// hotkeys, no D-Bus).
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QMenu menu;
    for (int i = 1; i <= 19; ++i) menu.addAction(QStringLiteral("Item %1").arg(i));
    QSystemTrayIcon icon(QIcon(QStringLiteral(":/icons/hvx.png")));
    icon.setContextMenu(&menu);
    icon.show();
    QTimer minute;
    minute.start(60000);
    return QApplication::exec();
}
