#pragma once

#include <QByteArray>
#include <QString>

/// The outcome of a write. On failure `error` is a Chinese sentence naming the reason, and the
/// file on disk is as it was before the write began.
struct WriteResult
{
    bool ok = true;
    QString error;
    /// Nothing was written because another program changed the file since it was read.
    bool changedElsewhere = false;

    static WriteResult failure(const QString &why) { return {false, why, false}; }
    /// Nothing was written: another program changed the file @p fileName since it was read.
    static WriteResult changedSinceRead(const QString &fileName);
    explicit operator bool() const { return ok; }
};

/// Replaces the whole file at @p path with @p bytes, all or nothing. A symbolic link is followed
/// as the system follows it when reading: its target is replaced and the link stays a link; a
/// link that points nowhere is refused (no file is created through it), and so is a target that
/// is no regular file. A failure behind a link names the link's target. The new bytes are written,
/// flushed and synced to the disk before they replace the old file, so a full disk is noticed
/// before anything is lost. Where the folder allows new files, a temporary file is renamed over the
/// old one (QSaveFile; the file keeps its permissions); where it does not (a folder marked
/// read-only, a share that refuses new files or renames), the existing file is overwritten in place
/// and, if that fails part way, its old bytes are put back. A file whose permission bits allow no
/// write is refused, also for root. On failure the file is byte-identical to before.
WriteResult saveWholeFile(const QString &path, const QByteArray &bytes);

/// Whether saveWholeFile(@p path, …) may write, as far as can be told without writing: a link
/// is followed, permission bits and the current user's rights are asked; the reason otherwise.
WriteResult checkCanWrite(const QString &path);

/// Appends @p bytes to the file at @p path (created if missing; a link is followed as by
/// saveWholeFile(), one that points nowhere is refused) in one write,
/// flushed and synced to the disk. If any step fails, the file is cut back to its old length
/// (and a file that did not exist is removed).
WriteResult appendToFile(const QString &path, const QByteArray &bytes);

/// Removes the file at @p path with the care of a write: a file whose permission bits allow no
/// write is refused (also for root), and so is a folder marked read-only. A symbolic link is
/// refused too: neither the link nor the file it names is removed (a link left pointing nowhere
/// would refuse every later write). A file that is not there (or a link that points nowhere)
/// is no failure. On failure nothing is removed and the result says why.
WriteResult removeFile(const QString &path);

namespace FileWriteTesting {
/// Where an injected fault strikes, each where a real full disk or a refusing share fails.
enum class Step
{
    Write,  ///< the write itself stops after the given number of bytes reached the file
    Flush,  ///< pushing the written bytes to the disk fails (what a full disk reports late)
    Commit, ///< the new file cannot take the old one's place
};
/// Makes every following write fail at @p step (after @p bytes bytes, for Step::Write), except
/// the next @p spared whole writes, which succeed: a fault that strikes the later writes of a
/// sequence. For tests of the failure paths only.
void failAt(Step step, qint64 bytes = 0, int spared = 0);
/// failAt(Step::Write, @p bytes); -1 turns every injected fault off.
void failAfterBytes(qint64 bytes);
} // namespace FileWriteTesting
