#pragma once

#include "scenerec.h"

#include <QList>
#include <QString>

/// Whether scene texts fit the player's text area: the text laid out as the player's label
/// lays it out (word wrap, the font the scene's codes choose in the game's font), against the
/// area's height. Needs a GUI application for the fonts.
namespace TextFit {

/// Whether the text of @p scene fits the text area, drawn in @p fontName (the player's default
/// font when empty).
bool fits(const SceneRec &scene, const QString &fontName);
/// The numbers (from 1) of the scenes [@p first, @p first + @p count) of @p scenes whose text
/// does not fit.
QList<int> tooLong(const SceneLists &scenes, int first, int count, const QString &fontName);
/// "第N个: 开头…" for each of @p numbers, one a line, as the game check names scenes.
QString lines(const SceneLists &scenes, const QList<int> &numbers);

} // namespace TextFit
