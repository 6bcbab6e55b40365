#pragma once

#include "notelayout.h"
#include "scenelook.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

/// A scene as a reader meets it on the stage: whether its text fits the text area at its size,
/// and how its colour stands against what is drawn behind it. The scene's codes are applied
/// through SceneLook as the stage applies them to a scene shown whole; texts are laid out by
/// NoteLayout and backgrounds composed by StagePaint, so both measure what the player shows.
/// Work is kept per distinct text and look, and per distinct pictures and positions, so a
/// story of thousands of scenes sharing a few pictures is measured quickly. Needs a
/// QGuiApplication.
class SceneReading
{
public:
    /// @p labelFont is the text label's own font before a game sets one; @p fontName the
    /// game's font (empty: the label's); @p systemText the colour of text coloured "system
    /// button text".
    SceneReading(const QFont &labelFont, const QString &fontName, QRgb systemText);

    /// How the text of a scene lays out in the text area.
    struct Fit
    {
        int lines = 0; ///< all its lines
        int shown = 0; ///< the lines the area shows whole; those after are cut off
        QString cut;   ///< the text of the lines cut off, line feeds as they stand
        bool fits() const { return shown == lines || cut.trimmed().isEmpty(); }
    };
    Fit fit(const SceneRec &scene);

    /// The contrast ratio (1 … 21) of the scene's text colour against the mean luminance of
    /// the pixels under the text area: @p background with @p box over it, at the positions
    /// the scene's codes give. @p pictureKey names the two pictures (for the cache).
    double contrast(const SceneRec &scene, const QImage &background, const QImage &box,
                    const QString &pictureKey);

private:
    struct Look
    {
        QFont font;
        int boxTop = 0, textTop = 0;
        QRgb colour = 0;
    };
    Look lookOf(const SceneRec &scene) const;

    QFont m_font;
    QRgb m_systemText;
    QHash<QString, Fit> m_fits;
    QHash<QString, double> m_behind; ///< mean luminance behind the text, per pictures and tops
};
