#include "scenereading.h"

#include "lookrecorder.h"
#include "stagepaint.h"

SceneReading::SceneReading(const QFont &labelFont, const QString &fontName, QRgb systemText)
    : m_font(labelFont), m_systemText(systemText)
{
    if (!fontName.isEmpty())
        m_font.setFamily(fontName);
}

SceneReading::Look SceneReading::lookOf(const SceneRec &scene) const
{
    LookRecorder look(m_font, m_systemText);
    SceneLook::applyExact(look, scene);
    return {look.font(), look.boxTop(), look.textTop(), look.colour()};
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
