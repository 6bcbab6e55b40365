#pragma once

#include <QString>

/// The user's own folders that the programs use, named in one place. Nothing of the user's is
/// ever written into a game folder, which may be shared or read-only.
namespace UserFolders {

/// Where a running program leaves marks that end with the session (locks): the user's runtime
/// folder, "taletools" inside it; created when missing.
QString runtime();

/// Where the author's own games go when the programs make one for them (a copy of the demo):
/// "taletools" in the user's documents folder, else in the home folder.
QString games();

/// Where the editor keeps earlier versions of each game's Game.txt and Game.ini:
/// "taletools/versions" in the user's data folder. Not created here; the first version kept
/// makes it.
QString versions();

/// Where the player keeps what a reader leaves behind (the place reached, the scenes seen, save
/// slots, the reader's settings): "taletools/reader" in the user's data folder. Not created
/// here; the first write makes it.
QString reader();

/// The one form of a game folder's path by which the programs name a game in the user's
/// folders (the reader's data, the editor's versions, the editing lock): links resolved as the
/// kernel resolves them, so a game opened through a link is the same game as opened directly.
/// A folder that cannot be resolved (gone) keeps its cleaned absolute path.
QString gamePath(const QString &gameFolder);

/// The reader's folder for the game in @p gameFolder: one per game, named by gamePath().
/// A folder named by the plain absolute path, as earlier versions named it, is still used
/// when it is the only one there.
QString readerFor(const QString &gameFolder);

} // namespace UserFolders
