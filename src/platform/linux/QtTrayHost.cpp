#include "platform/linux/QtTrayHost.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

#include "platform/linux/AppIcon.h"
#include "platform/linux/QtMainWindow.h"
#include "resources/Resource.h"

namespace hvx::linux_platform {

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
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(AppIcon());
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, &m_messageWindow,
                         [this](QSystemTrayIcon::ActivationReason r) { OnActivated(r); });
        if (qApp != nullptr) qApp->installEventFilter(&m_rightDoubleClicks);
    }
    return true;
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
    if (!m_icon) return false;
    m_iconId = data.id;
    m_icon->setToolTip(QString::fromUtf8(data.tip.data(), qsizetype(data.tip.size())));
    m_icon->show();
    return true;
}

bool QtTrayHost::DeleteIcon(const NotifyIconData& /*data*/) {
    if (!m_icon || !m_icon->isVisible()) return false;
    m_icon->hide();
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
