#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include <functional>

class QTextLine;

/// Where the player's text label breaks a scene text into lines, and which of them its text
/// area shows whole. The player, the web page and the game check all take their lines from
/// here, so a line the check calls cut is a line the player cuts.
namespace NoteLayout {

/// One line of a text as the label lays it out, in pixels from the label's top-left corner.
struct Line
{
    int start = 0;  ///< where it starts in the text
    int length = 0; ///< its characters, a line feed that ends it included
    qreal top = 0;
    qreal height = 0;
    qreal bottom() const { return top + height; }
};

/// Lays out @p text in a label @p width pixels wide with @p font, as the label draws plain text
/// with word wrap: a line feed breaks the line, each line starts on the whole pixel below the
/// last, after the font's leading. @p each sees every line while its layout is alive (its text
/// is @p text with line feeds as line separators). Needs a QGuiApplication.
void layOut(const QString &text, const QFont &font, int width,
            const std::function<void(const QTextLine &line, const QString &laid)> &each);

/// The lines of @p text, laid out as layOut() does.
QList<Line> lines(const QString &text, const QFont &font, int width);

/// How many of @p lines an area @p height pixels high shows whole: the ones after are cut
/// off, wholly or in part.
int shownWhole(const QList<Line> &lines, qreal height);

} // namespace NoteLayout
