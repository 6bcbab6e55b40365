#include "musicrender.h"

#include "filecopy.h"
#include "music.h"

#include <QFile>

#include <fluidsynth.h>
#include <lame/lame.h>

namespace MusicRender {
namespace {

using Outcome = Result::Outcome;

// As the player synthesises MIDI (see SdlMusic): 22.05 kHz, no reverb or chorus, gain 0.6.
constexpr int kRate = 22050;

// The most a tune may last when rendered: a MIDI file may hold hours of silence.
constexpr int kMaxSeconds = 30 * 60;

// After the last event the notes still sounding ring out until they have died away; a note
// that never ends (a held pedal) is faded out over the last half second of this.
constexpr int kTailFrames = 5 * kRate;
constexpr int kFadeFrames = kRate / 2;

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

QByteArray headOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(12) : QByteArray();
}

// The synthesiser and the encoder of one rendering, released together.
struct Midi
{
    fluid_settings_t *settings = new_fluid_settings();
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;
    lame_global_flags *lame = nullptr;
    ~Midi()
    {
        if (lame)
            lame_close(lame);
        if (player)
            delete_fluid_player(player);
        if (synth)
            delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }

    // Starts playing the tune at @p path with the sound font @p font into an MP3 encoder;
    // the reason when it cannot.
    QString start(const QByteArray &font, const QString &path)
    {
        fluid_settings_setnum(settings, "synth.sample-rate", kRate);
        fluid_settings_setint(settings, "synth.reverb.active", 0);
        fluid_settings_setint(settings, "synth.chorus.active", 0);
        fluid_settings_setnum(settings, "synth.gain", 0.6);
        fluid_settings_setstr(settings, "player.timing-source", "sample");
        fluid_settings_setint(settings, "synth.lock-memory", 0);
        synth = new_fluid_synth(settings);
        if (!synth || fluid_synth_sfload(synth, font.constData(), 1) == FLUID_FAILED)
            return QStringLiteral("无法合成MIDI音乐");
        player = new_fluid_player(synth);
        if (!player || fluid_player_add(player, QFile::encodeName(path).constData()) != FLUID_OK ||
            fluid_player_play(player) != FLUID_OK)
            return QStringLiteral("无法合成MIDI音乐");
        lame = lame_init();
        lame_set_in_samplerate(lame, kRate);
        lame_set_num_channels(lame, 2);
        lame_set_VBR(lame, vbr_default);
        lame_set_VBR_quality(lame, 5);
        if (lame_init_params(lame) < 0)
            return QStringLiteral("无法压缩音乐");
        return {};
    }
};

constexpr int kBlock = 1024;

// Fades out the stereo @p block of the tail's frames from @p tail on.
void fade(short *block, int tail)
{
    for (int i = 0; i < kBlock; ++i) {
        const int left = kTailFrames - tail - i;
        if (left < kFadeFrames) {
            block[2 * i] = short(block[2 * i] * qMax(0, left) / kFadeFrames);
            block[2 * i + 1] = short(block[2 * i + 1] * qMax(0, left) / kFadeFrames);
        }
    }
}

Result midi(const QString &path, QFile &out, const std::function<bool()> &cancelled,
            const std::function<void(int)> &progress)
{
    const QByteArray font = SdlMusic::soundFont();
    if (font.isEmpty())
        return {Outcome::LeftOut, QStringLiteral("没有找到播放MIDI的音色库(timgm6mb-soundfont)")};
    Midi m;
    if (const QString why = m.start(font, path); !why.isEmpty())
        return {Outcome::LeftOut, why};

    short block[kBlock * 2];
    QByteArray mp3(int(1.25 * kBlock + 7200), Qt::Uninitialized);
    auto *mp3Bytes = reinterpret_cast<unsigned char *>(mp3.data());
    qint64 frames = 0;
    int tail = 0;
    int shown = -1;
    bool read = false; // the player read the file: a damaged one ends at once, with no tune
    for (;;) {
        if (cancelled && cancelled())
            return {Outcome::Cancelled, {}};
        // The player itself runs on for a while after the last event, silent at the end: the
        // tune is over once its last tick has passed. The file is read at the first block.
        const int ticks = fluid_player_get_total_ticks(m.player);
        read = read || ticks > 0;
        const bool playing = fluid_player_get_status(m.player) == FLUID_PLAYER_PLAYING &&
                             (ticks <= 0 || fluid_player_get_current_tick(m.player) <= ticks);
        if (playing && frames >= qint64(kMaxSeconds) * kRate)
            fluid_player_stop(m.player);
        else if (!playing &&
                 (fluid_synth_get_active_voice_count(m.synth) == 0 || tail >= kTailFrames))
            break;
        fluid_synth_write_s16(m.synth, kBlock, block, 0, 2, block, 1, 2);
        frames += kBlock;
        if (!playing) {
            fade(block, tail);
            tail += kBlock;
        }
        const int written =
            lame_encode_buffer_interleaved(m.lame, block, kBlock, mp3Bytes, int(mp3.size()));
        if (written < 0)
            return {Outcome::LeftOut, QStringLiteral("无法压缩音乐")};
        if (out.write(mp3.constData(), written) != written)
            return {Outcome::WriteFailed, {}};
        const qint64 done = playing && ticks > 0
                                ? qint64(fluid_player_get_current_tick(m.player)) * 100 / ticks
                                : 99;
        const int percent = int(qBound(qint64(0), done, qint64(99)));
        if (progress && percent != shown)
            progress(shown = percent);
    }
    const int written = lame_encode_flush(m.lame, mp3Bytes, int(mp3.size()));
    if (written < 0 || !read)
        return {Outcome::LeftOut, QStringLiteral("无法合成MIDI音乐")};
    if (out.write(mp3.constData(), written) != written)
        return {Outcome::WriteFailed, {}};
    return {};
}

} // namespace

QString extensionFor(const QString &path, QString *error)
{
    const QByteArray head = headOf(path);
    QString kind = head.startsWith("MThd") ? QStringLiteral("mp3") : recordedKind(head);
    if (kind.isEmpty() && error)
        *error = head.isEmpty() ? QStringLiteral("无法读取音乐文件")
                                : QStringLiteral("音乐文件不是MIDI、MP3、Ogg、WAV或FLAC");
    return kind;
}

Result write(const QString &path, const QString &target, const std::function<bool()> &cancelled,
             const std::function<void(int)> &progress)
{
    if (!headOf(path).startsWith("MThd")) {
        // Recorded music is published as it is, however long.
        switch (FileCopy::copy(path, target, cancelled)) {
        case FileCopy::Result::Copied: return {};
        case FileCopy::Result::ReadFailed:
            return {Outcome::LeftOut, QStringLiteral("无法读取音乐文件")};
        case FileCopy::Result::WriteFailed: return {Outcome::WriteFailed, {}};
        case FileCopy::Result::Cancelled: return {Outcome::Cancelled, {}};
        }
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return {Outcome::WriteFailed, {}};
    Result result = midi(path, out, cancelled, progress);
    if (result.outcome == Outcome::Written && !out.flush())
        result.outcome = Outcome::WriteFailed;
    if (result.outcome != Outcome::Written) {
        out.close();
        out.remove();
    }
    return result;
}

} // namespace MusicRender
