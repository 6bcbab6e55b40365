#pragma once

#include "gamefolder.h"
#include "musicdevice.h"

#include <QString>

#include <memory>

/// Plays through SDL2_mixer on a worker thread: MIDI (on Linux FluidSynth with the system's
/// General MIDI sound font, on Windows the system's own synthesiser), OGG, MP3, WAV and FLAC.
/// `play` plays the file once; `close` stops it. Recorded music needs SDL and its mixer only.
class SdlMusic : public MusicDevice
{
public:
    explicit SdlMusic(const GameFolder &folder);
    ~SdlMusic() override;
    void sendCommand(const QString &command) override;

    /// Keeps the commands sent from now on waiting, until release(): the player starts the
    /// music (and the loading of its sound font) only once its first frame is on the screen.
    void hold();
    void release();

    /// The General MIDI sound font MIDI plays with (SDL_SOUNDFONTS when set, else the first
    /// installed of the small TimGM6mb and larger ones); empty when there is none (and on
    /// Windows, whose synthesiser brings its own instruments).
    static QByteArray soundFont();

    /// Blocks until every command sent so far has been carried out (for tests and tools); not
    /// while held.
    void waitIdle();

    /// Frames in each buffer MIDI's device plays, 0.37 s: a volume change is heard up to two
    /// buffers later. Rendered in larger pieces the tune wakes the processor less often, and
    /// each waking costs more than the rendering itself.
    static constexpr int kMidiBufferFrames = 8192;

    /// The largest MIDI file played, 64 MB (as the publisher warns): a tune is read whole
    /// before it plays, and a larger one plays nothing.
    static constexpr qint64 kMaxTuneBytes = 64 * 1024 * 1024;

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
};

namespace MusicTesting {
/// From now on until called with false, plays as where the MIDI synthesiser's library is not
/// installed. For tests only.
void leaveOutMidi(bool leftOut);
bool midiLeftOut();
} // namespace MusicTesting
