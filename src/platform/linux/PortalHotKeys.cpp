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

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QVariantMap ToMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value);
    return value.toMap();
}

}  // namespace

PortalHotKeys::PortalHotKeys(std::function<void(int)> onHotKey, std::function<void(bool)> onKnown)
    : m_onHotKey(std::move(onHotKey)),
      m_onKnown(std::move(onKnown)),
      m_portalWatcher(kService, QDBusConnection::sessionBus(),
                      QDBusServiceWatcher::WatchForOwnerChange) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcuts>();
    connect(&m_portalWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& oldOwner, const QString& newOwner) {
                OnPortalOwner(oldOwner, newOwner);
            });
}

PortalHotKeys::~PortalHotKeys() {
    if (m_session.isEmpty()) return;
    m_bus.send(QDBusMessage::createMethodCall(kService, m_session,
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

void PortalHotKeys::Known(bool present) {
    if (!m_onKnown) return;
    const auto onKnown = std::move(m_onKnown);
    m_onKnown = nullptr;
    onKnown(present);
}

void PortalHotKeys::Fail(const char* what) {
    m_onResponse = nullptr;
    m_creating = false;
    // The first answer goes into the notice at start (a portal without global shortcuts reads
    // as no portal); a later failure, after the portal came back, gets a line of its own.
    if (m_onKnown)
        Known(false);
    else
        std::fprintf(stderr, "hvx: the hotkeys are off: %s\n", what);
}

// The portal went away (its session with it) or another took its name. A portal that comes up
// because our own CreateSession started it is the one answering that call already.
void PortalHotKeys::OnPortalOwner(const QString& oldOwner, const QString& newOwner) {
    if (!m_started) return;
    if (newOwner.isEmpty())
        Stop();
    else if (!(oldOwner.isEmpty() && m_creating))
        Start();
}

void PortalHotKeys::Stop() {
    ++m_generation;
    m_creating = false;
    m_session.clear();
    m_requestPath.clear();
    m_onResponse = nullptr;
    // Whatever the old connection still has in flight (a Response, an Activated) dies with it.
    if (m_bus.isConnected()) QDBusConnection::disconnectFromBus(m_bus.name());
    m_bus = QDBusConnection(QString());
}

void PortalHotKeys::CallWithRequest(const QString& method, QVariantList args, const QString& token,
                                    std::function<void(uint, const QVariantMap&)> onDone) {
    // The Request's path is known before the call; listening first means its Response
    // cannot slip past.
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(kService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                         QStringLiteral("Response"), this, SLOT(OnResponse(QDBusMessage)));
    m_requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    m_onResponse = std::move(onDone);
    m_bus.connect(kService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                  QStringLiteral("Response"), this, SLOT(OnResponse(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation = m_generation](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (generation != m_generation) return;  // a session given up meanwhile
                // Any answer but an error means the portal has global shortcuts; its error
                // text (no such interface, no such name) is no help to a user.
                if (w->isError())
                    Fail("the desktop's shortcut portal does not answer");
                else
                    Known(true);
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
    Stop();
    if (m_wanted.empty()) return;
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QStringLiteral("hvx-portal-%1").arg(++m_connections));
    m_creating = true;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
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
                        m_creating = false;
                        if (response != 0 || m_session.isEmpty())
                            Fail("the desktop's shortcut portal made no session");
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
                        if (response != 0) Fail("the desktop did not take HVX's shortcuts");
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
