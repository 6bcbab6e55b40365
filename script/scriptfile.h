#pragma once

#include "fileread.h"
#include "filewrite.h"
#include "gamefolder.h"
#include "scenerec.h"

#include <QByteArray>
#include <QString>

/// The scene file's name inside the game folder.
inline const QString kScriptFileName = QStringLiteral("Game.txt");

/// The message and title both programs show for a damaged scene file.
inline const QString kScriptDamagedText = QStringLiteral("Game.txt数据受损,无法使用");
inline const QString kScriptWarningTitle = QStringLiteral("警告:");

enum class ScriptStatus
{
    Loaded,        ///< read and split into scenes (possibly none)
    Missing,       ///< no Game.txt: an empty script, nothing to tell
    Damaged,       ///< the line count is not a multiple of 8
    TooManyScenes, ///< more than kMaxScenes scenes
    TooLarge,      ///< larger than the 256 MB a script may take
    Unreadable,    ///< the file exists but could not be read, or is no file (a pipe, a folder)
};

/// What LoadScript found. Only Loaded and Missing give scenes; every other status leaves
/// `scenes` empty and `message` holds the text to show the user (titled kScriptWarningTitle).
struct ScriptLoad
{
    ScriptStatus status = ScriptStatus::Missing;
    SceneLists scenes;
    QString message;
    FileStamp stamp;  ///< what the file held when read (nothing when missing)
    QByteArray bytes; ///< the bytes read, for a program that may have to put them back

    bool usable() const
    {
        return status == ScriptStatus::Loaded || status == ScriptStatus::Missing;
    }
};

/// The most a scene file may hold; reading stops one byte past it.
constexpr qint64 kMaxScriptBytes = 256 * 1024 * 1024;

/// Why a scene file of @p bytes bytes and @p lines lines could not be opened again (larger than
/// kMaxScriptBytes, more than kMaxScenes scenes), or an empty string. The limits reading keeps
/// are the limits every write keeps: nothing is written that the programs would refuse to read.
QString scriptLimitProblem(qint64 bytes, qint64 lines);

/// Reads Game.txt of @p folder. Lines end with CR LF; a last line without CR LF still counts;
/// a lone CR or LF is part of its line's value. Bytes that are not GBK are kept (see Gbk).
ScriptLoad LoadScript(const GameFolder &folder);

/// Splits the bytes of a scene file as LoadScript does (without touching the disk).
ScriptLoad parseScript(const QByteArray &bytes);

/// The bytes a list of scenes is stored as, or the reason it cannot be stored: a value holding
/// a CR LF (it would read back as two lines) or characters GBK cannot hold, named with the
/// scene number (counting from @p firstSceneNumber; 0 says "this scene") and the field.
struct EncodedScenes
{
    QByteArray bytes;
    QString error;
};
EncodedScenes encodeScenes(const SceneLists &scenes, int firstSceneNumber = 1);

/// Appends one scene (eight lines) to Game.txt in a single write, creating the file if needed.
/// If the file's last line lacks its CR LF, one is added first so no two lines run together.
/// On failure the file keeps its old length and the result says why; a file that would pass a
/// limit of scriptLimitProblem() is refused before anything is written.
/// With @p expected, nothing is written unless the file still holds what it stamps (else the
/// result has `changedElsewhere`); after a write it stamps the file's new content.
WriteResult AppendScene(const GameFolder &folder, const SceneRec &rec,
                        FileStamp *expected = nullptr);

/// Replaces Game.txt with exactly @p bytes (as they were once read), all or nothing; @p expected
/// as for AppendScene. Bytes past a limit of scriptLimitProblem() are refused unwritten.
WriteResult RestoreScript(const GameFolder &folder, const QByteArray &bytes,
                          FileStamp *expected = nullptr);

/// Replaces Game.txt with @p scenes, all or nothing. With no scenes the file becomes 0 bytes.
/// @p expected and the limits as for RestoreScript.
WriteResult RewriteScript(const GameFolder &folder, const SceneLists &scenes,
                          FileStamp *expected = nullptr);
