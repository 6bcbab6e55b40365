#include "midiplayer.h"

#include "music.h"
#include "sharedlibrary.h"
#include "soundfontsubset.h"
#include "soundlibraries.h"

#include <fluidsynth.h>

#include <QFile>
#include <QHash>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

// FluidSynth, opened by the first tune as SDL is (soundlibraries.h).
#define TALE_FLUID_FUNCTIONS(F)                                                                    \
    F(new_fluid_settings)                                                                          \
    F(delete_fluid_settings)                                                                       \
    F(fluid_settings_setnum)                                                                       \
    F(fluid_settings_setint)                                                                       \
    F(fluid_settings_setstr)                                                                       \
    F(new_fluid_synth)                                                                             \
    F(delete_fluid_synth)                                                                          \
    F(fluid_synth_sfload)                                                                          \
    F(new_fluid_defsfloader)                                                                       \
    F(fluid_sfloader_set_callbacks)                                                                \
    F(fluid_synth_add_sfloader)                                                                    \
    F(fluid_synth_write_s16)                                                                       \
    F(new_fluid_player)                                                                            \
    F(delete_fluid_player)                                                                         \
    F(fluid_player_add_mem)                                                                        \
    F(fluid_player_play)                                                                           \
    F(fluid_player_get_status)

#define TALE_POINTER(name) decltype(&::name) name = nullptr;
#define TALE_FIND(name) loaded = libraries.find(name, #name) && loaded;

struct FluidLibrary
{
    TALE_FLUID_FUNCTIONS(TALE_POINTER)
    bool loaded = true;
    FluidLibrary()
    {
        const SharedLibraries libraries(TALE_FLUIDSYNTH_LIBRARY);
        TALE_FLUID_FUNCTIONS(TALE_FIND)
    }
};

#undef TALE_POINTER
#undef TALE_FIND

// FluidSynth, opened by the first caller (the music thread); loaded is false without it.
const FluidLibrary &sound()
{
    static const FluidLibrary library;
    return library;
}

// The small General MIDI font that set-up installs comes first: it loads in a blink and keeps
// the player's memory small; the others serve where it is missing.
const char *const kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// MIDI is synthesised live for as long as it plays, while the player sits idle on a scene. At
// 22.05 kHz without reverb and chorus FluidSynth needs a third of the CPU it needs at 44.1 kHz
// with them. Recorded music (OGG, MP3, WAV, FLAC) gets 44.1 kHz. A game has one tune, so the
// first file played decides how the device is opened.
constexpr int kMidiRate = 22050;

} // namespace

QByteArray SdlMusic::soundFont()
{
    if (const QByteArray chosen = qgetenv("SDL_SOUNDFONTS"); !chosen.isEmpty())
        return chosen.split(';').first();
    for (const char *font : kSoundFonts) {
        if (QFile::exists(QString::fromLatin1(font)))
            return font;
    }
    return {};
}

namespace {

// The cut sound fonts of the tunes playing, by the names FluidSynth is given for them; FluidSynth
// reads them through the callbacks below, at the load and whenever an instrument's samples are
// first needed (on the audio thread too).
std::mutex g_cutsMutex;
QHash<QByteArray, std::shared_ptr<const SoundFontSubset::Cut>> g_cuts;

struct CutFile
{
    std::shared_ptr<const SoundFontSubset::Cut> cut;
    QFile file;
    qint64 at = 0;
};

void *openCut(const char *name)
{
    std::shared_ptr<const SoundFontSubset::Cut> cut;
    {
        std::lock_guard lock(g_cutsMutex);
        cut = g_cuts.value(QByteArray(name));
    }
    if (!cut)
        return nullptr; // not a cut font: FluidSynth's own loader reads it
    auto *handle = new CutFile{cut, QFile(cut->path), 0};
    if (!handle->file.open(QIODevice::ReadOnly)) {
        delete handle;
        return nullptr;
    }
    return handle;
}

int readCut(void *into, fluid_long_long_t count, void *handle)
{
    auto *f = static_cast<CutFile *>(handle);
    if (!f->cut->read(f->file, f->at, static_cast<char *>(into), count))
        return FLUID_FAILED;
    f->at += count;
    return FLUID_OK;
}

int seekCut(void *handle, fluid_long_long_t offset, int origin)
{
    auto *f = static_cast<CutFile *>(handle);
    const qint64 from = origin == SEEK_CUR ? f->at : origin == SEEK_END ? f->cut->size() : 0;
    if (from + offset < 0 || from + offset > f->cut->size())
        return FLUID_FAILED;
    f->at = from + offset;
    return FLUID_OK;
}

fluid_long_long_t tellCut(void *handle)
{
    return static_cast<CutFile *>(handle)->at;
}

int closeCut(void *handle)
{
    delete static_cast<CutFile *>(handle);
    return FLUID_OK;
}

// One MIDI tune played once through FluidSynth into the mixer's music hook.
class MidiTune
{
public:
    bool start(const QByteArray &bytes, int rate)
    {
        m_settings = sound().new_fluid_settings();
        sound().fluid_settings_setnum(m_settings, "synth.sample-rate", rate);
        sound().fluid_settings_setint(m_settings, "synth.reverb.active", 0);
        sound().fluid_settings_setint(m_settings, "synth.chorus.active", 0);
        sound().fluid_settings_setnum(m_settings, "synth.gain", kGain);
        // Only the samples of the instruments the tune plays are read from the sound font, not
        // the whole font: the piano and drums every channel starts with take 1.4 MB of the small
        // font's 5.6 MB of samples.
        sound().fluid_settings_setint(m_settings, "synth.dynamic-sample-loading", 1);
        // 64 voices rather than 256, well above the 24 General MIDI asks of a synthesizer: each
        // voice keeps its own state and queue of events, two megabytes for the other 192.
        sound().fluid_settings_setint(m_settings, "synth.polyphony", kPolyphony);
        // The tune advances with the samples rendered, not on a timer thread of its own.
        sound().fluid_settings_setstr(m_settings, "player.timing-source", "sample");
        m_synth = sound().new_fluid_synth(m_settings);
        const QByteArray font = SdlMusic::soundFont();
        if (!m_synth || font.isEmpty() || !loadFont(bytes, font))
            return false;
        m_player = sound().new_fluid_player(m_synth);
        // FluidSynth keeps a copy of the bytes: the tune is read once, within its bound.
        return m_player &&
               sound().fluid_player_add_mem(m_player, bytes.constData(), size_t(bytes.size())) ==
                   FLUID_OK &&
               sound().fluid_player_play(m_player) == FLUID_OK;
    }

    /// @p volume from 0 to 100; the audio thread applies it from its next buffer on.
    void setVolume(int volume) { m_volume = volume; }

    /// On the audio thread: true once, at the first buffer after the tune played through.
    bool endedJustNow() { return m_done && !std::exchange(m_endTold, true); }

    /// Whether the tune played through; only while the audio thread is held off.
    bool ended() const { return m_done; }
    static constexpr double kGain = 0.6;
    static constexpr int kPolyphony = 64;

    ~MidiTune()
    {
        if (m_player)
            sound().delete_fluid_player(m_player);
        if (m_synth)
            sound().delete_fluid_synth(m_synth);
        if (m_settings)
            sound().delete_fluid_settings(m_settings);
        if (!m_cutName.isEmpty()) {
            std::lock_guard lock(g_cutsMutex);
            g_cuts.remove(m_cutName);
        }
    }

    // Called on the audio thread: fills @p bytes of interleaved 16-bit stereo.
    static void render(void *self, Uint8 *stream, int bytes)
    {
        auto *tune = static_cast<MidiTune *>(self);
        const int frames = bytes / 4;
        if (tune->m_done ||
            sound().fluid_player_get_status(tune->m_player) != FLUID_PLAYER_PLAYING) {
            tune->m_done = true; // played once through: silence from here on
            std::memset(stream, 0, size_t(bytes));
            return;
        }
        sound().fluid_synth_write_s16(tune->m_synth, frames, stream, 0, 2, stream, 1, 2);
        // Scaled here rather than by the synthesizer's gain, which fades and never quite
        // reaches silence.
        if (const int volume = tune->m_volume; volume < 100) {
            auto *samples = reinterpret_cast<qint16 *>(stream);
            for (int i = 0; i < frames * 2; ++i)
                samples[i] = qint16(samples[i] * volume / 100);
        }
    }

private:
    // Loads the sound font @p font cut down to the instruments the tune @p bytes plays; the
    // whole font when the tune or the font cannot be read so.
    bool loadFont(const QByteArray &bytes, const QByteArray &font)
    {
        const std::optional<QSet<int>> presets = SoundFontSubset::presetsOf(bytes);
        std::optional<SoundFontSubset::Cut> cut;
        if (presets)
            cut = SoundFontSubset::cut(QFile::decodeName(font), *presets);
        if (cut) {
            static std::atomic<int> tunes = 0;
            m_cutName = font + "#" + QByteArray::number(++tunes);
            {
                std::lock_guard lock(g_cutsMutex);
                g_cuts.insert(m_cutName,
                              std::make_shared<const SoundFontSubset::Cut>(std::move(*cut)));
            }
            fluid_sfloader_t *loader = sound().new_fluid_defsfloader(m_settings);
            if (loader && sound().fluid_sfloader_set_callbacks(loader, openCut, readCut, seekCut,
                                                               tellCut, closeCut) == FLUID_OK) {
                sound().fluid_synth_add_sfloader(m_synth, loader);
                if (sound().fluid_synth_sfload(m_synth, m_cutName.constData(), 1) != FLUID_FAILED)
                    return true;
            }
        }
        return sound().fluid_synth_sfload(m_synth, font.constData(), 1) != FLUID_FAILED;
    }

    QByteArray m_cutName; ///< the cut font's name while FluidSynth may read it
    fluid_settings_t *m_settings = nullptr;
    fluid_synth_t *m_synth = nullptr;
    fluid_player_t *m_player = nullptr;
    bool m_done = false;
    bool m_endTold = false;
    std::atomic<int> m_volume = 100;
};

// Lowers the calling thread's scheduling priority for its lifetime.
class LowPriority
{
public:
    LowPriority() : m_tid(pid_t(syscall(SYS_gettid))), m_old(getpriority(PRIO_PROCESS, id_t(m_tid)))
    {
        setpriority(PRIO_PROCESS, id_t(m_tid), 15);
    }
    ~LowPriority() { setpriority(PRIO_PROCESS, id_t(m_tid), m_old); }

private:
    pid_t m_tid;
    int m_old;
};

// MIDI through FluidSynth: into a device of its own, at the rate that costs least, unless the
// mixer's device is open already (recorded music played first); then into the mixer's music hook.
class FluidPlayer : public MidiPlayer
{
public:
    explicit FluidPlayer(Host &host) : m_host(host) {}

    bool available() const override { return sound().loaded && !MusicTesting::midiLeftOut(); }
    int mixerFlags() const override { return 0; }

    void play(const QByteArray &bytes, const QString &, int volume) override
    {
        stop();
        // The sound font before the device: the device's buffers then take memory that loading
        // the font used for a moment and gave back.
        auto next = std::make_unique<MidiTune>();
        bool started;
        {
            // Loading the sound font takes tens of milliseconds of CPU; the window's first
            // frame, drawn at the same moment, goes first.
            const LowPriority low;
            started = next->start(bytes, m_host.mixerOpen() ? kMixerRate : kMidiRate);
        }
        if (!started || !openOutput())
            return;
        next->setVolume(volume);
        if (m_device) {
            sdl().SDL_LockAudioDevice(m_device);
            m_tune = std::move(next);
            sdl().SDL_UnlockAudioDevice(m_device);
        } else {
            m_tune = std::move(next);
            mixer().Mix_HookMusic(&MidiTune::render, m_tune.get());
        }
    }

    void stop() override
    {
        if (!m_tune)
            return;
        if (m_device) {
            // The audio thread leaves the tune before it goes.
            sdl().SDL_LockAudioDevice(m_device);
            std::unique_ptr<MidiTune> old = std::move(m_tune);
            sdl().SDL_UnlockAudioDevice(m_device);
        } else {
            if (m_host.mixerOpen())
                mixer().Mix_HookMusic(nullptr, nullptr); // waits for the audio thread
            m_tune.reset();
        }
    }

    void setVolume(int volume) override
    {
        if (m_tune)
            m_tune->setVolume(volume);
    }

    void mixerOpening() override
    {
        if (m_device) {
            sdl().SDL_CloseAudioDevice(m_device);
            m_device = 0;
        }
    }

    // A tune played through leaves only silence to render: MIDI's device and its thread go
    // (the player sits idle on a scene for as long as the reader reads) until the next tune.
    void letEndedTuneGo() override
    {
        if (!m_device || !m_tune)
            return;
        sdl().SDL_LockAudioDevice(m_device);
        const bool ended = m_tune->ended(); // not a tune that took the ended one's place
        sdl().SDL_UnlockAudioDevice(m_device);
        if (!ended)
            return;
        sdl().SDL_CloseAudioDevice(m_device);
        m_device = 0;
        m_tune.reset();
    }

    void close() override
    {
        stop();
        if (m_device)
            sdl().SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }

private:
    // The audio thread's call for MIDI's device: the tune's next samples, or silence.
    static void fill(void *self, Uint8 *stream, int bytes)
    {
        auto *player = static_cast<FluidPlayer *>(self);
        if (!player->m_tune) {
            std::memset(stream, 0, size_t(bytes));
            return;
        }
        MidiTune::render(player->m_tune.get(), stream, bytes);
        if (player->m_tune->endedJustNow())
            player->m_host.tuneEnded();
    }

    // Opens MIDI's own device, unless the mixer's is open: a game has one tune, so recorded
    // music after MIDI takes the mixer's.
    bool openOutput()
    {
        if (!m_host.startSdl())
            return false;
        if (m_device || m_host.mixerOpen())
            return true;
        // 16-bit stereo at the rate the tune renders at, whatever the device takes: SDL
        // converts.
        SDL_AudioSpec wanted{};
        wanted.freq = kMidiRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = SdlMusic::kMidiBufferFrames;
        wanted.callback = &FluidPlayer::fill;
        wanted.userdata = this;
        m_device = sdl().SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (m_device)
            sdl().SDL_PauseAudioDevice(m_device, 0);
        return m_device != 0;
    }

    Host &m_host;
    SDL_AudioDeviceID m_device = 0; ///< MIDI's own device, which the tune fills
    std::unique_ptr<MidiTune> m_tune;
};

} // namespace

std::unique_ptr<MidiPlayer> MidiPlayer::make(Host &host)
{
    return std::make_unique<FluidPlayer>(host);
}
