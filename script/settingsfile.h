#pragma once

#include "fileread.h"
#include "filewrite.h"
#include "gamefolder.h"

#include <QByteArray>
#include <QString>

#include <optional>

/// The settings file's name inside the game folder.
inline const QString kSettingsFileName = QStringLiteral("Game.ini");

/// The five game-wide settings, always held as text.
struct GameSettings
{
    QString GameName;     ///< the player's window title
    QString BGMName;      ///< music file name inside Music/
    QString GameFont;     ///< font name of the scene text
    QString WordInterval; ///< milliseconds between two revealed characters
    QString SkipCode;     ///< "0": a click may cut the reveal short

    enum Field
    {
        Name,
        Music,
        Font,
        Interval,
        Skip
    };
    static constexpr int kFieldCount = 5;
    QString &field(Field f);
    const QString &field(Field f) const;
    bool operator==(const GameSettings &) const = default;
};

/// Reads five values from the text of a settings file: blanks before a value are skipped; a
/// value opening with a double quote runs to the next double quote (or, if none follows on
/// its line, to the line end); any other value runs to the next comma or line end and loses
/// its trailing blanks; values may go on over several lines; what follows the fifth is
/// ignored. Returns nothing when the text ends before the fifth value.
std::optional<GameSettings> parseSettings(const QByteArray &bytes);

struct SettingsRead
{
    std::optional<GameSettings> settings; ///< empty on failure
    QString error;                        ///< why, when it failed
    bool missing = false;                 ///< there is no Game.ini (the failure is that)
    FileStamp stamp;                      ///< what the file held when read
    QByteArray bytes;                     ///< the bytes read
};

/// The most a settings file may hold; reading stops one byte past it.
constexpr qint64 kMaxSettingsBytes = 16 * 1024 * 1024;

/// Reads Game.ini of @p folder. Fails when the file is missing, unreadable, larger than
/// kMaxSettingsBytes or holds fewer than five values.
SettingsRead ReadSettings(const GameFolder &folder);

/// The field's name as the author knows it (游戏名称, BGM, 字体, 游戏速度, 文字显示效果).
QString settingsFieldName(GameSettings::Field field);

/// Why @p value cannot be stored as @p field of Game.ini, as a sentence naming the field (a
/// double quote or a line break would make it read back otherwise; GBK may not hold a
/// character), or an empty string when it can.
QString settingsValueProblem(GameSettings::Field field, const QString &value);

/// The bytes of a settings file holding @p settings, or (in `error`) why it cannot be stored.
struct EncodedSettings
{
    QByteArray bytes;
    QString error;
};
EncodedSettings encodeSettings(const GameSettings &settings);

/// Replaces Game.ini with one line of five quoted values and CR LF, all or nothing. Refuses
/// values that settingsValueProblem() rejects or that GBK cannot hold, naming the field.
/// With @p expected, nothing is written unless the file still holds what it stamps (else the
/// result has `changedElsewhere`); after a write it stamps the new content.
WriteResult WriteSettings(const GameFolder &folder, const GameSettings &settings,
                          FileStamp *expected = nullptr);

/// Puts Game.ini back as it was once read: exactly @p bytes, or no file when @p bytes is empty
/// (std::nullopt). @p expected as for WriteSettings.
WriteResult RestoreSettings(const GameFolder &folder, const std::optional<QByteArray> &bytes,
                            FileStamp *expected = nullptr);
