#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// The name the bytes @p raw of a file or folder name stand for when they are not UTF-8 but code
/// page 936, as a Chinese Windows zip leaves them; nothing for any other name.
std::optional<QString> nameFromWindowsBytes(const QByteArray &raw);

/// The game folder: the folder a program runs in, holding Game.txt, Game.ini, BG/, Msg/ and
/// Music/. Games are made on Windows and shared, so a game path such as `BG\1.JPG` or
/// `BG/over.jpg` may use either separator and may differ from the file's name in letter case.
/// This is the one resolver that turns such a path into a file of the folder.
class GameFolder
{
public:
    /// @param root the folder; a relative path is taken relative to the current folder.
    explicit GameFolder(const QString &root);

    /// The current working folder, as the programs use it.
    static GameFolder current();

    /// The folder's absolute path.
    const QString &path() const { return m_root; }

    /// The absolute path of the existing file that @p gamePath names (not a folder; readers check
    /// that it is a regular file before they open it), or an empty
    /// string when there is none. An exact match wins; otherwise each component is matched
    /// ignoring letter case. Empty names, folders, absolute paths, drive letters and names whose
    /// ".." would lead out of the folder resolve to nothing. Symbolic links are followed wherever
    /// they lead (a BG folder linked to a picture library loads from there); the returned path
    /// is the one inside the folder, link and all. A file whose name is code page 936 bytes (see
    /// WindowsName) is found by its decoded name too; as such bytes make no path that Qt can
    /// open, the path returned for it is a link to it in a private folder of this process.
    QString resolve(const QString &gamePath) const;

    /// True when resolve() finds a file.
    bool exists(const QString &gamePath) const { return !resolve(gamePath).isEmpty(); }

    /// A file whose name a game zipped on Chinese Windows left as code page 936 bytes (Debian's
    /// unzip writes the bytes as they are): not UTF-8, so no other program shows its name.
    struct WindowsName
    {
        QString gamePath;  ///< as a scene names it, e.g. "BG\海边.jpg"
        QByteArray native; ///< the file's absolute path as the system holds it, in bytes
    };
    /// Every such file in BG, Msg and Music (any letter case), in name order.
    QList<WindowsName> windowsNames() const;
    /// Gives each file windowsNames() lists its proper (UTF-8) name, unless a file of that name
    /// is already there. Returns the game paths of the files that could not be renamed.
    QStringList renameWindowsNames() const;

    /// Where to write the file @p gamePath: the existing file if resolve() finds one (so a
    /// Windows game's `GAME.TXT` is written in place), else the exact name inside the folder.
    /// Empty if the path is not acceptable.
    QString pathForWrite(const QString &gamePath) const;

private:
    QString m_root;
};
