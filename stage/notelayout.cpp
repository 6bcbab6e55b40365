#include "notelayout.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <cmath>

namespace NoteLayout {

void layOut(const QString &text, const QFont &font, int width,
            const std::function<void(const QTextLine &line, const QString &laid)> &each)
{
    // The label draws plain text through QPainter::drawText with word wrap.
    QString laid = text;
    laid.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(laid, font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font).leading();
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += leading;
        height = std::ceil(height);
        line.setPosition(QPointF(0, height));
        height += line.height();
        each(line, laid);
    }
    layout.endLayout();
}

QList<Line> lines(const QString &text, const QFont &font, int width)
{
    QList<Line> found;
    layOut(text, font, width, [&found](const QTextLine &line, const QString &) {
        found.append({line.textStart(), line.textLength(), line.y(), line.height()});
    });
    return found;
}

int shownWhole(const QList<Line> &lines, qreal height)
{
    int shown = 0;
    while (shown < lines.size() && lines.at(shown).bottom() <= height)
        ++shown;
    return shown;
}

} // namespace NoteLayout
