#pragma once

#include "filewrite.h"

#include <QString>

/// Begins a new game in @p folder (created if missing, with its parents): the folders BG, Msg
/// and Music, an empty Game.txt, and a Game.ini whose values are the folder's name, no music,
/// no font, "100" and "0", written as every settings save writes it. A folder that already
/// holds a Game.txt or Game.ini (in any letter case) is refused and left untouched. If any step
/// fails, what this call created is removed again, so nothing half-made stays behind; the
/// result then says why, in Chinese.
WriteResult CreateGame(const QString &folder);
