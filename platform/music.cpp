#include "music.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <QFile>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// The small General MIDI font that set-up installs comes first: it loads in a blink and keeps
// the player's memory small; the others serve where it is missing.
const char *const kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// The path a `play` or `close` command names: everything after the verb.
QString argumentOf(const QString &command, QLatin1StringView verb)
{
    return command.mid(verb.size() + 1);
}

} // namespace

struct SdlMusic::Worker
{
    GameFolder folder;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<QString> queue;
    bool busy = false;
    bool stopping = false;
    bool audioOpen = false;
    bool audioTried = false;
    Mix_Music *music = nullptr;
    std::thread thread;

    explicit Worker(const GameFolder &f) : folder(f) { thread = std::thread([this] { run(); }); }

    ~Worker()
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    bool openAudio()
    {
        if (audioTried)
            return audioOpen;
        audioTried = true;
        if (!qEnvironmentVariableIsSet("SDL_SOUNDFONTS")) {
            for (const char *font : kSoundFonts) {
                if (QFile::exists(QString::fromLatin1(font))) {
                    Mix_SetSoundFonts(font);
                    break;
                }
            }
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        Mix_Init(MIX_INIT_MID | MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC);
        audioOpen = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
        return audioOpen;
    }

    void stop()
    {
        if (music) {
            Mix_HaltMusic();
            Mix_FreeMusic(music);
            music = nullptr;
        }
    }

    void carryOut(const QString &command)
    {
        if (command.startsWith(QLatin1StringView("play "), Qt::CaseInsensitive)) {
            const QString file = folder.resolve(argumentOf(command, QLatin1StringView("play")));
            if (file.isEmpty() || !openAudio())
                return;
            stop();
            music = Mix_LoadMUS(QFile::encodeName(file).constData());
            if (music && Mix_PlayMusic(music, 1) != 0)
                stop();
        } else if (command.startsWith(QLatin1StringView("close "), Qt::CaseInsensitive)) {
            stop();
        }
        // "Open … alias File" only names the device; `play` does the loading.
    }

    void run()
    {
        for (;;) {
            QString command;
            {
                std::unique_lock lock(mutex);
                busy = false;
                idle.notify_all();
                wake.wait(lock, [this] { return stopping || !queue.empty(); });
                if (stopping)
                    break;
                command = queue.front();
                queue.pop_front();
                busy = true;
            }
            carryOut(command);
        }
        stop();
        if (audioOpen)
            Mix_CloseAudio();
        if (audioTried) {
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
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

void SdlMusic::waitIdle()
{
    std::unique_lock lock(m_worker->mutex);
    m_worker->idle.wait(lock, [this] { return m_worker->queue.empty() && !m_worker->busy; });
}
