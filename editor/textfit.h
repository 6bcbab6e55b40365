#pragma once

#include "scenerec.h"

#include <QList>
#include <QString>

/// Which pasted or imported scene texts do not fit the player's text area, measured as the game
/// check measures them (SceneReading). Needs a GUI application for the fonts.
namespace TextFit {

/// The numbers (from 1) of the scenes [@p first, @p first + @p count) of @p scenes whose text
/// does not fit, drawn in @p fontName (the player's default font when empty).
QList<int> tooLong(const SceneLists &scenes, int first, int count, const QString &fontName);
/// "第N个: 开头…" for each of @p numbers, one a line, as the game check names scenes.
QString lines(const SceneLists &scenes, const QList<int> &numbers);

} // namespace TextFit
