// Another client busy with the sound server: sets a sink's volume COUNT times, 30001 and 30000
// in turn, as fast as the server takes it; each is a change reported to its subscribers.
//   hvx_pulse_flood SINK COUNT
#include <pulse/pulseaudio.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 3) return 2;
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "hvx-flood");
    pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    while (pa_context_get_state(context) != PA_CONTEXT_READY)
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) ||
            pa_mainloop_iterate(loop, 1, nullptr) < 0)
            return 1;
    for (int i = 0, count = std::atoi(argv[2]); i < count; ++i) {
        pa_cvolume volume;
        pa_cvolume_set(&volume, 2, 30000 + (i + 1) % 2);
        pa_operation* set =
            pa_context_set_sink_volume_by_name(context, argv[1], &volume, nullptr, nullptr);
        // A few hundred out at a time; the last one done before the end.
        while (set != nullptr && (i % 256 == 255 || i == count - 1) &&
               pa_operation_get_state(set) == PA_OPERATION_RUNNING)
            pa_mainloop_iterate(loop, 1, nullptr);
        if (set == nullptr) return 1;
        pa_operation_unref(set);
    }
    return 0;
}
