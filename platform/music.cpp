#include "music.h"

#include "soundfontsubset.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// The sound libraries are opened when the first tune plays, not linked into the programs: loading
// SDL, its mixer and FluidSynth with the forty libraries they bring along, before main() even
// begins, made the player's first frame a fifth later. MIDI needs SDL and FluidSynth only; the
// mixer, with its decoders, is opened for recorded music. Functions are looked up by name once.
#define TALE_MIDI_FUNCTIONS(F)                                                                     \
    F(SDL_SetHint)                                                                                 \
    F(SDL_InitSubSystem)                                                                           \
    F(SDL_QuitSubSystem)                                                                           \
    F(SDL_OpenAudioDevice)                                                                         \
    F(SDL_CloseAudioDevice)                                                                        \
    F(SDL_PauseAudioDevice)                                                                        \
    F(SDL_LockAudioDevice)                                                                         \
    F(SDL_UnlockAudioDevice)                                                                       \
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
    F(fluid_player_add)                                                                            \
    F(fluid_player_play)                                                                           \
    F(fluid_player_get_status)

#define TALE_MIXER_FUNCTIONS(F)                                                                    \
    F(Mix_Init)                                                                                    \
    F(Mix_Quit)                                                                                    \
    F(Mix_OpenAudioDevice)                                                                         \
    F(Mix_CloseAudio)                                                                              \
    F(Mix_LoadMUS)                                                                                 \
    F(Mix_FreeMusic)                                                                               \
    F(Mix_PlayMusic)                                                                               \
    F(Mix_HaltMusic)                                                                               \
    F(Mix_VolumeMusic)                                                                             \
    F(Mix_HookMusic)

// Opens the libraries named in @p sonames ("libSDL2-2.0.so.0:…", the names the programs were
// built against; each library's own dependencies come along) and finds functions in them.
class Libraries
{
public:
    explicit Libraries(const char *sonames)
    {
        for (const QByteArray &name : QByteArray(sonames).split(':')) {
            if (void *handle = dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL))
                m_handles.append(handle);
        }
    }
    template <typename F>
    bool find(F &function, const char *name) const
    {
        for (void *handle : m_handles) {
            if (void *f = dlsym(handle, name)) {
                function = reinterpret_cast<F>(f);
                return true;
            }
        }
        return false;
    }

private:
    QList<void *> m_handles;
};

#define TALE_POINTER(name) decltype(&::name) name = nullptr;
#define TALE_FIND(name) loaded = libraries.find(name, #name) && loaded;

struct MidiLibraries
{
    TALE_MIDI_FUNCTIONS(TALE_POINTER)
    bool loaded = true;
    MidiLibraries()
    {
        const Libraries libraries(TALE_MIDI_SONAMES);
        TALE_MIDI_FUNCTIONS(TALE_FIND)
    }
};

struct MixerLibrary
{
    TALE_MIXER_FUNCTIONS(TALE_POINTER)
    bool loaded = true;
    MixerLibrary()
    {
        const Libraries libraries(TALE_MIXER_SONAME);
        TALE_MIXER_FUNCTIONS(TALE_FIND)
    }
};

#undef TALE_POINTER
#undef TALE_FIND

// SDL and FluidSynth, opened by the first caller (the music thread); loaded is false without them.
const MidiLibraries &sound()
{
    static const MidiLibraries libraries;
    return libraries;
}

// The mixer, opened by the first caller, for recorded music.
const MixerLibrary &mixer()
{
    static const MixerLibrary library;
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
constexpr int kRecordedRate = 44100;

// The path a `play` or `close` command names: everything after the verb.
QString argumentOf(const QString &command, QLatin1StringView verb)
{
    return command.mid(verb.size() + 1);
}

bool isMidi(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == "MThd";
}

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
    bool start(const QString &path, int rate)
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
        if (!m_synth || font.isEmpty() || !loadFont(path, font))
            return false;
        m_player = sound().new_fluid_player(m_synth);
        return m_player &&
               sound().fluid_player_add(m_player, QFile::encodeName(path).constData()) ==
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
    // Loads the sound font @p font cut down to the instruments the tune at @p path plays; the
    // whole font when the tune or the font cannot be read so.
    bool loadFont(const QString &path, const QByteArray &font)
    {
        QFile tune(path);
        const std::optional<QSet<int>> presets = tune.open(QIODevice::ReadOnly)
                                                     ? SoundFontSubset::presetsOf(tune.readAll())
                                                     : std::nullopt;
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

} // namespace

struct SdlMusic::Worker
{
    GameFolder folder;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<QString> queue;
    bool busy = false;
    bool held = false;
    bool stopping = false;
    bool tuneEnded = false; ///< the audio thread found MIDI's tune played through
    bool sdlTried = false;
    bool sdlOpen = false;             ///< SDL's audio is running
    SDL_AudioDeviceID midiDevice = 0; ///< MIDI's own device, which the tune fills
    bool mixerTried = false;
    bool mixerOpen = false; ///< the mixer's device, for recorded music (and MIDI after it)
    int volume = 100;       ///< 0–100, for every tune from now on
    Mix_Music *music = nullptr;
    std::unique_ptr<MidiTune> tune;
    std::thread thread;

    explicit Worker(const GameFolder &f) : folder(f)
    {
        thread = std::thread([this] { run(); });
    }

    ~Worker()
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    bool startSdl()
    {
        if (sdlTried)
            return sdlOpen;
        sdlTried = true;
        if (!sound().loaded)
            return false;
        // SDL would catch SIGINT and SIGTERM and turn them into quit events that nobody reads:
        // the player would ignore a plain kill, and a session's logout. Leave them alone.
        sound().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdlOpen = sound().SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        return sdlOpen;
    }

    // The audio thread's call for MIDI's device: the tune's next samples, or silence.
    static void fill(void *self, Uint8 *stream, int bytes)
    {
        auto *worker = static_cast<Worker *>(self);
        if (!worker->tune) {
            std::memset(stream, 0, size_t(bytes));
            return;
        }
        MidiTune::render(worker->tune.get(), stream, bytes);
        if (worker->tune->endedJustNow()) {
            {
                std::lock_guard lock(worker->mutex);
                worker->tuneEnded = true;
            }
            worker->wake.notify_one();
        }
    }

    // A tune played through leaves only silence to render: MIDI's device and its thread go
    // (the player sits idle on a scene for as long as the reader reads) until the next tune.
    void letEndedTuneGo()
    {
        if (!midiDevice || !tune)
            return;
        sound().SDL_LockAudioDevice(midiDevice);
        const bool ended = tune->ended(); // not a tune that took the ended one's place
        sound().SDL_UnlockAudioDevice(midiDevice);
        if (!ended)
            return;
        sound().SDL_CloseAudioDevice(midiDevice);
        midiDevice = 0;
        tune.reset();
    }

    // Opens the device that plays MIDI (@p midi) or recorded music. A game has one tune, so
    // MIDI's own device is opened only while the mixer's is not; recorded music after MIDI
    // takes the mixer's.
    bool openOutput(bool midi)
    {
        if (!startSdl())
            return false;
        if (midi) {
            if (midiDevice || mixerOpen)
                return true;
            // 16-bit stereo at the rate the tune renders at, whatever the device takes: SDL
            // converts.
            SDL_AudioSpec wanted{};
            wanted.freq = kMidiRate;
            wanted.format = AUDIO_S16SYS;
            wanted.channels = 2;
            wanted.samples = kMidiBufferFrames;
            wanted.callback = &Worker::fill;
            wanted.userdata = this;
            midiDevice = sound().SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
            if (midiDevice)
                sound().SDL_PauseAudioDevice(midiDevice, 0);
            return midiDevice != 0;
        }
        if (mixerTried)
            return mixerOpen;
        mixerTried = true;
        if (!mixer().loaded)
            return false;
        if (midiDevice) {
            sound().SDL_CloseAudioDevice(midiDevice);
            midiDevice = 0;
        }
        mixer().Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC);
        mixerOpen =
            mixer().Mix_OpenAudioDevice(kRecordedRate, AUDIO_S16SYS, 2, 4096, nullptr, 0) == 0;
        return mixerOpen;
    }

    void stop()
    {
        if (tune) {
            if (midiDevice) {
                // The audio thread leaves the tune before it goes.
                sound().SDL_LockAudioDevice(midiDevice);
                std::unique_ptr<MidiTune> old = std::move(tune);
                sound().SDL_UnlockAudioDevice(midiDevice);
            } else {
                if (mixerOpen)
                    mixer().Mix_HookMusic(nullptr, nullptr); // waits for the audio thread
                tune.reset();
            }
        }
        if (music) {
            mixer().Mix_HaltMusic();
            mixer().Mix_FreeMusic(music);
            music = nullptr;
        }
    }

    void play(const QString &file)
    {
        if (!isMidi(file)) {
            stop();
            if (!openOutput(false))
                return;
            music = mixer().Mix_LoadMUS(QFile::encodeName(file).constData());
            mixer().Mix_VolumeMusic(volume * MIX_MAX_VOLUME / 100);
            if (music && mixer().Mix_PlayMusic(music, 1) != 0)
                stop();
            return;
        }
        if (!sound().loaded)
            return;
        stop();
        // The sound font before the device: the device's buffers then take memory that loading
        // the font used for a moment and gave back.
        auto next = std::make_unique<MidiTune>();
        bool started;
        {
            // Loading the sound font takes tens of milliseconds of CPU; the window's first
            // frame, drawn at the same moment, goes first.
            const LowPriority low;
            started = next->start(file, mixerOpen ? kRecordedRate : kMidiRate);
        }
        if (!started || !openOutput(true))
            return;
        next->setVolume(volume);
        if (midiDevice) {
            sound().SDL_LockAudioDevice(midiDevice);
            tune = std::move(next);
            sound().SDL_UnlockAudioDevice(midiDevice);
        } else {
            tune = std::move(next);
            mixer().Mix_HookMusic(&MidiTune::render, tune.get());
        }
    }

    void setVolume(int percent)
    {
        volume = qBound(0, percent, 100);
        if (tune)
            tune->setVolume(volume);
        if (mixerOpen)
            mixer().Mix_VolumeMusic(volume * MIX_MAX_VOLUME / 100);
    }

    void carryOut(const QString &command)
    {
        if (command.startsWith(QLatin1StringView("play "), Qt::CaseInsensitive)) {
            const QString file = folder.resolve(argumentOf(command, QLatin1StringView("play")));
            // Only a regular file: a pipe would stall the music thread, a device never end.
            if (QFileInfo(file).isFile())
                play(file);
        } else if (command.startsWith(QLatin1StringView("close "), Qt::CaseInsensitive)) {
            stop();
        } else if (command.startsWith(QLatin1StringView("volume "), Qt::CaseInsensitive)) {
            bool ok = false;
            const int percent = command.mid(7).trimmed().toInt(&ok);
            if (ok)
                setVolume(percent);
        }
        // "Open … alias File" only names the device; `play` does the loading.
    }

    void run()
    {
        for (;;) {
            QString command;
            bool ended = false;
            {
                std::unique_lock lock(mutex);
                busy = false;
                idle.notify_all();
                wake.wait(lock,
                          [this] { return stopping || tuneEnded || (!held && !queue.empty()); });
                if (stopping)
                    break;
                ended = std::exchange(tuneEnded, false);
                if (!ended) {
                    command = queue.front();
                    queue.pop_front();
                }
                busy = true;
            }
            if (ended)
                letEndedTuneGo();
            else
                carryOut(command);
        }
        stop();
        if (midiDevice)
            sound().SDL_CloseAudioDevice(midiDevice);
        if (mixerOpen)
            mixer().Mix_CloseAudio();
        if (mixerTried && mixer().loaded)
            mixer().Mix_Quit();
        if (sdlOpen)
            sound().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

SdlMusic::SdlMusic(const GameFolder &folder) : m_worker(std::make_unique<Worker>(folder)) {}

SdlMusic::~SdlMusic() = default;

void SdlMusic::sendCommand(const QString &command)
{
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->queue.push_back(command);
    }
    m_worker->wake.notify_one();
}

void SdlMusic::hold()
{
    std::lock_guard lock(m_worker->mutex);
    m_worker->held = true;
}

void SdlMusic::release()
{
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->held = false;
    }
    m_worker->wake.notify_one();
}

void SdlMusic::waitIdle()
{
    std::unique_lock lock(m_worker->mutex);
    m_worker->idle.wait(lock, [this] { return m_worker->queue.empty() && !m_worker->busy; });
}
