#pragma once

#include "scenerec.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// Scenes as plain lines, for the clipboard and for text files: the texts one per line (what a
/// text editor shows and gives back), and beside them the eight fields of each scene, so that
/// scenes copied in one game paste whole into another. No window, no clipboard: the bytes only.
namespace SceneLines {

/// The clipboard format that carries whole scenes.
inline const QString kMimeType = QStringLiteral("application/x-scriptwell-scenes");

/// The eight fields of each of @p scenes as lines of UTF-8 text: a first line naming the
/// format, then eight lines per scene in Game.txt's order. A backslash, CR and LF inside a field
/// are written as \\, \r and \n, so that every field stays one line.
QByteArray encodeScenes(const QList<SceneRec> &scenes);
/// The scenes encodeScenes() wrote; nothing when @p bytes are not such lines (another format,
/// a count of lines that is not eight per scene, no scene at all).
std::optional<QList<SceneRec>> decodeScenes(const QByteArray &bytes);

/// The texts of @p scenes, one per line, as a text editor takes them.
QString texts(const QList<SceneRec> &scenes);

/// The lines of @p text that are to become scenes: split at CR LF, LF or CR, blank lines (only
/// blanks) skipped, each line as it stands otherwise.
QStringList sceneTexts(const QString &text);

/// A text file read for import.
struct TextFile
{
    enum class Encoding
    {
        Utf8,
        Gbk,
        Unknown, ///< neither: nothing to import
    };
    Encoding encoding = Encoding::Unknown;
    QString text;
};
/// Decodes @p bytes as UTF-8 (a byte order mark allowed) when they are valid UTF-8, else as GBK
/// when every byte is GBK; else the encoding is Unknown and the text empty.
TextFile decodeTextFile(const QByteArray &bytes);

} // namespace SceneLines
