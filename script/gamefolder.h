#pragma once

#include <QString>

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
    /// is the one inside the folder, link and all.
    QString resolve(const QString &gamePath) const;

    /// True when resolve() finds a file.
    bool exists(const QString &gamePath) const { return !resolve(gamePath).isEmpty(); }

    /// Where to write the file @p gamePath: the existing file if resolve() finds one (so a
    /// Windows game's `GAME.TXT` is written in place), else the exact name inside the folder.
    /// Empty if the path is not acceptable.
    QString pathForWrite(const QString &gamePath) const;

private:
    QString m_root;
};
