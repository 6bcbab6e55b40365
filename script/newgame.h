#pragma once

#include "filewrite.h"

#include <QString>

/// Begins a new game in @p folder (created if missing, with its parents): the folders BG, Msg
/// and Music, an empty Game.txt, and a Game.ini whose values are @p name (the folder's name when
/// empty), no music,
/// no font, "100" and "0", written as every settings save writes it. A folder that already
/// holds a Game.txt or Game.ini (in any letter case) is refused and left untouched. If any step
/// fails, what this call created is removed again, so nothing half-made stays behind; the
/// result then says why, in Chinese.
WriteResult CreateGame(const QString &folder, const QString &name = {});

/// The folder a new game named @p name gets inside @p location: the name with the characters
/// no folder name may hold (/ \\ : * ? " < > |) replaced by "_" and blanks trimmed; empty when
/// nothing is left of it.
QString newGameFolder(const QString &location, const QString &name);

/// Copies the game in @p from (its files and folders, following links to what they name) into
/// the new folder @p to, which must not exist yet. On failure nothing of @p to is left.
WriteResult CopyGame(const QString &from, const QString &to);
