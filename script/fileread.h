#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// What reading a whole file gave.
struct FileRead
{
    enum Status
    {
        Read,     ///< `bytes` holds the whole file
        Missing,  ///< there is no file of that name (or a link that points nowhere)
        NotAFile, ///< a folder, a pipe or a socket: nothing a game stores
        TooLarge, ///< more than the limit
        Failed,   ///< the system refused: `error` says why
    };
    Status status = Missing;
    QByteArray bytes;
    QString error; ///< the system's words, for Failed
};

/// Reads the file at @p path, but never more than @p limit bytes: reading stops at the limit
/// plus one byte (TooLarge), so a file that never ends (a link to /dev/zero) costs no more than
/// the limit. Pipes and sockets are refused without waiting for a writer; a folder too.
FileRead readWholeFile(const QString &path, qint64 limit);

/// What a file held when a program last read or wrote it, so that a later write can tell
/// whether another program changed it since. A file that did not exist has no digest.
struct FileStamp
{
    std::optional<QByteArray> digest; ///< SHA-256 of the file's bytes

    static FileStamp of(const QByteArray &bytes);
    static FileStamp missing() { return {}; }
    bool operator==(const FileStamp &) const = default;
};

/// The stamp of the file at @p path as it is now, or nothing when it could not be read whole
/// (within @p limit): such a file counts as changed.
std::optional<FileStamp> currentStamp(const QString &path, qint64 limit);
