#include "userfolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace UserFolders {

QString runtime()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString folder = QDir(base).filePath(QStringLiteral("taletools"));
    QDir().mkpath(folder);
    return folder;
}

QString games()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return QDir(base).filePath(QStringLiteral("taletools"));
}

namespace {

QString inData(const QString &relative)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir(base).filePath(relative);
}

} // namespace

QString versions()
{
    return inData(QStringLiteral("taletools/versions"));
}

QString reader()
{
    return inData(QStringLiteral("taletools/reader"));
}

QString readerFor(const QString &gameFolder)
{
    const QByteArray path = QDir::cleanPath(QDir(gameFolder).absolutePath()).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex();
    return QDir(reader()).filePath(QString::fromLatin1(hash.left(16)));
}

} // namespace UserFolders
