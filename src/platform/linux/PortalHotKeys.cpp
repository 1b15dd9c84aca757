#include "platform/linux/PortalHotKeys.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "shell/HotKeyTable.h"

namespace {

// One entry of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)
Q_DECLARE_METATYPE(PortalShortcuts)

namespace hvx::linux_platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
// Fixed: an unsandboxed program's bindings are kept under its session token, so the next
// start finds the triggers the user chose.
const QString kSessionToken = QStringLiteral("hvx");

QDBusConnection Bus() {
    return QDBusConnection::sessionBus();
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QVariantMap ToMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value);
    return value.toMap();
}

}  // namespace

PortalHotKeys::PortalHotKeys(std::function<void(int)> onHotKey) : m_onHotKey(std::move(onHotKey)) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcuts>();
}

PortalHotKeys::~PortalHotKeys() {
    if (m_session.isEmpty()) return;
    Bus().send(QDBusMessage::createMethodCall(kService, m_session,
                                              QStringLiteral("org.freedesktop.portal.Session"),
                                              QStringLiteral("Close")));
}

bool PortalHotKeys::Register(int id, uint32_t /*modifiers*/, uint32_t /*key*/) {
    if (FindHotKey(id) == nullptr || !m_wanted.insert(id).second) return false;
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, [this] { Start(); });
    }
    return true;
}

bool PortalHotKeys::Unregister(int id) {
    return m_wanted.erase(id) != 0;
}

void PortalHotKeys::Fail(const QString& why) {
    // Said once: the hotkeys stay inert, the rest of the program works as before.
    std::fprintf(stderr, "hvx: no global hotkeys from the desktop's shortcut portal (%s)\n",
                 qPrintable(why));
    m_onResponse = nullptr;
}

void PortalHotKeys::CallWithRequest(const QString& method, QVariantList args, const QString& token,
                                    std::function<void(uint, const QVariantMap&)> onDone) {
    // The Request's path is known before the call; listening first means its Response
    // cannot slip past.
    QString sender = Bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    if (!m_requestPath.isEmpty())
        Bus().disconnect(kService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                         QStringLiteral("Response"), this, SLOT(OnResponse(QDBusMessage)));
    m_requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    m_onResponse = std::move(onDone);
    Bus().connect(kService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                  QStringLiteral("Response"), this, SLOT(OnResponse(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (w->isError()) Fail(method + QStringLiteral(": ") + w->error().message());
            });
}

void PortalHotKeys::OnResponse(const QDBusMessage& message) {
    if (message.path() != m_requestPath || !m_onResponse || message.arguments().size() < 2) return;
    auto onDone = std::move(m_onResponse);
    m_onResponse = nullptr;
    onDone(message.arguments().at(0).toUInt(), ToMap(message.arguments().at(1)));
}

namespace {

PortalShortcuts ShortcutList(const std::set<int>& ids) {
    PortalShortcuts list;
    for (int id : ids) {
        const HotKeyEntry* entry = FindHotKey(id);
        if (entry == nullptr) continue;
        QVariantMap properties{{QStringLiteral("description"), Text(entry->description)}};
        const std::string trigger = PreferredTrigger(entry->modifiers, entry->key);
        if (!trigger.empty())
            properties.insert(QStringLiteral("preferred_trigger"), QString::fromStdString(trigger));
        list.append({Text(entry->name), properties});
    }
    return list;
}

}  // namespace

void PortalHotKeys::Start() {
    if (m_wanted.empty()) return;
    Bus().connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                  SLOT(OnActivated(QDBusMessage)));
    // Some desktops (KDE Plasma 5.27) take the list only from the session's options and
    // ignore the one given to BindShortcuts; others want it there. It goes in both.
    const QVariantMap options{
        {QStringLiteral("handle_token"), QStringLiteral("hvx_session")},
        {QStringLiteral("session_handle_token"), kSessionToken},
        {QStringLiteral("shortcuts"), QVariant::fromValue(ShortcutList(m_wanted))},
    };
    CallWithRequest(QStringLiteral("CreateSession"), {options}, QStringLiteral("hvx_session"),
                    [this](uint response, const QVariantMap& results) {
                        const QVariant handle = results.value(QStringLiteral("session_handle"));
                        m_session = handle.canConvert<QDBusObjectPath>()
                                        ? handle.value<QDBusObjectPath>().path()
                                        : handle.toString();
                        if (response != 0 || m_session.isEmpty())
                            Fail(QStringLiteral("no session, response %1").arg(response));
                        else
                            BindMissing();
                    });
}

// Binding makes some desktops (KDE Plasma) open their shortcut settings, so it is asked for only
// while one of ours is not known there yet: not at every log-on, and never over a trigger the
// user changed or cleared.
void PortalHotKeys::BindMissing() {
    const QVariantMap options{{QStringLiteral("handle_token"), QStringLiteral("hvx_list")}};
    CallWithRequest(
        QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(m_session)), options},
        QStringLiteral("hvx_list"), [this](uint response, const QVariantMap& results) {
            std::set<int> known;
            const QVariant listed = results.value(QStringLiteral("shortcuts"));
            if (response == 0 && listed.canConvert<QDBusArgument>()) {
                for (const PortalShortcut& s : qdbus_cast<PortalShortcuts>(listed))
                    if (const HotKeyEntry* e = FindHotKey(s.id.toStdString())) known.insert(e->id);
            }
            if (!std::includes(known.begin(), known.end(), m_wanted.begin(), m_wanted.end()))
                Bind();
        });
}

void PortalHotKeys::Bind() {
    const QVariantMap options{{QStringLiteral("handle_token"), QStringLiteral("hvx_bind")}};
    CallWithRequest(QStringLiteral("BindShortcuts"),
                    {QVariant::fromValue(QDBusObjectPath(m_session)),
                     QVariant::fromValue(ShortcutList(m_wanted)), QString(), options},
                    QStringLiteral("hvx_bind"),
                    [this](uint response, const QVariantMap& /*results*/) {
                        // Refused or cancelled: no shortcut of ours fires. A shortcut the user left
                        // unassigned simply never fires.
                        if (response != 0)
                            Fail(QStringLiteral("shortcuts refused, response %1").arg(response));
                    });
}

void PortalHotKeys::OnActivated(const QDBusMessage& message) {
    const QVariantList args = message.arguments();
    if (args.size() < 2 || m_session.isEmpty()) return;
    if (args.at(0).value<QDBusObjectPath>().path() != m_session) return;
    const HotKeyEntry* entry = FindHotKey(args.at(1).toString().toStdString());
    if (entry != nullptr && m_wanted.count(entry->id) != 0) m_onHotKey(entry->id);
}

}  // namespace hvx::linux_platform
