#include "midiplayer.h"

#include "music.h"
#include "soundlibraries.h"

namespace {

// MIDI through the system's own synthesiser, which SDL_mixer's native MIDI drives (on Windows
// the one every Windows has: what a game made for Windows sounds like there). It plays through
// the mixer as recorded music does, one tune at a time.
class NativePlayer : public MidiPlayer
{
public:
    explicit NativePlayer(Host &host) : m_host(host) {}

    bool available() const override { return mixer().loaded && !MusicTesting::midiLeftOut(); }
    int mixerFlags() const override { return MIX_INIT_MID; }

    void play(const QByteArray &tune, const QString &, int volume) override
    {
        stop();
        if (!m_host.openMixer())
            return;
        // The mixer reads the tune from these bytes while it plays: they stay until stop().
        m_tune = tune;
        SDL_RWops *bytes = sdl().SDL_RWFromConstMem(m_tune.constData(), int(m_tune.size()));
        m_music = bytes ? mixer().Mix_LoadMUS_RW(bytes, 1) : nullptr;
        if (!m_music) {
            m_tune.clear();
            return;
        }
        setVolume(volume);
        if (mixer().Mix_PlayMusic(m_music, 1) != 0)
            stop();
    }

    void stop() override
    {
        if (m_music) {
            mixer().Mix_HaltMusic();
            mixer().Mix_FreeMusic(m_music);
            m_music = nullptr;
        }
        m_tune.clear();
    }

    void setVolume(int volume) override
    {
        if (m_music)
            mixer().Mix_VolumeMusic(volume * MIX_MAX_VOLUME / 100);
    }

    void mixerOpening() override {}
    void letEndedTuneGo() override {}
    void close() override { stop(); }

private:
    Host &m_host;
    QByteArray m_tune;
    Mix_Music *m_music = nullptr;
};

} // namespace

QByteArray SdlMusic::soundFont()
{
    return {};
}

std::unique_ptr<MidiPlayer> MidiPlayer::make(Host &host)
{
    return std::make_unique<NativePlayer>(host);
}
