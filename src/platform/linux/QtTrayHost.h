// The notification-area icon through QSystemTrayIcon (StatusNotifierItem or XEmbed, whichever
// the desktop offers), and the popup menu, which we show ourselves so the behaviour can refuse
// it while a dialog is open. Where the desktop has no notification area yet (stock GNOME), the
// program runs on without the icon, says once how to get one, and shows the icon as soon as a
// host appears.
#pragma once

#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>

#include "platform/TrayHost.h"

namespace hvx::linux_platform {

class QtMainWindow;

class QtTrayHost : public ITrayHost {
  public:
    explicit QtTrayHost(QtMainWindow& mainWindow) : m_mainWindow(mainWindow) {}
    ~QtTrayHost() override;

    bool CreateMessageWindow(ITrayHandler& handler) override;
    bool AddIcon(const NotifyIconData& data) override;
    bool DeleteIcon(const NotifyIconData& data) override;
    // The tip (the StatusNotifierItem's tooltip, or Qt's on XEmbed) and the image, muted or not.
    bool ModifyIcon(const NotifyIconData& data) override;
    bool CreatePopupMenu() override;
    bool AppendMenuItem(int id, std::string_view text) override;
    bool AppendMenuSeparator() override;
    bool ModifyMenuItem(int id, std::string_view text) override;
    bool SetMenuDefaultItem(int id) override;
    bool TrackPopupMenu(unsigned flags, ScreenPoint at) override;
    ScreenPoint GetCursorPos() override;

  private:
    void ShowWhenHosted();
    struct RightDoubleClickFilter : QObject {
        explicit RightDoubleClickFilter(QtTrayHost& h) : host(h) {}
        bool eventFilter(QObject* watched, QEvent* event) override;
        QtTrayHost& host;
    };

    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void Notify(unsigned mouseMessage);
    QAction* Find(int id) const;

    QtMainWindow& m_mainWindow;
    ITrayHandler* m_handler = nullptr;
    QObject m_messageWindow;  // context of posted notifications
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QMenu> m_menu;
    unsigned m_iconId = 0;
    QString m_tip;
    unsigned m_iconResource = 0;  // the image asked for; 0 is the program's
    bool m_wanted = false;        // added and not deleted
    bool m_told = false;
    std::unique_ptr<QDBusServiceWatcher> m_hostWatcher;
    QTimer m_hostPoll;
    QElapsedTimer m_lastTrigger;
    QElapsedTimer m_lastDoubleClick;  // made of two Triggers
    RightDoubleClickFilter m_rightDoubleClicks{*this};
};

}  // namespace hvx::linux_platform
