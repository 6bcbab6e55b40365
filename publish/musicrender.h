#pragma once

#include <QByteArray>
#include <QString>

/// The game's music in a form every current browser plays.
namespace MusicRender {

struct Result
{
    QByteArray bytes;  ///< the file to publish; empty when there is nothing to publish
    QString extension; ///< its extension, without the dot ("mp3", "ogg", …)
    QString error;     ///< why the music is left out, when it is
};

/// MIDI is synthesised once through FluidSynth with the sound font and settings the player
/// plays it with, and compressed as MP3; MP3, Ogg, WAV and FLAC files are kept as they are.
/// Anything else, or a file that is none of these in truth whatever its name, gives an error.
Result render(const QString &path);

} // namespace MusicRender
