#include "settingsfile.h"

#include "gbk.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Moves past one line end: CR LF, or a lone CR or LF.
void skipLineEnd(const QString &text, qsizetype &pos)
{
    if (pos < text.size() && text.at(pos) == u'\r')
        ++pos;
    if (pos < text.size() && text.at(pos) == u'\n')
        ++pos;
}

} // namespace

QString &GameSettings::field(Field f)
{
    return const_cast<QString &>(std::as_const(*this).field(f));
}

const QString &GameSettings::field(Field f) const
{
    switch (f) {
    case Name: return GameName;
    case Music: return BGMName;
    case Font: return GameFont;
    case Interval: return WordInterval;
    case Skip: return SkipCode;
    }
    return GameName;
}

QString settingsFieldName(GameSettings::Field field)
{
    static const char16_t *const names[GameSettings::kFieldCount] = {u"游戏名称", u"BGM", u"字体",
                                                                     u"游戏速度", u"文字显示效果"};
    return QString::fromUtf16(names[field]);
}

std::optional<GameSettings> parseSettings(const QByteArray &bytes)
{
    const QString text = Gbk::decode(bytes);
    const qsizetype n = text.size();
    qsizetype pos = 0;
    GameSettings settings;
    for (int k = 0; k < GameSettings::kFieldCount; ++k) {
        // Blanks and line ends before a value: values go on over several lines.
        while (pos < n && (isBlank(text.at(pos)) || isLineEnd(text.at(pos))))
            ++pos;
        if (pos >= n)
            return std::nullopt;

        QString value;
        if (text.at(pos) == u'"') {
            const qsizetype start = pos + 1;
            qsizetype end = start;
            while (end < n && text.at(end) != u'"' && !isLineEnd(text.at(end)))
                ++end;
            value = text.mid(start, end - start);
            pos = end;
            if (pos < n && text.at(pos) == u'"')
                ++pos;
            while (pos < n && text.at(pos) != u',' && !isLineEnd(text.at(pos)))
                ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < n && text.at(pos) != u',' && !isLineEnd(text.at(pos)))
                ++pos;
            qsizetype end = pos;
            while (end > start && isBlank(text.at(end - 1)))
                --end;
            value = text.mid(start, end - start);
        }
        settings.field(GameSettings::Field(k)) = value;

        if (pos < n && text.at(pos) == u',')
            ++pos;
        else
            skipLineEnd(text, pos);
    }
    return settings;
}

SettingsRead ReadSettings(const GameFolder &folder)
{
    SettingsRead result;
    const FileRead read = readWholeFile(folder.resolve(kSettingsFileName), kMaxSettingsBytes);
    switch (read.status) {
    case FileRead::Read: break;
    case FileRead::Missing:
        result.missing = true;
        result.error = QStringLiteral("Game.ini不存在");
        return result;
    case FileRead::NotAFile: result.error = QStringLiteral("Game.ini不是普通文件"); return result;
    case FileRead::TooLarge: result.error = QStringLiteral("Game.ini过大(超过16MB)"); return result;
    case FileRead::Failed:
        result.error = QStringLiteral("Game.ini无法读取：%1").arg(read.error);
        return result;
    }
    result.stamp = FileStamp::of(read.bytes);
    result.bytes = read.bytes;
    result.settings = parseSettings(read.bytes);
    if (!result.settings)
        result.error = QStringLiteral("Game.ini中的设置少于5项");
    return result;
}

QString settingsValueProblem(GameSettings::Field field, const QString &value)
{
    if (value.contains(u'"'))
        return settingsFieldName(field) + QStringLiteral("不能含有双引号(\")");
    if (value.contains(u'\r') || value.contains(u'\n'))
        return settingsFieldName(field) + QStringLiteral("不能含有换行");
    if (const Gbk::Encoded one = Gbk::encode(value); !one.ok())
        return QStringLiteral("%1含有GBK编码无法保存的字符：%2")
            .arg(settingsFieldName(field), one.unencodable);
    return {};
}

EncodedSettings encodeSettings(const GameSettings &settings)
{
    EncodedSettings out;
    QString line;
    for (int k = 0; k < GameSettings::kFieldCount; ++k) {
        const auto field = GameSettings::Field(k);
        const QString &value = settings.field(field);
        if (QString problem = settingsValueProblem(field, value); !problem.isEmpty()) {
            out.error = std::move(problem);
            return out;
        }
        if (k > 0)
            line += u',';
        line += u'"' + value + u'"';
    }
    line += QStringLiteral("\r\n");
    out.bytes = Gbk::encode(line).bytes;
    return out;
}

WriteResult WriteSettings(const GameFolder &folder, const GameSettings &settings,
                          FileStamp *expected)
{
    const EncodedSettings encoded = encodeSettings(settings);
    if (!encoded.error.isEmpty())
        return WriteResult::failure(encoded.error);
    const QString path = folder.pathForWrite(kSettingsFileName);
    if (expected && currentStamp(path, kMaxSettingsBytes) != *expected)
        return WriteResult::changedSinceRead(kSettingsFileName);
    WriteResult written = saveWholeFile(path, encoded.bytes);
    if (written && expected)
        *expected = FileStamp::of(encoded.bytes);
    return written;
}

WriteResult RestoreSettings(const GameFolder &folder, const std::optional<QByteArray> &bytes,
                            FileStamp *expected)
{
    const QString path = folder.pathForWrite(kSettingsFileName);
    if (expected && currentStamp(path, kMaxSettingsBytes) != *expected)
        return WriteResult::changedSinceRead(kSettingsFileName);
    if (!bytes) {
        if (const WriteResult removed = removeFile(path); !removed)
            return removed;
        if (expected)
            *expected = FileStamp::missing();
        return {};
    }
    WriteResult written = saveWholeFile(path, *bytes);
    if (written && expected)
        *expected = FileStamp::of(*bytes);
    return written;
}
