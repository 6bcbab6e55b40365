#pragma once

#include "gamefolder.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

/// Publishes a game as a web page: a folder holding index.html, the page's script (tale.js),
/// the game's data as a script (game.js, so the page opens from the disk without a web server),
/// the pictures the scenes show under their own names, the music in a form browsers play and
/// the game's font cut to the characters it uses (font.woff2); and a zip of the same beside it.
/// Nothing else is written, and no path of the author's machine.
class Publisher
{
public:
    enum class Status
    {
        Published,
        Problem, ///< nothing was published; message() says why (a missing picture: which)
        NoGame,  ///< the folder holds no game
    };
    /// One published file: its path inside the page folder and its size in bytes.
    struct File
    {
        QString name;
        qint64 bytes = 0;
    };

    Publisher(const GameFolder &folder, const QString &out);
    /// Called with a short text of each step as it begins, for a progress display.
    void setProgress(std::function<void(const QString &)> progress)
    {
        m_progress = std::move(progress);
    }
    /// Publishes into the new folder @p out and @p out.zip; neither may exist yet. On any
    /// failure neither is left behind. Needs a QApplication (fonts and the player's look).
    Status run();

    const QString &message() const { return m_message; }
    const QStringList &warnings() const { return m_warnings; }
    const QList<File> &files() const { return m_files; }
    QString zipPath() const { return m_out + QStringLiteral(".zip"); }

    /// The exit status of `scriptwell --publish` for @p status: 0, 1 or 2.
    static int exitStatus(Status status);

private:
    void step(const QString &what);
    Status fail(const QString &why);

    GameFolder m_folder;
    QString m_out;
    QString m_message;
    QStringList m_warnings;
    QList<File> m_files;
    std::function<void(const QString &)> m_progress;
};
