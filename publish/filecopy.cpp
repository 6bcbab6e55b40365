#include "filecopy.h"

#include <QFile>

namespace FileCopy {

Result copy(const QString &from, const QString &to, const std::function<bool()> &cancelled,
            const QByteArray &head)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return Result::ReadFailed;
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Result::WriteFailed;
    const auto give = [&](Result result) {
        target.close();
        target.remove();
        return result;
    };
    if (!head.isEmpty()) {
        if (source.read(head.size()).size() != head.size())
            return give(Result::ReadFailed);
        if (target.write(head) != head.size())
            return give(Result::WriteFailed);
    }
    constexpr qint64 kPiece = 1024 * 1024;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (;;) {
        if (cancelled && cancelled())
            return give(Result::Cancelled);
        const qint64 got = source.read(piece.data(), kPiece);
        if (got < 0)
            return give(Result::ReadFailed);
        if (got == 0)
            break;
        if (target.write(piece.constData(), got) != got)
            return give(Result::WriteFailed);
    }
    if (!target.flush())
        return give(Result::WriteFailed);
    return Result::Copied;
}

} // namespace FileCopy
