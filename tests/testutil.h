#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "scenerec.h"

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

/// A scene with @p note, the pictures @p bg and @p msg, and five one-digit codes in field order
/// (text position, style, size, colour, box position).
inline SceneRec sceneWith(const QString &note, const QString &bg, const QString &msg,
                          const char *codes = "20002")
{
    SceneRec rec;
    rec.fields = {note, bg, msg};
    for (int k = 0; k < 5; ++k)
        rec.fields[3 + k] = QString(QChar::fromLatin1(codes[k]));
    return rec;
}

} // namespace TestUtil
