#include "platform/linux/AlsaMixer.h"

#include <dlfcn.h>

#include "platform/linux/MixerIds.h"
#include "resources/Resource.h"

// The functions of libasound this mixer calls, each under its own name.
#define HVX_ALSA_FUNCTIONS(X)                    \
    X(snd_lib_error_set_handler)                 \
    X(snd_mixer_open)                            \
    X(snd_mixer_attach)                          \
    X(snd_mixer_selem_register)                  \
    X(snd_mixer_load)                            \
    X(snd_mixer_close)                           \
    X(snd_mixer_handle_events)                   \
    X(snd_mixer_find_selem)                      \
    X(snd_mixer_selem_id_malloc)                 \
    X(snd_mixer_selem_id_free)                   \
    X(snd_mixer_selem_id_set_name)               \
    X(snd_mixer_selem_id_set_index)              \
    X(snd_mixer_selem_has_playback_volume)       \
    X(snd_mixer_selem_has_playback_switch)       \
    X(snd_mixer_selem_get_playback_volume_range) \
    X(snd_mixer_selem_get_playback_volume)       \
    X(snd_mixer_selem_get_playback_switch)       \
    X(snd_mixer_selem_set_playback_volume_all)   \
    X(snd_mixer_selem_set_playback_switch_all)

namespace hvx::linux_platform {

struct AlsaFunctions {
#define HVX_ALSA_MEMBER(name) decltype(&::name) name;
    HVX_ALSA_FUNCTIONS(HVX_ALSA_MEMBER)
#undef HVX_ALSA_MEMBER
};

namespace {

// ALSA reports its errors on stderr; the program reports nothing, a missing device included.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// Loaded by the first ALSA mixer and never unloaded: the plugins ALSA loads hold on to it.
const AlsaFunctions* LoadAlsa() {
    static const AlsaFunctions* const alsa = []() -> const AlsaFunctions* {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return nullptr;
        static AlsaFunctions functions;
        bool complete = true;
#define HVX_ALSA_RESOLVE(name)                                                          \
    functions.name = reinterpret_cast<decltype(functions.name)>(dlsym(library, #name)); \
    complete = complete && functions.name != nullptr;
        HVX_ALSA_FUNCTIONS(HVX_ALSA_RESOLVE)
#undef HVX_ALSA_RESOLVE
        if (!complete) {
            dlclose(library);
            return nullptr;
        }
        functions.snd_lib_error_set_handler(QuietAlsa);
        return &functions;
    }();
    return alsa;
}

snd_mixer_elem_t* FindElement(const AlsaFunctions& alsa, snd_mixer_t* mixer, const char* name) {
    snd_mixer_selem_id_t* id = nullptr;
    if (alsa.snd_mixer_selem_id_malloc(&id) < 0) return nullptr;
    alsa.snd_mixer_selem_id_set_name(id, name);
    alsa.snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_elem_t* element = alsa.snd_mixer_find_selem(mixer, id);
    alsa.snd_mixer_selem_id_free(id);
    return element;
}

}  // namespace

AlsaMixer::AlsaMixer(const char* device) : m_alsa(LoadAlsa()), m_device(device) {}

AlsaMixer::~AlsaMixer() {
    Close();
}

snd_mixer_t* AlsaMixer::OpenMixer() const {
    snd_mixer_t* mixer = nullptr;
    if (m_alsa == nullptr || m_alsa->snd_mixer_open(&mixer, 0) < 0) return nullptr;
    if (m_alsa->snd_mixer_attach(mixer, m_device) < 0 ||
        m_alsa->snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        m_alsa->snd_mixer_load(mixer) < 0) {
        m_alsa->snd_mixer_close(mixer);
        return nullptr;
    }
    return mixer;
}

uint32_t AlsaMixer::GetNumDevs() {
    if (m_mixer != nullptr) return 1;
    snd_mixer_t* probe = OpenMixer();
    if (probe == nullptr) return 0;
    m_alsa->snd_mixer_close(probe);
    return 1;
}

bool AlsaMixer::Open(uint32_t deviceId) {
    if (deviceId != 0) return false;
    Close();
    m_mixer = OpenMixer();
    return m_mixer != nullptr;
}

bool AlsaMixer::Close() {
    if (m_mixer == nullptr) return true;
    m_alsa->snd_mixer_close(m_mixer);
    m_mixer = nullptr;
    return true;
}

snd_mixer_elem_t* AlsaMixer::LineElement(uint32_t lineId) const {
    // Looked up at each use, never kept: reading the mixer's events frees the element of a
    // control that went away (a card unplugged, a sound server restarting).
    if (m_mixer == nullptr) return nullptr;
    if (lineId == kSpeakersLine) return FindElement(*m_alsa, m_mixer, "Master");
    if (lineId == kWaveLine) return FindElement(*m_alsa, m_mixer, "PCM");
    return nullptr;
}

bool AlsaMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    if (m_mixer == nullptr) return false;
    if (componentType == MIXER_LINE_DST_SPEAKERS && LineElement(kSpeakersLine) != nullptr) {
        lineId = kSpeakersLine;
        return true;
    }
    // Without a "PCM" element the device has no wave line.
    snd_mixer_elem_t* pcm = LineElement(kWaveLine);
    if (componentType == MIXER_LINE_SRC_WAVEOUT && pcm != nullptr &&
        m_alsa->snd_mixer_selem_has_playback_volume(pcm)) {
        lineId = kWaveLine;
        return true;
    }
    return false;
}

long AlsaMixer::Offset(snd_mixer_elem_t* element) const {
    long minimum = 0, maximum = 0;
    m_alsa->snd_mixer_selem_get_playback_volume_range(element, &minimum, &maximum);
    return minimum < 0 ? -minimum : 0;
}

bool AlsaMixer::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                     MixerControlInfo& control) {
    snd_mixer_elem_t* element = LineElement(lineId);
    if (element == nullptr) return false;
    if (controlType == MIXER_CONTROL_VOLUME &&
        m_alsa->snd_mixer_selem_has_playback_volume(element)) {
        long minimum = 0, maximum = 0;
        if (m_alsa->snd_mixer_selem_get_playback_volume_range(element, &minimum, &maximum) < 0)
            return false;
        const long offset = Offset(element);
        control.controlId = lineId == kSpeakersLine ? kMasterVolume : kWaveVolume;
        control.minimum = uint32_t(minimum + offset);
        control.maximum = uint32_t(maximum + offset);
        return true;
    }
    if (controlType == MIXER_CONTROL_MUTE && lineId == kSpeakersLine &&
        m_alsa->snd_mixer_selem_has_playback_switch(element)) {
        control.controlId = kMasterMute;
        control.minimum = 0;
        control.maximum = 1;
        return true;
    }
    return false;
}

bool AlsaMixer::GetControlValue(uint32_t controlId, uint32_t& value) {
    if (m_mixer == nullptr) return false;
    // Changes made by others reach our copy of the elements only when their events are read.
    m_alsa->snd_mixer_handle_events(m_mixer);
    const snd_mixer_selem_channel_id_t channel = SND_MIXER_SCHN_FRONT_LEFT;  // also MONO
    switch (controlId) {
        case kMasterVolume:
        case kWaveVolume: {
            snd_mixer_elem_t* element =
                LineElement(controlId == kMasterVolume ? kSpeakersLine : kWaveLine);
            long raw = 0;
            if (element == nullptr || !m_alsa->snd_mixer_selem_has_playback_volume(element) ||
                m_alsa->snd_mixer_selem_get_playback_volume(element, channel, &raw) < 0)
                return false;
            value = uint32_t(raw + Offset(element));
            return true;
        }
        case kMasterMute: {
            int on = 0;
            snd_mixer_elem_t* master = LineElement(kSpeakersLine);
            if (master == nullptr || !m_alsa->snd_mixer_selem_has_playback_switch(master) ||
                m_alsa->snd_mixer_selem_get_playback_switch(master, channel, &on) < 0)
                return false;
            value = on ? 0 : 1;  // the switch is on when the output plays
            return true;
        }
        default:
            return false;
    }
}

bool AlsaMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    if (m_mixer == nullptr) return false;
    m_alsa->snd_mixer_handle_events(m_mixer);
    switch (controlId) {
        case kMasterVolume:
        case kWaveVolume: {
            snd_mixer_elem_t* element =
                LineElement(controlId == kMasterVolume ? kSpeakersLine : kWaveLine);
            if (element == nullptr || !m_alsa->snd_mixer_selem_has_playback_volume(element))
                return false;
            return m_alsa->snd_mixer_selem_set_playback_volume_all(
                       element, long(value) - Offset(element)) >= 0;
        }
        case kMasterMute: {
            snd_mixer_elem_t* master = LineElement(kSpeakersLine);
            if (master == nullptr || !m_alsa->snd_mixer_selem_has_playback_switch(master))
                return false;
            return m_alsa->snd_mixer_selem_set_playback_switch_all(master, value == 0 ? 1 : 0) >= 0;
        }
        default:
            return false;
    }
}

}  // namespace hvx::linux_platform
