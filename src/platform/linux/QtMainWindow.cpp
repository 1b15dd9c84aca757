#include "platform/linux/QtMainWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>

namespace hvx::linux_platform {

QtMainWindow::QtMainWindow(std::function<void(bool)> hotKeysKnown)
    : m_hotKeysKnown(std::move(hotKeysKnown)) {}

QtMainWindow::~QtMainWindow() = default;

bool QtMainWindow::Create(std::string_view title, IMainWindowHandler& handler) {
    m_window.setObjectName(QString::fromUtf8(title.data(), qsizetype(title.size())));
    m_handler = &handler;
    m_hotKeys = MakeHotKeyBackend(
        [this](int id) {
            // Posted, like WM_HOTKEY: the handler may run long (a power call) and must not run
            // inside the X event filter or a D-Bus signal.
            QMetaObject::invokeMethod(
                &m_window,
                [this, id] {
                    if (m_handler && !m_destroyed) m_handler->OnHotKey(id);
                },
                Qt::QueuedConnection);
        },
        [this](bool present) {
            if (m_hotKeysKnown) m_hotKeysKnown(present);
        });
    m_handler->OnCreate();
    return true;
}

void QtMainWindow::Destroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    m_timers.clear();
    m_hotKeys.reset();
    QCoreApplication::exit(0);
}

bool QtMainWindow::SetTimer(unsigned timerId, unsigned periodMs) {
    if (m_destroyed || timerId == 0) return false;
    Timer& entry = m_timers[timerId];
    if (!entry.timer) {
        entry.timer = std::make_unique<QTimer>();
        QObject::connect(entry.timer.get(), &QTimer::timeout, &m_window,
                         [this, timerId] { OnTimeout(timerId); });
    }
    // Setting a running timer again restarts it with the new period, as on Windows.
    entry.timer->start(periodMs == 0 ? 1 : int(periodMs));
    return true;
}

bool QtMainWindow::KillTimer(unsigned timerId) {
    const auto it = m_timers.find(timerId);
    if (it == m_timers.end() || !it->second.timer->isActive()) return false;
    // Stopped, not deleted: this may run inside the timer's own handler.
    it->second.timer->stop();
    it->second.tickPending = false;
    return true;
}

void QtMainWindow::OnTimeout(unsigned timerId) {
    // Qt never lets a timer fire again while its own timeout is being handled; posting the
    // tick lets a handler that waits in a dialog's loop be entered again by the next tick, as
    // window timers are. Ticks that pile up while the queue is busy count once.
    Timer& entry = m_timers[timerId];
    if (entry.tickPending) return;
    entry.tickPending = true;
    QMetaObject::invokeMethod(
        &m_window,
        [this, timerId] {
            const auto it = m_timers.find(timerId);
            if (it == m_timers.end() || !it->second.tickPending) return;  // killed meanwhile
            it->second.tickPending = false;
            if (m_handler && !m_destroyed) m_handler->OnTimer(timerId);
        },
        Qt::QueuedConnection);
}

bool QtMainWindow::RegisterHotKey(int hotkeyId, uint32_t modifiers, uint32_t key) {
    return m_hotKeys && m_hotKeys->Register(hotkeyId, modifiers, key);
}

bool QtMainWindow::UnregisterHotKey(int hotkeyId) {
    return m_hotKeys && m_hotKeys->Unregister(hotkeyId);
}

void QtMainWindow::MessageBeep(uint32_t /*type*/) {
    QApplication::beep();
}

void QtMainWindow::SendCommand(int commandId) {
    if (m_handler && !m_destroyed) m_handler->OnCommand(commandId);
}

void QtMainWindow::PostCommand(int commandId) {
    QMetaObject::invokeMethod(
        &m_window, [this, commandId] { SendCommand(commandId); }, Qt::QueuedConnection);
}

}  // namespace hvx::linux_platform
