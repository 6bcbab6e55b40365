#include "vocabulary.h"

#include "storednumber.h"

#include <array>
#include <cmath>

namespace Vocabulary {
namespace {

QStringList fromUtf16(std::initializer_list<const char16_t *> labels)
{
    QStringList list;
    for (const char16_t *label : labels)
        list.append(QString::fromUtf16(label));
    return list;
}

constexpr std::array<int, 6> kIntervals = {250, 200, 100, 50, 20, 10};

} // namespace

QStringList positions()
{
    return fromUtf16({u"上方", u"中部", u"下方"});
}

QStringList fontStyles()
{
    return fromUtf16({u"正常", u"粗体", u"斜体", u"下划线", u"粗体+斜体", u"粗体+下划线",
                      u"斜体+下划线", u"粗体+斜体+下划线"});
}

QStringList fontSizes()
{
    return fromUtf16({u"14", u"16", u"18", u"20", u"22", u"24"});
}

QStringList fontColours()
{
    return fromUtf16({u"黑色", u"白色", u"红色", u"绿色", u"蓝色", u"紫色", u"黄色"});
}

QStringList speeds()
{
    return fromUtf16(
        {u"每秒4个字", u"每秒5个字", u"每秒10个字", u"每秒20个字", u"每秒50个字", u"每秒100个字"});
}

QStringList skipChoices()
{
    return fromUtf16({u"能跳过", u"不能跳过"});
}

QStringList choicesFor(SceneField field)
{
    switch (field) {
    case SceneField::FontWZ:
    case SceneField::MsgWZ: return positions();
    case SceneField::FontSet: return fontStyles();
    case SceneField::FontSize: return fontSizes();
    case SceneField::FontColor: return fontColours();
    default: return {};
    }
}

QString intervalForSpeed(int position)
{
    if (position < 0 || position >= int(kIntervals.size()))
        return {};
    return QString::number(kIntervals[position]);
}

int speedForInterval(const QString &interval)
{
    const int ms = StoredNumber::intervalMs(interval);
    for (int i = 0; i < int(kIntervals.size()); ++i) {
        if (ms == kIntervals[i])
            return i;
    }
    return -1;
}

int skipForCode(const QString &code)
{
    const QString text = code.trimmed();
    bool ok = text.isEmpty();
    const double value = ok ? 0 : text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return -1;
    const double rounded = std::nearbyint(value); // halves to the even neighbour
    return rounded >= 0 && rounded < skipChoices().size() ? int(rounded) : -1;
}

QString storedCode(int position)
{
    return QString::number(position < 0 ? -1 : position);
}

} // namespace Vocabulary
