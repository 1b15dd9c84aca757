// The notification-area icon through QSystemTrayIcon: a StatusNotifierItem (every Wayland
// desktop, and X11 ones with such a host, KDE Plasma) or an XEmbed icon (other X11 trays).
// A StatusNotifierItem's menu is the desktop's to draw: it gets ours over DBusMenu and shows it
// at the icon in its own style, with no window of ours; while the behaviour refuses the menu (a
// dialog of ours shows) its items are greyed out and a choice runs nothing. An XEmbed icon shows
// our own popup on a right click, as on Windows. Where the desktop has no notification area yet
// (stock GNOME), the program runs on without the icon and shows it once a host registers with
// the StatusNotifierWatcher, told by the watcher's signals.
#pragma once

#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "platform/TrayHost.h"

namespace hvx::linux_platform {

class QtMainWindow;

class QtTrayHost : public QObject, public ITrayHost {
    Q_OBJECT
  public:
    // iconKnown is told once whether the desktop has a notification area.
    explicit QtTrayHost(QtMainWindow& mainWindow, std::function<void(bool)> iconKnown = nullptr)
        : m_mainWindow(mainWindow), m_iconKnown(std::move(iconKnown)) {}
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

  private slots:
    void OnHostRegistered();

  private:
    struct RightDoubleClickFilter : QObject {
        explicit RightDoubleClickFilter(QtTrayHost& h) : host(h) {}
        bool eventFilter(QObject* watched, QEvent* event) override;
        QtTrayHost& host;
    };

    void WaitForHost(bool wait);
    void AskWatcher();
    void OnHostAnswer(bool hosted);
    void MakeIcon(bool statusNotifierItem);
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void Notify(unsigned mouseMessage);
    void OfferMenu();
    void ChosenAtHost(QAction* action);
    QAction* Find(int id) const;

    QtMainWindow& m_mainWindow;
    std::function<void(bool)> m_iconKnown;
    ITrayHandler* m_handler = nullptr;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QMenu> m_menu;
    unsigned m_iconId = 0;
    QString m_tip;
    unsigned m_iconResource = 0;  // the image asked for; 0 is the program's
    bool m_wanted = false;        // added and not deleted
    bool m_statusNotifierItem = false;
    std::unique_ptr<QDBusServiceWatcher> m_hostWatcher;
    QElapsedTimer m_lastTrigger;
    QElapsedTimer m_lastDoubleClick;  // made of two Triggers
    RightDoubleClickFilter m_rightDoubleClicks{*this};
};

}  // namespace hvx::linux_platform
