#pragma once

#include <QString>
#include <QStringList>

#include "scenerec.h"

/// The fixed vocabularies of the scene codes and the two game-wide choices. A scene code is the
/// zero-based position of the chosen entry, stored as decimal text, "-1" for no choice.
namespace Vocabulary {

/// Text and message-box positions: 上方, 中部, 下方.
QStringList positions();
/// Font styles, eight entries from 正常 to 粗体+斜体+下划线.
QStringList fontStyles();
/// Font sizes in points, as labels: 14 to 24.
QStringList fontSizes();
/// Font colours, seven entries from 黑色 to 黄色.
QStringList fontColours();
/// Text speeds, 每秒4个字 to 每秒100个字.
QStringList speeds();
/// Skip settings: 能跳过 (code 0), 不能跳过 (code 1).
QStringList skipChoices();

/// The choices of the scene code @p field (a position, style, size or colour field); empty
/// for the other fields.
QStringList choicesFor(SceneField field);

/// The entry each list starts on.
constexpr int kPositionStart = 2;
constexpr int kFontStyleStart = 0;
constexpr int kFontSizeStart = 0;
constexpr int kFontColourStart = 0;
constexpr int kSpeedStart = 0;
constexpr int kSkipStart = 1;

/// The stored interval for a speed position ("250" … "10"); empty for any other position.
QString intervalForSpeed(int position);
/// The speed position of the interval the player plays @p interval at (StoredNumber::intervalMs),
/// or -1 when that is not in the table.
int speedForInterval(const QString &interval);

/// The skip position a stored SkipCode selects: its numeric value rounded to a whole number
/// (an empty text counts as 0), or -1 when it is not a number or names no entry.
int skipForCode(const QString &code);

/// The code stored for a chosen position: its decimal text, "-1" when nothing is chosen.
QString storedCode(int position);

} // namespace Vocabulary
