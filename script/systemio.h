#pragma once

#include "fileread.h"

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QString>

#include <memory>

/// What the script layer asks of the system itself, where Qt gives no equal promise: opening a
/// file to read without waiting on it, pushing written bytes to the disk before they replace a
/// file, putting a new file in an old one's place, and folder entries whose names the system
/// holds as bytes that are not UTF-8. One header; systemio_unix.cpp and systemio_win.cpp are its
/// two sides, and the build takes the one of the system it builds for.
namespace SystemIo {

/// The system's number for the failure of the call just made (errno, GetLastError()).
int lastError();
/// The system's words for @p error (where the system's words may be English, a file another
/// program holds open is said in the program's own Chinese words).
QString errorText(int error);
/// Whether @p error says the disk (or the user's share of it) is full.
bool isDiskFull(int error);
/// The number a full disk fails with, for the faults tests inject.
int diskFullError();
/// The number a refused access fails with.
int accessDeniedError();

/// A file opened for reading with the system's own calls. Opening never waits: a pipe without a
/// writer, a terminal or a device is no file a game stores and is refused as NotAFile
/// (where the system can tell; a device that reads like a file may be read up to a limit).
class InFile
{
public:
    explicit InFile(const QString &path);
    ~InFile();
    InFile(const InFile &) = delete;
    InFile &operator=(const InFile &) = delete;

    /// Read when the file is open (a regular file, or a device that reads), else why not.
    FileRead::Status status() const { return m_status; }
    /// The system's words, for Failed (open or read).
    const QString &error() const { return m_error; }
    /// The size of a regular file, -1 for anything else.
    qint64 size() const { return m_size; }
    /// Reads at most @p max bytes into @p into: how many, 0 at the end, -1 on failure.
    qint64 read(char *into, qint64 max);

private:
    qintptr m_handle = -1;
    FileRead::Status m_status = FileRead::Missing;
    QString m_error;
    qint64 m_size = -1;
};

/// Pushes what was written to @p device (a file open for writing, at @p path) through to the
/// disk, as a full disk may refuse the bytes only then. False with the system's number in
/// @p error.
bool syncToDisk(QFileDevice &device, const QString &path, int &error);

/// The new content of a file, written into a new file beside it that then takes its place in
/// one step, so that the file is always the old one or the new one. The new file keeps the old
/// one's permissions.
class Replacement
{
public:
    explicit Replacement(const QString &file);
    ~Replacement();
    Replacement(const Replacement &) = delete;
    Replacement &operator=(const Replacement &) = delete;

    /// Makes the new file; false when the folder takes none (errorString() says why).
    bool open();
    /// The new file, unbuffered, for writing and syncToDisk().
    QFileDevice &device();
    /// The new file's path (for syncToDisk()).
    QString newPath() const;
    /// Puts the new file in the old one's place. False with errorString(); the old file is
    /// untouched and the new one gone.
    bool commit();
    /// Drops the new file; the old one stays as it was.
    void cancel();
    QString errorString() const;
    /// The failure of commit() was the folder refusing the rename: a write in place may do.
    bool renameRefused() const;

private:
    struct Side;
    std::unique_ptr<Side> m_side;
};

/// An entry of a folder whose name the system holds as bytes that are not UTF-8 (a Chinese
/// Windows zip unpacked on Linux leaves code page 936 bytes). Windows holds every name in
/// UTF-16, so there it has none.
struct RawEntry
{
    QByteArray name;   ///< the entry's name, as the bytes the system holds
    QByteArray native; ///< the entry's absolute path, in bytes
    bool folder = false;
};
/// Every such entry of the folder @p dir whose name @p wanted accepts, in no particular order.
QList<RawEntry> rawNamedEntries(const QString &dir, bool (*wanted)(const QByteArray &name));
/// A path Qt can open for the file at @p native, whose name means @p name: a link to it in a
/// private folder of this process that goes when the process ends. Empty when none can be made.
QString openablePath(const QByteArray &native, const QString &name);
/// Renames @p from to @p to unless something of that name is there; in one step where the file
/// system can, so that a file made meanwhile is not replaced either.
bool renameUnlessTaken(const QByteArray &from, const QByteArray &to);

} // namespace SystemIo
