// Both mixers against a real sound server: run.sh starts PulseAudio with a null sink and
// source and an ALSA configuration whose "default" control has "Master" (the sink) and "PCM"
// (the source), and sets HVX_E2E_PULSE. Without it these tests are skipped.
#include <gtest/gtest.h>

#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "platform/linux/AlsaMixer.h"
#include "platform/linux/PulseMixer.h"
#include "resources/Resource.h"
#include "volume/VolumeMixer.h"

namespace hvx::linux_platform {
namespace {

QString Pactl(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

long FirstVolume(const QString& pactlOutput) {
    const auto m = QRegularExpression(QStringLiteral("front-left: (\\d+)")).match(pactlOutput);
    return m.hasMatch() ? m.captured(1).toLong() : -1;
}
long SinkVolume() {
    return FirstVolume(Pactl({"get-sink-volume", "hvx_sink"}));
}
long SourceVolume() {
    return FirstVolume(Pactl({"get-source-volume", "hvx_source"}));
}
bool SinkMuted() {
    return Pactl({"get-sink-mute", "hvx_sink"}).contains(QStringLiteral("yes"));
}

// The sound server tells ALSA's pulse plugin about a change made elsewhere from its own thread,
// a moment after pactl has returned: what the mixer reads catches up within that moment.
template <typename Read>
uint32_t ReadAfterSettling(Read read, uint32_t expected) {
    uint32_t value = 0;
    for (int tries = 0; tries < 100; ++tries) {
        if (!read(value)) return ~0u;
        if (value == expected) break;
        QThread::msleep(20);
    }
    return value;
}

class Mixer : public testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariable("HVX_E2E_PULSE") != QStringLiteral("1"))
            GTEST_SKIP() << "needs the sound server of tests/linux/run.sh";
        Pactl({"set-sink-volume", "hvx_sink", "30000"});
        Pactl({"set-source-volume", "hvx_source", "20000"});
        Pactl({"set-sink-mute", "hvx_sink", "0"});
    }
};

TEST_F(Mixer, MasterAndWaveAreTheSinkAndTheSourceInTheirOwnScale) {
    AlsaMixer device;
    CVolumeMixer mixer(device);
    ASSERT_TRUE(mixer.Open());
    EXPECT_EQ(mixer.DeviceCount, 1u);
    ASSERT_TRUE(mixer.SelectMasterVolume());
    EXPECT_EQ(mixer.MasterMinimum, 0u);
    EXPECT_EQ(mixer.MasterMaximum, 65536u);
    uint32_t v = 0;
    ASSERT_TRUE(mixer.GetVolume(v));
    EXPECT_EQ(v, 30000u);
    ASSERT_TRUE(mixer.SetVolume(32800));
    EXPECT_EQ(SinkVolume(), 32800);
    ASSERT_TRUE(mixer.SelectWaveVolume());
    EXPECT_EQ(mixer.WaveMaximum, 65536u);
    EXPECT_EQ(mixer.MasterMaximum, 65536u);  // kept per line
    ASSERT_TRUE(mixer.GetVolume(v));
    EXPECT_EQ(v, 20000u);
    ASSERT_TRUE(mixer.SetVolume(21400));
    EXPECT_EQ(SourceVolume(), 21400);
    EXPECT_EQ(SinkVolume(), 32800);
    EXPECT_TRUE(mixer.Close());
}

TEST_F(Mixer, ChangesMadeElsewhereAreSeenAtTheNextRead) {
    AlsaMixer device;
    CVolumeMixer mixer(device);
    ASSERT_TRUE(mixer.Open());
    mixer.SelectMasterVolume();
    uint32_t v = 0;
    ASSERT_TRUE(mixer.GetVolume(v));
    Pactl({"set-sink-volume", "hvx_sink", "12345"});
    EXPECT_EQ(ReadAfterSettling([&](uint32_t& out) { return mixer.GetVolume(out); }, 12345u),
              12345u);
}

TEST_F(Mixer, MuteIsTheInverseOfThePlaybackSwitch) {
    AlsaMixer device;
    CVolumeMixer mixer(device);
    ASSERT_TRUE(mixer.Open());
    ASSERT_TRUE(mixer.SelectMasterMute());
    uint32_t muted = 9;
    ASSERT_TRUE(mixer.GetMasterMute(muted));
    EXPECT_EQ(muted, 0u);
    ASSERT_TRUE(mixer.SetMasterMute(1));
    EXPECT_TRUE(SinkMuted());
    Pactl({"set-sink-mute", "hvx_sink", "0"});
    EXPECT_EQ(ReadAfterSettling([&](uint32_t& out) { return mixer.GetMasterMute(out); }, 0u), 0u);
    ASSERT_TRUE(mixer.SetMasterMute(1));
    ASSERT_TRUE(mixer.SetMasterMute(0));
    EXPECT_FALSE(SinkMuted());
}

TEST_F(Mixer, ADeviceWithoutPcmHasNoWaveLine) {
    AlsaMixer device("hvx_master_only");  // defined by run.sh: the plain pulse control
    CVolumeMixer mixer(device);
    ASSERT_TRUE(mixer.Open());
    EXPECT_TRUE(mixer.SelectMasterVolume());
    EXPECT_FALSE(mixer.SelectWaveVolume());
    EXPECT_EQ(mixer.WaveMaximum, 0u);
    uint32_t type = 0;
    EXPECT_FALSE(device.GetLineByComponentType(MIXER_LINE_SRC_WAVEOUT, type));
}

TEST_F(Mixer, ADeviceThatCannotBeOpenedCountsAsNone) {
    AlsaMixer device("hvx_no_such_device");
    EXPECT_EQ(device.GetNumDevs(), 0u);
    EXPECT_FALSE(device.Open(0));
    CVolumeMixer mixer(device);
    EXPECT_TRUE(mixer.Open());  // no device: the volume features do nothing
    EXPECT_FALSE(mixer.SelectMasterVolume());
    uint32_t v = 0;
    EXPECT_FALSE(mixer.GetVolume(v));
    EXPECT_TRUE(mixer.Close());
}

TEST_F(Mixer, TheServersMasterIsTheDefaultSinkWithItsBalanceKept) {
    PulseMixer device;
    CVolumeMixer mixer(device);
    ASSERT_TRUE(mixer.Open());
    ASSERT_TRUE(mixer.SelectMasterVolume());
    EXPECT_EQ(mixer.MasterMaximum, 65536u);
    Pactl({"set-sink-volume", "hvx_sink", "30000", "15000"});
    uint32_t v = 0;
    ASSERT_TRUE(mixer.GetVolume(v));
    EXPECT_EQ(v, 30000u);  // the loudest channel
    ASSERT_TRUE(mixer.SetVolume(40000));
    EXPECT_TRUE(Pactl({"get-sink-volume", "hvx_sink"})
                    .contains(QRegularExpression(
                        QStringLiteral("front-left: 40000 .*front-right: 20000 "))));
    ASSERT_TRUE(mixer.SelectMasterMute());
    ASSERT_TRUE(mixer.SetMasterMute(1));
    EXPECT_TRUE(SinkMuted());
    ASSERT_TRUE(mixer.GetMasterMute(v));
    EXPECT_EQ(v, 1u);

    // A new default sink is the master from the next call on.
    const QString module =
        Pactl({"load-module", "module-null-sink", "sink_name=hvx_second"}).trimmed();
    Pactl({"set-default-sink", "hvx_second"});
    ASSERT_TRUE(mixer.SetVolume(5000));
    EXPECT_EQ(FirstVolume(Pactl({"get-sink-volume", "hvx_second"})), 5000);
    EXPECT_EQ(SinkVolume(), 40000);
    Pactl({"set-default-sink", "hvx_sink"});
    Pactl({"unload-module", module});
}

// No server, or one that never answers: the ALSA mixer is chosen, after a bounded wait.
TEST_F(Mixer, WithoutAnAnsweringServerTheAlsaMixerIsChosen) {
    QTemporaryDir folder;
    QLocalServer silent;  // listens, but nothing ever reads the connection
    ASSERT_TRUE(silent.listen(folder.filePath(QStringLiteral("silent"))));
    const QByteArray server = qgetenv("PULSE_SERVER");
    for (const QString& path : {folder.filePath(QStringLiteral("none")), silent.fullServerName()}) {
        qputenv("PULSE_SERVER", ("unix:" + path).toUtf8());
        PulseMixer pulse;
        EXPECT_FALSE(pulse.Connect()) << path.toStdString();
        EXPECT_EQ(pulse.GetNumDevs(), 0u);
        EXPECT_EQ(dynamic_cast<PulseMixer*>(MixerChoice().Take().get()), nullptr);
    }
    qputenv("PULSE_SERVER", server);
}

}  // namespace
}  // namespace hvx::linux_platform
