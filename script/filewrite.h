#pragma once

#include <QByteArray>
#include <QString>

/// The outcome of a write. On failure `error` is a Chinese sentence naming the reason, and the
/// file on disk is as it was before the write began.
struct WriteResult
{
    bool ok = true;
    QString error;

    static WriteResult failure(const QString &why) { return {false, why}; }
    explicit operator bool() const { return ok; }
};

/// Replaces the whole file at @p path with @p bytes, all or nothing (QSaveFile: a temporary
/// file in the same folder renamed over the old one). A file whose permission bits allow no
/// write is treated as read-only and refused, also for root; so is a read-only folder.
WriteResult saveWholeFile(const QString &path, const QByteArray &bytes);

/// Appends @p bytes to the file at @p path (created if missing) in one write. If the write
/// fails part way, the file is cut back to its old length.
WriteResult appendToFile(const QString &path, const QByteArray &bytes);

namespace FileWriteTesting {
/// Makes every following write fail after @p bytes bytes have gone to disk, as a full disk
/// does; -1 turns this off. For tests of the failure paths only.
void failAfterBytes(qint64 bytes);
} // namespace FileWriteTesting
