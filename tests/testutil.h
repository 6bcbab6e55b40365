#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace TestUtil {

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

/// Eight CR LF lines of one scene, from ASCII values.
inline QByteArray sceneBytes(const char *note, const char *bg = "1.jpg", const char *msg = "1.png",
                             const char *wz = "2", const char *set = "0", const char *size = "0",
                             const char *colour = "0", const char *msgwz = "2")
{
    QByteArray b;
    for (const char *v : {note, bg, msg, wz, set, size, colour, msgwz}) {
        b += v;
        b += "\r\n";
    }
    return b;
}

} // namespace TestUtil
