// The baselines HVX's start-up and memory are weighed against: a bare Qt 6 tray program with
// HVX's icon, a menu of 19 items and a 60 s timer, and nothing else (no settings, no mixer, no
// hotkeys, no D-Bus). With --pulse it also connects a libpulse context on its (GLib) loop and
// subscribes to the sinks' and the streams' changes: the floor of a tray that controls the
// volume through libpulse.
#include <pulse/context.h>
#include <pulse/glib-mainloop.h>
#include <pulse/subscribe.h>

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstring>

namespace {

void Subscribe(pa_context* context, void*) {
    if (pa_context_get_state(context) != PA_CONTEXT_READY) return;
    pa_context_set_subscribe_callback(
        context, [](pa_context*, pa_subscription_event_type_t, uint32_t, void*) {}, nullptr);
    const auto mask =
        pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SINK_INPUT);
    if (pa_operation* subscribed = pa_context_subscribe(context, mask, nullptr, nullptr))
        pa_operation_unref(subscribed);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    const bool pulse = argc > 1 && std::strcmp(argv[1], "--pulse") == 0;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (pulse) {
        pa_glib_mainloop* loop = pa_glib_mainloop_new(nullptr);
        pa_context* context = pa_context_new(pa_glib_mainloop_get_api(loop), "bare tray");
        pa_context_set_state_callback(context, Subscribe, nullptr);
        pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    }
    QMenu menu;
    for (int i = 1; i <= 19; ++i) menu.addAction(QStringLiteral("Item %1").arg(i));
    QSystemTrayIcon icon(QIcon(QStringLiteral(":/icons/hvx.png")));
    icon.setContextMenu(&menu);
    icon.show();
    QTimer minute;
    minute.start(60000);
    return QApplication::exec();
}
