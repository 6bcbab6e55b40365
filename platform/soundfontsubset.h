#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

class QFile;

/// A General MIDI sound font cut down to the instruments one tune plays. FluidSynth keeps every
/// preset of a font it loads, with all its zones, whatever the tune uses: four of the small
/// font's megabytes for the 2 of its 200 instruments a simple tune needs. The cut font is the
/// original file with a new preset directory (its last part) in place of the old: the samples
/// are read from the original file where they are.
namespace SoundFontSubset {

/// A preset's key: bank * 128 + program. The drum kits are bank 128.
constexpr int key(int bank, int program)
{
    return bank * 128 + program;
}

/// The presets a Standard MIDI File @p midi selects on its channels (program changes under the
/// bank chosen before them; channel 10 takes bank 128), with those every channel starts on and
/// FluidSynth's stand-ins for a missing one (the same program of bank 0, drum kit 0). None when
/// the file cannot be read through.
std::optional<QSet<int>> presetsOf(const QByteArray &midi);

/// The font at @p path as a file of @p headSize bytes of the original (its RIFF size changed)
/// followed by @p directory.
struct Cut
{
    QString path;
    qint64 headSize = 0;
    QByteArray riffSize; ///< 4 bytes, little-endian, for bytes 4–7
    QByteArray directory;
    qint64 size() const { return headSize + directory.size(); }
    /// Reads @p count bytes at @p at of the cut font from @p file (the original, open).
    bool read(QFile &file, qint64 at, char *into, qint64 count) const;
};

/// The font at @p path with only the presets in @p presets and the instruments they use; none
/// when the file is not a sound font this can cut (its preset directory must come last).
std::optional<Cut> cut(const QString &path, const QSet<int> &presets);

} // namespace SoundFontSubset
