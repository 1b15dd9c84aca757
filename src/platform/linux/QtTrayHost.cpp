#include "platform/linux/QtTrayHost.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMouseEvent>
#include <cstdio>

#include "platform/linux/AppIcon.h"
#include "platform/linux/QtMainWindow.h"
#include "resources/Resource.h"

namespace hvx::linux_platform {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// A notification area is there: a StatusNotifierItem watcher with a host registered on the
// session bus or, on X11, an XEmbed tray. Asked here rather than through QSystemTrayIcon, whose
// answer is fixed at the first question (an icon made before the host starts would never use
// it).
bool SniHostPresent() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus == nullptr || !bus->isServiceRegistered(kWatcher)) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({kWatcher, QStringLiteral("IsStatusNotifierHostRegistered")});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool TrayHostPresent() {
    if (SniHostPresent()) return true;
    return QGuiApplication::platformName() == QStringLiteral("xcb") &&
           QSystemTrayIcon::isSystemTrayAvailable();
}

void TellNoTray() {
    const QString summary = QStringLiteral("HVX is running without its icon");
    const QString body = QStringLiteral(
        "This desktop has no notification area. The hotkeys and the schedule work; the icon "
        "appears once there is one (on GNOME: the \"AppIndicator and KStatusNotifierItem "
        "Support\" extension).");
    std::fprintf(stderr, "hvx: %s: %s\n", qPrintable(summary), qPrintable(body));
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify.setArguments({QStringLiteral("HVX"), uint(0), QStringLiteral("hvx"), summary, body,
                         QStringList(), QVariantMap(), int(-1)});
    QDBusConnection::sessionBus().asyncCall(notify);  // nobody waits for the answer
}

}  // namespace

QtTrayHost::~QtTrayHost() = default;

// Qt's XEmbed icon takes a right press soon after the last one as a double click and drops it,
// so a person who reopens the menu quickly would be ignored: it is the right click it looks like.
bool QtTrayHost::RightDoubleClickFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched->inherits("QSystemTrayIconSys") &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        host.Notify(MOUSE_RBUTTONUP);
    return false;
}

bool QtTrayHost::CreateMessageWindow(ITrayHandler& handler) {
    m_handler = &handler;
    return true;
}

void QtTrayHost::ShowWhenHosted() {
    if (!m_wanted) return;
    if (!m_icon) {
        const bool hosted = TrayHostPresent();
        if (!hosted && !m_told) {
            m_told = true;
            TellNoTray();
        }
        // On X11 Qt's icon docks by itself into a tray that starts later. Elsewhere it keeps
        // the answer of its first look, so it is made once a host is there.
        if (!hosted && QGuiApplication::platformName() != QStringLiteral("xcb")) {
            if (!m_hostWatcher) {
                m_hostWatcher = std::make_unique<QDBusServiceWatcher>(
                    kWatcher, QDBusConnection::sessionBus(),
                    QDBusServiceWatcher::WatchForRegistration);
                QObject::connect(m_hostWatcher.get(), &QDBusServiceWatcher::serviceRegistered,
                                 &m_messageWindow, [this] { ShowWhenHosted(); });
                QObject::connect(&m_hostPoll, &QTimer::timeout, &m_messageWindow,
                                 [this] { ShowWhenHosted(); });
            }
            // A watcher still waiting for its host: a slow look now and then.
            QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
            if (bus != nullptr && bus->isServiceRegistered(kWatcher) && !m_hostPoll.isActive())
                m_hostPoll.start(2000);
            return;
        }
        m_hostWatcher.reset();
        m_hostPoll.stop();
        m_icon = std::make_unique<QSystemTrayIcon>(AppIcon());
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, &m_messageWindow,
                         [this](QSystemTrayIcon::ActivationReason r) { OnActivated(r); });
        if (qApp != nullptr) qApp->installEventFilter(&m_rightDoubleClicks);
    }
    m_icon->setToolTip(m_tip);
    if (m_iconResource != 0) m_icon->setIcon(AppIcon(m_iconResource));
    m_icon->show();
}

void QtTrayHost::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Context:
            Notify(MOUSE_RBUTTONUP);
            break;
        case QSystemTrayIcon::DoubleClick:
            // XEmbed reports a double click as Trigger, Trigger, DoubleClick; the pair of
            // Triggers has already counted it.
            m_lastTrigger.invalidate();
            if (m_lastDoubleClick.isValid() &&
                m_lastDoubleClick.elapsed() <= QApplication::doubleClickInterval()) {
                m_lastDoubleClick.invalidate();
                break;
            }
            Notify(MOUSE_LBUTTONDBLCLK);
            break;
        case QSystemTrayIcon::Trigger:
            // StatusNotifierItem hosts report every click as a Trigger and never a double
            // click, so two Triggers close together are one double click.
            if (m_lastTrigger.isValid() &&
                m_lastTrigger.elapsed() <= QApplication::doubleClickInterval()) {
                m_lastTrigger.invalidate();
                m_lastDoubleClick.start();
                Notify(MOUSE_LBUTTONDBLCLK);
            } else {
                m_lastTrigger.start();
            }
            break;
        default:
            break;
    }
}

void QtTrayHost::Notify(unsigned mouseMessage) {
    // Posted, as the icon's callback message is: the menu's own loop must not run inside the
    // icon's mouse handling.
    QMetaObject::invokeMethod(
        &m_messageWindow,
        [this, mouseMessage] {
            if (m_handler) m_handler->OnTrayNotification(m_iconId, mouseMessage);
        },
        Qt::QueuedConnection);
}

bool QtTrayHost::AddIcon(const NotifyIconData& data) {
    if (m_handler == nullptr) return false;
    m_iconId = data.id;
    m_tip = QString::fromUtf8(data.tip.data(), qsizetype(data.tip.size()));
    m_wanted = true;
    ShowWhenHosted();
    return true;
}

bool QtTrayHost::ModifyIcon(const NotifyIconData& data) {
    m_tip = QString::fromUtf8(data.tip.data(), qsizetype(data.tip.size()));
    const bool newImage = data.iconResource != m_iconResource;
    m_iconResource = data.iconResource;
    // Before a host is there the icon does not exist yet: it takes both when it is made.
    if (!m_icon) return m_wanted;
    m_icon->setToolTip(m_tip);
    if (newImage) m_icon->setIcon(AppIcon(m_iconResource));
    return true;
}

bool QtTrayHost::DeleteIcon(const NotifyIconData& /*data*/) {
    if (!m_wanted) return false;
    m_wanted = false;
    m_hostWatcher.reset();
    m_hostPoll.stop();
    if (m_icon) m_icon->hide();
    return true;
}

bool QtTrayHost::CreatePopupMenu() {
    m_menu = std::make_unique<QMenu>();
    return true;
}

bool QtTrayHost::AppendMenuItem(int id, std::string_view text) {
    if (!m_menu) return false;
    QAction* action = m_menu->addAction(QString::fromUtf8(text.data(), qsizetype(text.size())));
    action->setData(id);
    return true;
}

bool QtTrayHost::AppendMenuSeparator() {
    if (!m_menu) return false;
    m_menu->addSeparator();
    return true;
}

QAction* QtTrayHost::Find(int id) const {
    if (!m_menu) return nullptr;
    for (QAction* action : m_menu->actions())
        if (!action->isSeparator() && action->data().toInt() == id) return action;
    return nullptr;
}

bool QtTrayHost::ModifyMenuItem(int id, std::string_view text) {
    QAction* action = Find(id);
    if (action == nullptr) return false;
    action->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    return true;
}

bool QtTrayHost::SetMenuDefaultItem(int id) {
    QAction* action = Find(id);
    if (action == nullptr) return false;
    m_menu->setDefaultAction(action);  // shown in bold
    return true;
}

bool QtTrayHost::TrackPopupMenu(unsigned /*flags*/, ScreenPoint at) {
    if (!m_menu) return false;
    // An item pressed through accessibility (a screen reader) only triggers its action and
    // leaves the menu open: that is a choice as well.
    QAction* pressed = nullptr;
    const QMetaObject::Connection connection =
        QObject::connect(m_menu.get(), &QMenu::triggered, m_menu.get(), [&](QAction* action) {
            pressed = action;
            m_menu->close();
        });
    QAction* chosen = m_menu->exec(QPoint(at.x, at.y));
    QObject::disconnect(connection);
    if (chosen == nullptr) chosen = pressed;
    // The choice reaches the main window as a posted command, after the menu has gone.
    if (chosen != nullptr) m_mainWindow.PostCommand(chosen->data().toInt());
    return true;
}

ScreenPoint QtTrayHost::GetCursorPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

}  // namespace hvx::linux_platform
