#include "platform/linux/DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

namespace hvx::linux_platform {

namespace {

const char kNoIcon[] =
    "This desktop has no notification area; the icon appears once there is one (on GNOME: the "
    "\"AppIndicator and KStatusNotifierItem Support\" extension).";
const char kNoHotKeys[] =
    "This desktop gives programs no global shortcuts: bind keys to HVX's commands in its "
    "keyboard settings instead, for example Ctrl+Up to \"hvx --volume-up\", Ctrl+Down to "
    "\"hvx --volume-down\", Ctrl+Left to \"hvx --mute\" (\"hvx --help\" lists them all).";

}  // namespace

std::optional<NoticeText> MissingNotice(bool iconMissing, bool hotKeysMissing) {
    if (iconMissing && hotKeysMissing)
        return NoticeText{
            "HVX is running without its icon and hotkeys",
            std::string(kNoIcon) + " " + kNoHotKeys + " The schedule and the command line work."};
    if (iconMissing)
        return NoticeText{"HVX is running without its icon",
                          std::string(kNoIcon) + " The hotkeys and the schedule work."};
    if (hotKeysMissing) return NoticeText{"HVX is running without its hotkeys", kNoHotKeys};
    return std::nullopt;
}

DesktopNotice::DesktopNotice(Teller tell) : m_tell(std::move(tell)) {}

void DesktopNotice::IconKnown(bool present) {
    if (m_icon) return;
    m_icon = present;
    TellWhenKnown();
}

void DesktopNotice::HotKeysKnown(bool present) {
    if (m_hotKeys) return;
    m_hotKeys = present;
    TellWhenKnown();
}

void DesktopNotice::TellWhenKnown() {
    if (!m_icon || !m_hotKeys) return;
    if (const auto text = MissingNotice(!*m_icon, !*m_hotKeys)) m_tell(*text);
}

void DesktopNotice::TellDesktop(const NoticeText& text) {
    std::fprintf(stderr, "hvx: %s: %s\n", text.summary.c_str(), text.body.c_str());
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify.setArguments({QStringLiteral("HVX"), uint(0), QStringLiteral("hvx"),
                         QString::fromStdString(text.summary), QString::fromStdString(text.body),
                         QStringList(), QVariantMap(), int(-1)});
    QDBusConnection::sessionBus().asyncCall(notify);  // nobody waits for the answer
}

}  // namespace hvx::linux_platform
