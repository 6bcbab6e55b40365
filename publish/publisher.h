#pragma once

#include "gamefolder.h"
#include "pagescenes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

/// Publishes a game as a web page: a folder holding index.html, the page's script (tale.js),
/// the game's data as a script (game.js, so the page opens from the disk without a web server),
/// the pictures the scenes show under their own names (made portable: see
/// PageFolder::portableName), the music in a form browsers play and the game's fonts cut to the
/// characters they draw; and a zip of the same beside it. Nothing else is written, and no path
/// of the author's machine. Each file is written as it is made and the zip is read from the
/// files, so memory stays small whatever the game's size.
class Publisher
{
public:
    enum class Status
    {
        Published,
        Problem,   ///< nothing was published; message() says why (a missing picture: which)
        NoGame,    ///< the folder holds no game
        Cancelled, ///< cancel() stopped it; nothing was published
    };
    /// One published file: its path inside the page folder and its size in bytes.
    struct File
    {
        QString name;
        qint64 bytes = 0;
    };

    /// Call on the thread of the application's widgets (it reads the desktop's look there).
    Publisher(const GameFolder &folder, const QString &out);
    /// Called with a short text of each step as it begins and the share of it done, in percent
    /// (-1 when unknown), for a progress display. Called on the thread run() runs on.
    void setProgress(std::function<void(const QString &what, int percent)> progress)
    {
        m_progress = std::move(progress);
    }
    /// Publishes into the folder @p out and @p out.zip. Either may be a page published earlier
    /// (see PageFolder), which is replaced whole; anything else there is refused and left as it
    /// is. On any failure or a cancel both stay as they were and nothing else is left behind.
    /// Needs a QApplication; may run on any thread.
    Status run();
    /// Asks run() to stop soon; any thread may call it.
    void cancel() { m_cancelled = true; }

    const QString &message() const { return m_message; }
    const QStringList &warnings() const { return m_warnings; }
    const QList<File> &files() const { return m_files; }
    QString zipPath() const { return m_out + QStringLiteral(".zip"); }

    /// The exit status of `scriptwell --publish` for @p status: 0, 1 or 2.
    static int exitStatus(Status status);

private:
    class Page;

    void step(const QString &what, int percent = -1);
    Status fail(const QString &why);
    Status publishInto(const QString &root, const PageGame &game, QStringList &names);
    bool cancelled() const { return m_cancelled; }

    GameFolder m_folder;
    QString m_out;
    PlayerLook m_look;
    QString m_message;
    QStringList m_warnings;
    QList<File> m_files;
    std::function<void(const QString &, int)> m_progress;
    std::atomic<bool> m_cancelled = false;
};
