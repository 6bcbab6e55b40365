#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

/// The fields of a scene, in the order of its eight lines in Game.txt.
enum class SceneField
{
    Note,      ///< the scene text
    BG,        ///< background picture file name, inside BG/
    Msg,       ///< message-box picture file name, inside Msg/
    FontWZ,    ///< text position code
    FontSet,   ///< font style code
    FontSize,  ///< font size code
    FontColor, ///< font colour code
    MsgWZ,     ///< message-box position code
};
constexpr int kSceneFieldCount = 8;

/// Most scenes a script may hold: 32760 lines, the largest multiple of 8 not above 32767.
constexpr int kMaxScenes = 4095;

/// One scene: eight text values, stored raw.
struct SceneRec
{
    std::array<QString, kSceneFieldCount> fields;

    QString &operator[](SceneField f) { return fields[static_cast<int>(f)]; }
    const QString &operator[](SceneField f) const { return fields[static_cast<int>(f)]; }
    bool operator==(const SceneRec &) const = default;
};

/// The eight parallel scene lists; entry i of each belongs to scene i + 1. All eight always
/// have the same length. Reading at or past the end gives the empty string.
struct SceneLists
{
    QStringList NoteList;
    QStringList BGList;
    QStringList MsgList;
    QStringList FontWZList;
    QStringList FontSetList;
    QStringList FontSizeList;
    QStringList FontColorSetList;
    QStringList MsgWZList;

    int count() const { return int(NoteList.size()); }
    bool isEmpty() const { return NoteList.isEmpty(); }

    QStringList &list(SceneField f);
    const QStringList &list(SceneField f) const;

    /// The value of field @p f of the scene at position @p i; empty when out of range.
    QString at(SceneField f, int i) const;
    /// The whole scene at position @p i; all fields empty when out of range.
    SceneRec scene(int i) const;

    void append(const SceneRec &rec);
    /// Replaces the scene at @p i; does nothing when @p i is out of range.
    void replace(int i, const SceneRec &rec);
    /// Removes the scene at @p i; does nothing when @p i is out of range.
    void remove(int i);
    /// The @p count scenes from position @p first (fewer at the end of the lists).
    QList<SceneRec> scenes(int first, int count) const;
    /// Replaces the @p removeCount scenes from position @p at with @p insert: the one change
    /// every insert, removal, move and copy of scenes is made of. @p at and @p removeCount must
    /// lie within the lists.
    void splice(int at, int removeCount, const QList<SceneRec> &insert);

    bool operator==(const SceneLists &) const = default;
};
