#pragma once

#include "gamefiles.h"
#include "scenerec.h"
#include "settingsfile.h"

#include <QString>

#include <array>
#include <optional>

/// What the scene fields of the window show: the three texts and, for each of the five code
/// lists (text position, style, size, colour, message-box position), the chosen position, -1
/// for none.
struct SceneForm
{
    static constexpr int kChoiceCount = 5;
    QString text, background, messageBox;
    std::array<int, kChoiceCount> choices{-1, -1, -1, -1, -1};
    bool operator==(const SceneForm &) const = default;
};

/// What the settings panel shows: the three texts and the chosen speed and skip positions (-1:
/// the file's value names no entry, the list keeps its start choice).
struct SettingsForm
{
    QString name, music, font;
    int speed = -1, skip = -1;

    /// What the panel shows of @p settings.
    static SettingsForm of(const GameSettings &settings);
    /// The settings the panel shows, as Game.ini stores them.
    GameSettings settings() const;
    /// Takes the value of @p field from @p typed: after a save that found Game.ini changed by
    /// another program, the panel shows the file as it is now, but for the value the author
    /// meant to save.
    void take(const SettingsForm &typed, GameSettings::Field field);
};

/// What the window does after a press of Add or Modify.
struct EditResult
{
    Notice notice;
    std::optional<QString> text; ///< the text the scene-text box is to show, when it changes
};

/// The four browse buttons, and where one of them leads.
enum class SceneBrowse
{
    First,
    Previous,
    Next,
    Last
};
struct SceneBrowseResult
{
    Notice notice;
    int position = -1; ///< the list position to show, -1 for none
};

/// What the editor's start-up found.
struct EditorStartUp
{
    Notice scriptNotice;                  ///< a damaged or unusable Game.txt
    std::optional<SettingsForm> settings; ///< the settings to show, when read
    /// Game.ini is missing (the first settings save makes it) or unreadable.
    Notice settingsNotice;
    Notice readOnlyNotice; ///< the game may not be changed (the installed demo)
};

/// What an import of a text file did: why nothing was imported, or what was.
struct TextImport
{
    Notice notice;
    QString done; ///< "按UTF-8编码读入…", when imported
};

/// The stored scene the fields were last loaded from, so that what they hold turns back into a
/// scene that keeps what the author left as it was shown.
class ShownScene
{
public:
    /// Loads @p rec and returns what the fields show of it. A stored code that no choice can
    /// show (a hand-edited "9" or "1.0") shows no choice.
    const SceneForm &show(const SceneRec &rec);
    /// The scene @p form describes. Line breaks in the text become blanks. With
    /// @p keepUntouchedCodes (Modify), a list still on the choice show() gave it keeps the
    /// stored text of its code, and a text that differs from the stored one only in how its
    /// line breaks are shown keeps the stored text byte for byte; otherwise the code is the
    /// chosen position ("-1" for none).
    SceneRec sceneFrom(const SceneForm &form, bool keepUntouchedCodes) const;

    /// The scene text as it is stored: line breaks of every kind become blanks.
    static QString storableText(const QString &text);

private:
    SceneRec m_rec;
    SceneForm m_form;
};
