#include "musicrender.h"

#include "music.h"

#include <QFile>

#include <fluidsynth.h>
#include <lame/lame.h>

#include <vector>

namespace MusicRender {
namespace {

// As the player synthesises MIDI (see SdlMusic): 22.05 kHz, no reverb or chorus, gain 0.6.
constexpr int kRate = 22050;

// The most a tune may last when rendered: a MIDI file may hold hours of silence.
constexpr int kMaxSeconds = 30 * 60;

Result midi(const QString &path)
{
    Result result;
    const QByteArray font = SdlMusic::soundFont();
    if (font.isEmpty()) {
        result.error = QStringLiteral("没有找到播放MIDI的音色库(timgm6mb-soundfont)");
        return result;
    }
    fluid_settings_t *settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setnum(settings, "synth.gain", 0.6);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_synth_t *synth = new_fluid_synth(settings);
    fluid_player_t *player = nullptr;
    std::vector<short> pcm;
    if (synth && fluid_synth_sfload(synth, font.constData(), 1) != FLUID_FAILED) {
        player = new_fluid_player(synth);
        if (player && fluid_player_add(player, QFile::encodeName(path).constData()) == FLUID_OK &&
            fluid_player_play(player) == FLUID_OK) {
            constexpr int kBlock = 1024;
            short block[kBlock * 2];
            while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING &&
                   pcm.size() < size_t(kMaxSeconds) * kRate * 2) {
                fluid_synth_write_s16(synth, kBlock, block, 0, 2, block, 1, 2);
                pcm.insert(pcm.end(), block, block + kBlock * 2);
            }
            // The last notes ring out for a second, as they do in the player before it stops.
            for (int k = 0; k < kRate / kBlock; ++k) {
                fluid_synth_write_s16(synth, kBlock, block, 0, 2, block, 1, 2);
                pcm.insert(pcm.end(), block, block + kBlock * 2);
            }
        }
    }
    if (player)
        delete_fluid_player(player);
    if (synth)
        delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    if (pcm.empty()) {
        result.error = QStringLiteral("无法合成MIDI音乐");
        return result;
    }

    lame_global_flags *lame = lame_init();
    lame_set_in_samplerate(lame, kRate);
    lame_set_num_channels(lame, 2);
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, 5);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        result.error = QStringLiteral("无法压缩音乐");
        return result;
    }
    const int frames = int(pcm.size() / 2);
    QByteArray mp3(int(1.25 * frames + 7200), '\0');
    int written = lame_encode_buffer_interleaved(
        lame, pcm.data(), frames, reinterpret_cast<unsigned char *>(mp3.data()), int(mp3.size()));
    if (written >= 0) {
        const int tail =
            lame_encode_flush(lame, reinterpret_cast<unsigned char *>(mp3.data()) + written,
                              int(mp3.size()) - written);
        written = tail < 0 ? -1 : written + tail;
    }
    lame_close(lame);
    if (written < 0) {
        result.error = QStringLiteral("无法压缩音乐");
        return result;
    }
    mp3.truncate(written);
    result.bytes = mp3;
    result.extension = QStringLiteral("mp3");
    return result;
}

// What a recorded file holds in truth, by its first bytes; empty for none a browser plays.
QString recordedKind(const QByteArray &head)
{
    if (head.startsWith("ID3") ||
        (head.size() >= 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0))
        return QStringLiteral("mp3");
    if (head.startsWith("OggS"))
        return QStringLiteral("ogg");
    if (head.startsWith("fLaC"))
        return QStringLiteral("flac");
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return QStringLiteral("wav");
    return {};
}

} // namespace

Result render(const QString &path)
{
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("无法读取音乐文件");
        return result;
    }
    const QByteArray head = file.peek(12);
    if (head.startsWith("MThd"))
        return midi(path);
    result.extension = recordedKind(head);
    if (result.extension.isEmpty()) {
        result.error = QStringLiteral("音乐文件不是MIDI、MP3、Ogg、WAV或FLAC");
        return result;
    }
    // Recorded music is published as it is: 64 MB is longer than any game's tune.
    result.bytes = file.read(64 * 1024 * 1024);
    return result;
}

} // namespace MusicRender
