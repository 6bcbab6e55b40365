#include "userfolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
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

QString gamePath(const QString &gameFolder)
{
    const QFileInfo info(gameFolder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString readerFor(const QString &gameFolder)
{
    const auto named = [](const QString &path) {
        const QByteArray hash =
            QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
        return QDir(reader()).filePath(QString::fromLatin1(hash.left(16)));
    };
    const QString folder = named(gamePath(gameFolder));
    const QString earlier = named(QDir::cleanPath(QDir(gameFolder).absolutePath()));
    if (earlier != folder && !QFileInfo::exists(folder) && QFileInfo(earlier).isDir())
        return earlier;
    return folder;
}

} // namespace UserFolders
