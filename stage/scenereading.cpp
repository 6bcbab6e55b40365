#include "scenereading.h"

#include "stagepaint.h"

namespace {

// Takes down what the codes set, as the stage would show it.
class LookSurface : public StageSurface
{
public:
    LookSurface(const QFont &font, QRgb systemText) : note(font), m_systemText(systemText) {}
    void setBackground(const QImage &) override {}
    void setMsgPicture(const QImage &) override {}
    void setMsgTop(int twips) override { boxTop = twips; }
    void setNoteCaption(const QString &) override {}
    void setNoteTop(int twips) override { textTop = twips; }
    void setNoteFontName(const QString &family) override { note.setFamily(family); }
    void setNoteStyle(bool bold, bool italic, bool underline) override
    {
        note.setBold(bold);
        note.setItalic(italic);
        note.setUnderline(underline);
    }
    void setNoteSize(int points) override { note.setPointSize(points); }
    void setNoteColour(const NoteColour &c) override
    {
        colour = c.systemButtonText ? m_systemText : c.rgb;
    }

    // The stage's look before any scene.
    QFont note;
    int boxTop = 5040;
    int textTop = 5280;
    QRgb colour = qRgb(0, 0, 0);

private:
    QRgb m_systemText;
};

} // namespace

SceneReading::SceneReading(const QFont &labelFont, const QString &fontName, QRgb systemText)
    : m_font(labelFont), m_systemText(systemText)
{
    if (!fontName.isEmpty())
        m_font.setFamily(fontName);
}

SceneReading::Look SceneReading::lookOf(const SceneRec &scene) const
{
    LookSurface surface(m_font, m_systemText);
    SceneLook::applyExact(surface, scene);
    return {surface.note, surface.boxTop, surface.textTop, surface.colour};
}

SceneReading::Fit SceneReading::fit(const SceneRec &scene)
{
    const Look look = lookOf(scene);
    const QString &text = scene[SceneField::Note];
    // The size and style are all that differ between the scenes of a game.
    const QString key = QString::number(look.font.pointSizeF()) + u' ' +
                        QString::number(int(look.font.bold()) | int(look.font.italic()) << 1 |
                                        int(look.font.underline()) << 2) +
                        u' ' + text;
    if (const auto found = m_fits.constFind(key); found != m_fits.constEnd())
        return *found;
    const QList<NoteLayout::Line> lines =
        NoteLayout::lines(text, look.font, StagePaint::px(StagePaint::kTextWidth));
    Fit fit;
    fit.lines = int(lines.size());
    fit.shown = NoteLayout::shownWhole(lines, StagePaint::px(StagePaint::kTextHeight));
    if (fit.shown < fit.lines)
        fit.cut = text.mid(lines.at(fit.shown).start);
    return *m_fits.insert(key, fit);
}

double SceneReading::contrast(const SceneRec &scene, const QImage &background, const QImage &box,
                              const QString &pictureKey)
{
    const Look look = lookOf(scene);
    const QString key =
        pictureKey + u' ' + QString::number(look.boxTop) + u' ' + QString::number(look.textTop);
    auto found = m_behind.constFind(key);
    if (found == m_behind.constEnd())
        found = m_behind.insert(key, StagePaint::meanLuminance(StagePaint::behindText(
                                         background, box, look.boxTop, look.textTop)));
    return StagePaint::contrastRatio(StagePaint::relativeLuminance(look.colour), *found);
}
