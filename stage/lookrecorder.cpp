#include "lookrecorder.h"

#include "stagepaint.h"

LookRecorder::LookRecorder(const QFont &font, QRgb systemText)
    : m_font(font), m_systemText(systemText), m_boxTop(StagePaint::kFirstBoxTop),
      m_textTop(StagePaint::kFirstTextTop)
{
}

void LookRecorder::setNoteStyle(bool bold, bool italic, bool underline)
{
    m_font.setBold(bold);
    m_font.setItalic(italic);
    m_font.setUnderline(underline);
}

void LookRecorder::setNoteColour(const NoteColour &colour)
{
    m_colour = colour.systemButtonText ? m_systemText : colour.rgb;
}
