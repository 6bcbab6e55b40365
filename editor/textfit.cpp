#include "textfit.h"

#include "scenelook.h"
#include "stage.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>

namespace TextFit {
namespace {

// The font the stage's label would take for a scene: only the font matters here.
class FontOnly : public StageSurface
{
public:
    explicit FontOnly(QFont font) : font(std::move(font)) {}
    void setBackground(const QImage &) override {}
    void setMsgPicture(const QImage &) override {}
    void setMsgTop(int) override {}
    void setNoteCaption(const QString &) override {}
    void setNoteTop(int) override {}
    void setNoteFontName(const QString &family) override { font.setFamily(family); }
    void setNoteStyle(bool bold, bool italic, bool underline) override
    {
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
    }
    void setNoteSize(int points) override { font.setPointSize(points); }
    void setNoteColour(const NoteColour &) override {}
    QFont font;
};

constexpr int kShownChars = 12;

} // namespace

bool fits(const SceneRec &scene, const QString &fontName)
{
    // The stage's label starts from the font a label has in this application.
    FontOnly surface(QApplication::font("QLabel"));
    if (!fontName.isEmpty())
        surface.setNoteFontName(fontName);
    SceneLook::applyExact(surface, scene);
    const int width = Stage::kTextWidth / Stage::kTwipsPerPixel;
    const int height = Stage::kTextHeight / Stage::kTwipsPerPixel;
    const QRect needed =
        QFontMetrics(surface.font)
            .boundingRect(QRect(0, 0, width, 1 << 20),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, scene[SceneField::Note]);
    return needed.height() <= height;
}

QList<int> tooLong(const SceneLists &scenes, int first, int count, const QString &fontName)
{
    QList<int> out;
    for (int i = first; i < first + count && i < scenes.count(); ++i) {
        if (!fits(scenes.scene(i), fontName))
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
