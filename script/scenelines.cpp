#include "scenelines.h"

#include "gbk.h"

#include <QStringDecoder>

namespace SceneLines {
namespace {

const QByteArray kHeader = QByteArrayLiteral("scriptwell scenes 1");

QString escaped(const QString &field)
{
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescaped(const QString &line)
{
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) != u'\\') {
            out += line.at(i);
            continue;
        }
        if (++i == line.size())
            return std::nullopt;
        switch (line.at(i).unicode()) {
        case u'\\': out += u'\\'; break;
        case u'r': out += u'\r'; break;
        case u'n': out += u'\n'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

} // namespace

QByteArray encodeScenes(const QList<SceneRec> &scenes)
{
    QString out = QString::fromLatin1(kHeader) + u'\n';
    for (const SceneRec &rec : scenes) {
        for (const QString &field : rec.fields)
            out += escaped(field) + u'\n';
    }
    return out.toUtf8();
}

std::optional<QList<SceneRec>> decodeScenes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    QStringList lines = text.split(u'\n');
    if (lines.size() < 2 || lines.first() != QString::fromLatin1(kHeader) ||
        !lines.last().isEmpty())
        return std::nullopt;
    lines.removeFirst();
    lines.removeLast();
    if (lines.isEmpty() || lines.size() % kSceneFieldCount != 0)
        return std::nullopt;
    QList<SceneRec> scenes;
    scenes.reserve(lines.size() / kSceneFieldCount);
    for (qsizetype i = 0; i < lines.size(); i += kSceneFieldCount) {
        SceneRec rec;
        for (int f = 0; f < kSceneFieldCount; ++f) {
            std::optional<QString> field = unescaped(lines.at(i + f));
            if (!field)
                return std::nullopt;
            rec.fields[f] = std::move(*field);
        }
        scenes.append(std::move(rec));
    }
    return scenes;
}

QString texts(const QList<SceneRec> &scenes)
{
    QStringList out;
    out.reserve(scenes.size());
    for (const SceneRec &rec : scenes)
        out.append(rec[SceneField::Note]);
    return out.join(u'\n') + u'\n';
}

QStringList sceneTexts(const QString &text)
{
    QStringList out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start <= n) {
        qsizetype end = start;
        while (end < n && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        const QString line = text.mid(start, end - start);
        if (!line.trimmed().isEmpty())
            out.append(line);
        if (end < n && text.at(end) == u'\r' && end + 1 < n && text.at(end + 1) == u'\n')
            ++end;
        start = end + 1;
    }
    return out;
}

TextFile decodeTextFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return {TextFile::Encoding::Utf8, text};
    }
    // Gbk::decode() keeps a byte that is no GBK as a lone low surrogate: such a file is neither.
    text = Gbk::decode(bytes);
    for (const QChar c : std::as_const(text)) {
        if (c.isLowSurrogate())
            return {};
    }
    return {TextFile::Encoding::Gbk, text};
}

} // namespace SceneLines
