#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

/// MIDI as this system plays it, for the music thread (music.cpp). One header;
/// midiplayer_fluidsynth.cpp (FluidSynth with a General MIDI sound font, into SDL's audio) and
/// midiplayer_native.cpp (the system's own synthesiser through SDL_mixer, as on Windows) are
/// its sides. Every call but Host::tuneEnded() comes on the music thread.
class MidiPlayer
{
public:
    /// What the music thread lends a player.
    class Host
    {
    public:
        virtual ~Host() = default;
        /// Starts SDL's audio once; whether it runs.
        virtual bool startSdl() = 0;
        /// Whether the mixer's device (recorded music's) is open.
        virtual bool mixerOpen() const = 0;
        /// Opens the mixer's device once; whether it is open.
        virtual bool openMixer() = 0;
        /// On the audio thread, once: the tune played through. The music thread then calls
        /// letEndedTuneGo().
        virtual void tuneEnded() = 0;
    };

    /// This system's player.
    static std::unique_ptr<MidiPlayer> make(Host &host);
    virtual ~MidiPlayer() = default;

    /// Whether MIDI can play here at all (the libraries it needs are there).
    virtual bool available() const = 0;
    /// The flags of Mix_Init() this player needs of the mixer.
    virtual int mixerFlags() const = 0;
    /// Plays the tune @p tune (the bytes of the file @p path) once, at @p volume (0 to 100).
    /// A tune that cannot play plays nothing.
    virtual void play(const QByteArray &tune, const QString &path, int volume) = 0;
    /// Stops the tune playing, if any.
    virtual void stop() = 0;
    /// @p volume from 0 to 100, for this tune and the next.
    virtual void setVolume(int volume) = 0;
    /// The mixer's device is about to open: a device of the player's own closes first.
    virtual void mixerOpening() = 0;
    /// After Host::tuneEnded(): what the ended tune held goes.
    virtual void letEndedTuneGo() = 0;
    /// The music thread ends: everything the player holds goes.
    virtual void close() = 0;
};
