#include "platform/linux/QtTrayHost.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QMouseEvent>

#include "platform/linux/AppIcon.h"
#include "platform/linux/QtMainWindow.h"
#include "resources/Resource.h"

namespace hvx::linux_platform {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

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

// Whether a StatusNotifierItem host is there is asked here rather than through
// QSystemTrayIcon, whose answer is fixed at its first question (an icon made before the host
// starts would never use it); the icon is made once the answer is yes. Until then the watcher's
// own signals say when to ask again: a watcher starting, a host registering with it.
void QtTrayHost::WaitForHost(bool wait) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!wait) {
        m_hostWatcher.reset();
        bus.disconnect(kWatcher, kWatcherPath, kWatcher,
                       QStringLiteral("StatusNotifierHostRegistered"), this,
                       SLOT(OnHostRegistered()));
        return;
    }
    if (m_hostWatcher) return;
    m_hostWatcher = std::make_unique<QDBusServiceWatcher>(
        kWatcher, bus, QDBusServiceWatcher::WatchForRegistration);
    connect(m_hostWatcher.get(), &QDBusServiceWatcher::serviceRegistered, this,
            [this] { AskWatcher(); });
    bus.connect(kWatcher, kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostRegistered"),
                this, SLOT(OnHostRegistered()));
}

void QtTrayHost::AskWatcher() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get.setArguments({kWatcher, QStringLiteral("IsStatusNotifierHostRegistered")});
    if (!m_icon && QGuiApplication::platformName() == QStringLiteral("xcb")) {
        // On X11 the icon is made whatever the answer, and QSystemTrayIcon asks the bus the
        // same question, waiting, as it is made: waiting here too costs nothing more, and the
        // icon shows before the sound server's start-up traffic is handled rather than after.
        const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 500);
        OnHostAnswer(reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                     qvariant_cast<QDBusVariant>(reply.arguments().first()).variant().toBool());
        return;
    }
    auto* answer = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        OnHostAnswer(!reply.isError() && reply.value().variant().toBool());
    });
}

void QtTrayHost::OnHostRegistered() {
    OnHostAnswer(true);
}

void QtTrayHost::OnHostAnswer(bool hosted) {
    if (!m_wanted || m_icon) return;
    // On X11 without such a host, Qt's XEmbed icon docks by itself into a tray that starts
    // later; a notification area is there if an XEmbed tray is.
    const bool xcb = QGuiApplication::platformName() == QStringLiteral("xcb");
    if (m_iconKnown) {
        const auto iconKnown = std::move(m_iconKnown);
        m_iconKnown = nullptr;
        iconKnown(hosted || (xcb && QSystemTrayIcon::isSystemTrayAvailable()));
    }
    if (hosted || xcb) MakeIcon(hosted);
}

void QtTrayHost::MakeIcon(bool statusNotifierItem) {
    WaitForHost(false);
    m_statusNotifierItem = statusNotifierItem;
    m_icon = std::make_unique<QSystemTrayIcon>(AppIcon());
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) { OnActivated(r); });
    if (statusNotifierItem && m_menu) {
        // The desktop asks for the menu before it shows it; an item it reports chosen
        // triggers its action.
        connect(m_menu.get(), &QMenu::aboutToShow, this, [this] { OfferMenu(); });
        connect(m_menu.get(), &QMenu::triggered, this, [this](QAction* a) { ChosenAtHost(a); });
        m_icon->setContextMenu(m_menu.get());
    } else if (qApp != nullptr) {
        qApp->installEventFilter(&m_rightDoubleClicks);
    }
    m_icon->setToolTip(m_tip);
    if (m_iconResource != 0) m_icon->setIcon(AppIcon(m_iconResource));
    m_icon->show();
}

void QtTrayHost::OfferMenu() {
    const bool refused = m_handler != nullptr && m_handler->MenuRefused();
    for (QAction* action : m_menu->actions()) action->setEnabled(!refused);
}

void QtTrayHost::ChosenAtHost(QAction* action) {
    // Asked again at the choice: a desktop may show the menu as it last read it.
    if (m_handler == nullptr || m_handler->MenuRefused()) return;
    // Posted, as a choice in our own popup is: the command runs after the host's call.
    m_mainWindow.PostCommand(action->data().toInt());
}

void QtTrayHost::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Context:
            // A StatusNotifierItem's host draws the menu itself; a popup of ours would be a
            // window of its own on Wayland, placed anywhere but at the icon.
            if (!m_statusNotifierItem) Notify(MOUSE_RBUTTONUP);
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
        this,
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
    if (m_icon) {
        m_icon->setToolTip(m_tip);
        m_icon->show();
    } else {
        // On X11 the icon is made at once; elsewhere the watcher's signals are followed from
        // before the first question, so a host registering meanwhile is not missed.
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) WaitForHost(true);
        AskWatcher();
    }
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
    WaitForHost(false);
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
