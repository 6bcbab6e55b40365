#include "pageoutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool PageOutput::put(const QString &name, const QByteArray &bytes)
{
    const QString target = path(name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush())
        return false;
    m_names.append(name);
    return true;
}
