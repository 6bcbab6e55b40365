#include "textfit.h"

#include "scenereading.h"

#include <QFont>

namespace TextFit {
namespace {

constexpr int kShownChars = 12;

} // namespace

QList<int> tooLong(const SceneLists &scenes, int first, int count, const QString &fontName)
{
    // Measured as the game check measures: the player's own layout of the text area.
    SceneReading reading(QFont(), fontName, 0);
    QList<int> out;
    for (int i = first; i < first + count && i < scenes.count(); ++i) {
        if (!reading.fit(scenes.scene(i)).fits())
            out.append(i + 1);
    }
    return out;
}

QString lines(const SceneLists &scenes, const QList<int> &numbers)
{
    QStringList out;
    for (int number : numbers) {
        const QString text = scenes.at(SceneField::Note, number - 1);
        out.append(QStringLiteral("第%1个: %2")
                       .arg(number)
                       .arg(text.size() > kShownChars ? text.left(kShownChars) + u'…' : text));
    }
    return out.join(u'\n');
}

} // namespace TextFit
