#pragma once

#include <QString>

#include <functional>

/// The game's music in a form every current browser plays.
namespace MusicRender {

/// The extension of the page's file for the music file at @p path, without the dot: "mp3" for
/// MIDI (synthesised), the file's own kind for MP3, Ogg, WAV and FLAC. Empty, with the reason
/// in @p error, for anything else, or a file that is none of these in truth whatever its name.
QString extensionFor(const QString &path, QString *error);

struct Result
{
    enum class Outcome
    {
        Written,
        LeftOut,     ///< the music cannot go on the page (error says why); nothing was written
        WriteFailed, ///< the target could not be written; nothing is left there
        Cancelled,   ///< nothing is left at the target
    };
    Outcome outcome = Outcome::Written;
    QString error;
};

/// Writes the page's music for @p path into the new file @p target, a piece at a time, so
/// memory stays small whatever the length. MIDI is synthesised through FluidSynth with the
/// sound font and settings the player plays it with, runs on after its last event until the
/// last notes have died away (at most a few seconds, faded out at the end), and is compressed
/// as MP3; recorded music is copied whole. @p cancelled is asked between pieces and @p progress
/// gets the share done in percent; either may be empty.
Result write(const QString &path, const QString &target, const std::function<bool()> &cancelled,
             const std::function<void(int)> &progress);

} // namespace MusicRender
