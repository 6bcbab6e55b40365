#include "gamelock.h"

#include "userfolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>

namespace {

QString lockPath(const QString &gameFolder)
{
    const QByteArray hash = QCryptographicHash::hash(UserFolders::gamePath(gameFolder).toUtf8(),
                                                     QCryptographicHash::Sha256);
    return QDir(UserFolders::runtime())
        .filePath(QStringLiteral("edit-") + QString::fromLatin1(hash.toHex().left(32)) +
                  QStringLiteral(".lock"));
}

} // namespace

GameLock::GameLock(const QString &gameFolder)
    : m_lock(std::make_unique<QLockFile>(lockPath(gameFolder)))
{
    // Never stale by age: only a mark whose process has ended is taken over.
    m_lock->setStaleLockTime(0);
}

GameLock::~GameLock() = default;

bool GameLock::tryLock()
{
    return m_lock->tryLock(0);
}

qint64 GameLock::holder() const
{
    qint64 pid = 0;
    QString host, app;
    return m_lock->getLockInfo(&pid, &host, &app) ? pid : 0;
}
