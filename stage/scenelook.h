#pragma once

#include "scenerec.h"

#include <QImage>
#include <QRgb>
#include <QString>

#include <array>
#include <optional>

/// The colour of the scene text: the system's button-text colour, or an RGB value.
struct NoteColour
{
    bool systemButtonText = false;
    QRgb rgb = 0;
    bool operator==(const NoteColour &) const = default;
};

/// What shows a scene: the background, the message box and the scene text. Positions are in
/// twips (15 per pixel). The player's window and the editor's preview both draw through it.
class StageSurface
{
public:
    virtual ~StageSurface() = default;
    /// A null image shows a plain background.
    virtual void setBackground(const QImage &picture) = 0;
    virtual void setMsgPicture(const QImage &picture) = 0;
    virtual void setMsgTop(int twips) = 0;
    virtual void setNoteCaption(const QString &caption) = 0;
    virtual void setNoteTop(int twips) = 0;
    virtual void setNoteFontName(const QString &family) = 0;
    virtual void setNoteStyle(bool bold, bool italic, bool underline) = 0;
    virtual void setNoteSize(int points) = 0;
    virtual void setNoteColour(const NoteColour &colour) = 0;
};

/// What a scene's five codes do on the stage, as games made for this player have always shown
/// them. A code names an entry of its field's table; a code that names none leaves its property
/// as it was.
namespace SceneLook {

/// The code fields in the order they are applied.
constexpr std::array<SceneField, 5> kCodeFields = {SceneField::FontWZ, SceneField::MsgWZ,
                                                   SceneField::FontSet, SceneField::FontSize,
                                                   SceneField::FontColor};

/// The entry @p code names in the start-up form: only a text that is exactly one of the
/// table's digits matches.
std::optional<int> exactEntry(SceneField field, const QString &code);

/// The numeric value of @p code in the advance form: the whole text must read as a number
/// (blanks around it and a decimal point allowed); nothing when it does not.
std::optional<double> codeValue(const QString &code);

/// The entry a numeric value names, if it is one of the codes 0 … entries − 1.
std::optional<int> entryFor(SceneField field, double value);

/// Sets the property @p field controls from entry @p entry of its table.
void apply(StageSurface &stage, SceneField field, int entry);

/// The colour entry @p entry (0 … 6) of the colour table paints the text in.
NoteColour noteColour(int entry);

/// Applies every code of @p scene that names an entry (the start-up form).
void applyExact(StageSurface &stage, const SceneRec &scene);

} // namespace SceneLook
