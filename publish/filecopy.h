#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

/// Copying a file of any size into the page a piece at a time, so memory stays small.
namespace FileCopy {

enum class Result
{
    Copied,
    ReadFailed,  ///< the source could not be read to its end; nothing is left at the target
    WriteFailed, ///< the target could not be written; nothing is left there
    Cancelled,   ///< @p cancelled said so; nothing is left at the target
};

/// Copies @p from whole into the new file @p to (made with the permissions the umask allows).
/// @p head, when given, is written in place of the source's first head.size() bytes (a header
/// mended on the way). @p cancelled is asked between pieces; it may be empty.
Result copy(const QString &from, const QString &to, const std::function<bool()> &cancelled,
            const QByteArray &head = {});

} // namespace FileCopy
