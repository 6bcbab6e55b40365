#include "music.h"

#include "fileread.h"
#include "midiplayer.h"
#include "sharedlibrary.h"
#include "soundlibraries.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#define TALE_FIND(name) loaded = libraries.find(name, #name) && loaded;

SdlLibrary::SdlLibrary()
{
    const SharedLibraries libraries(TALE_SDL_LIBRARY);
    TALE_SDL_FUNCTIONS(TALE_FIND)
}

MixerLibrary::MixerLibrary()
{
    const SharedLibraries libraries(TALE_MIXER_LIBRARY);
    TALE_MIXER_FUNCTIONS(TALE_FIND)
}

#undef TALE_FIND

const SdlLibrary &sdl()
{
    static const SdlLibrary library;
    return library;
}

const MixerLibrary &mixer()
{
    static const MixerLibrary library;
    return library;
}

namespace {

std::atomic<bool> g_midiLeftOut = false;

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

namespace MusicTesting {
void leaveOutMidi(bool leftOut)
{
    g_midiLeftOut = leftOut;
}

bool midiLeftOut()
{
    return g_midiLeftOut;
}
} // namespace MusicTesting

struct SdlMusic::Worker : MidiPlayer::Host
{
    GameFolder folder;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<QString> queue;
    bool busy = false;
    bool held = false;
    bool stopping = false;
    bool ended = false; ///< the audio thread found MIDI's tune played through
    bool sdlTried = false;
    bool sdlOpen = false; ///< SDL's audio is running
    bool mixerTried = false;
    bool mixerIsOpen = false; ///< the mixer's device, for recorded music (and MIDI after it)
    int volume = 100;         ///< 0–100, for every tune from now on
    Mix_Music *music = nullptr;
    std::unique_ptr<MidiPlayer> midi = MidiPlayer::make(*this);
    std::thread thread;

    explicit Worker(const GameFolder &f) : folder(f)
    {
        thread = std::thread([this] { run(); });
    }

    ~Worker() override
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    // Recorded music needs SDL and the mixer only, whether or not MIDI could play.
    bool startSdl() override
    {
        if (sdlTried)
            return sdlOpen;
        sdlTried = true;
        if (!sdl().loaded)
            return false;
        // SDL would catch SIGINT and SIGTERM and turn them into quit events that nobody reads:
        // the player would ignore a plain kill, and a session's logout. Leave them alone.
        sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdlOpen = sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        return sdlOpen;
    }

    bool mixerOpen() const override { return mixerIsOpen; }

    bool openMixer() override
    {
        if (mixerTried)
            return mixerIsOpen;
        mixerTried = true;
        if (!startSdl() || !mixer().loaded)
            return false;
        midi->mixerOpening();
        mixer().Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC | midi->mixerFlags());
        mixerIsOpen =
            mixer().Mix_OpenAudioDevice(kMixerRate, AUDIO_S16SYS, 2, 4096, nullptr, 0) == 0;
        return mixerIsOpen;
    }

    void tuneEnded() override
    {
        {
            std::lock_guard lock(mutex);
            ended = true;
        }
        wake.notify_one();
    }

    void stop()
    {
        midi->stop();
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
            if (!openMixer())
                return;
            music = mixer().Mix_LoadMUS(QFile::encodeName(file).constData());
            mixer().Mix_VolumeMusic(volume * MIX_MAX_VOLUME / 100);
            if (music && mixer().Mix_PlayMusic(music, 1) != 0)
                stop();
            return;
        }
        if (!midi->available())
            return;
        // Read whole, but within a bound: a tune larger than any a game holds plays nothing,
        // as any tune that cannot play.
        const FileRead tune = readWholeFile(file, SdlMusic::kMaxTuneBytes);
        stop();
        if (tune.status == FileRead::Read)
            midi->play(tune.bytes, file, volume);
    }

    void setVolume(int percent)
    {
        volume = qBound(0, percent, 100);
        midi->setVolume(volume);
        if (mixerIsOpen)
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
            bool played = false;
            {
                std::unique_lock lock(mutex);
                busy = false;
                idle.notify_all();
                wake.wait(lock, [this] { return stopping || ended || (!held && !queue.empty()); });
                if (stopping)
                    break;
                played = std::exchange(ended, false);
                if (!played) {
                    command = queue.front();
                    queue.pop_front();
                }
                busy = true;
            }
            if (played)
                midi->letEndedTuneGo();
            else
                carryOut(command);
        }
        stop();
        midi->close();
        if (mixerIsOpen)
            mixer().Mix_CloseAudio();
        if (mixerTried && mixer().loaded)
            mixer().Mix_Quit();
        if (sdlOpen)
            sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
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
