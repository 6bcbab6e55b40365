#include "userfolders.h"

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

QString versions()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir(base).filePath(QStringLiteral("taletools/versions"));
}

} // namespace UserFolders
