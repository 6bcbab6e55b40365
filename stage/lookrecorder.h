#pragma once

#include "scenelook.h"

#include <QFont>
#include <QRgb>

/// A stage that shows nothing and keeps the look the codes give the scene text: its font, the
/// tops of the message box and of the text, and its colour, starting from the stage's look
/// before any scene. Whatever measures a scene or writes it down without showing it reads the
/// look from here, as the stage would show it; pictures and the text itself are not kept.
class LookRecorder : public StageSurface
{
public:
    /// @p font is the text label's own font before a game sets one; @p systemText the colour of
    /// text coloured "system button text".
    LookRecorder(const QFont &font, QRgb systemText);

    void setBackground(const QImage &) override {}
    void setMsgPicture(const QImage &) override {}
    void setNoteCaption(const QString &) override {}
    void setMsgTop(int twips) override { m_boxTop = twips; }
    void setNoteTop(int twips) override { m_textTop = twips; }
    void setNoteFontName(const QString &family) override { m_font.setFamily(family); }
    void setNoteStyle(bool bold, bool italic, bool underline) override;
    void setNoteSize(int points) override { m_font.setPointSize(points); }
    void setNoteColour(const NoteColour &colour) override;

    const QFont &font() const { return m_font; }
    int boxTop() const { return m_boxTop; }   ///< twips
    int textTop() const { return m_textTop; } ///< twips
    QRgb colour() const { return m_colour; }

private:
    QFont m_font;
    QRgb m_systemText;
    int m_boxTop;
    int m_textTop;
    QRgb m_colour = qRgb(0, 0, 0);
};
