#include "scriptfile.h"

#include "gbk.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString sceneName(int number)
{
    return number > 0 ? QStringLiteral("第%1个场景的").arg(number) : QStringLiteral("该场景的");
}

QString fieldName(int field)
{
    static const char16_t *const names[kSceneFieldCount] = {u"内容",     u"背景图",    u"对话框",
                                                            u"字体位置", u"字体设置",  u"字号设置",
                                                            u"颜色设置", u"对话框位置"};
    return QString::fromUtf16(names[field]);
}

ScriptLoad failed(ScriptStatus status, const QString &message)
{
    ScriptLoad load;
    load.status = status;
    load.message = message;
    return load;
}

// The lines of a scene file as reading splits them: CR LF ends a line, and a last line without
// it still counts.
qsizetype lineCount(QByteArrayView bytes)
{
    qsizetype lines = bytes.count("\r\n");
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        ++lines;
    return lines;
}

QString tooLargeText()
{
    return QStringLiteral("Game.txt过大(超过%1MB),无法使用").arg(kMaxScriptBytes / (1024 * 1024));
}

QString tooManyScenesText()
{
    return QStringLiteral("Game.txt中的场景超过%1个,无法使用").arg(kMaxScenes);
}

} // namespace

QString scriptLimitProblem(qint64 bytes, qint64 lines)
{
    const QString unreadable = QStringLiteral(",保存后编辑器和播放器都将无法打开它");
    if (bytes > kMaxScriptBytes)
        return QStringLiteral("Game.txt将超过%1MB(可以打开的上限)")
                   .arg(kMaxScriptBytes / (1024 * 1024)) +
               unreadable;
    if (lines / kSceneFieldCount > kMaxScenes)
        return QStringLiteral("Game.txt将超过%1个场景(可以打开的上限)").arg(kMaxScenes) +
               unreadable;
    return {};
}

ScriptLoad parseScript(const QByteArray &bytes)
{
    // CR and LF are never part of a two-byte GBK character, so the bytes split into lines
    // before they are decoded.
    const QByteArrayView all(bytes);
    const char *const lineEnd = "\r\n";
    // Count first, so a damaged file costs no copies and the lists are sized once.
    const qsizetype lines = lineCount(all);
    if (lines % kSceneFieldCount != 0)
        return failed(ScriptStatus::Damaged, kScriptDamagedText);
    if (lines / kSceneFieldCount > kMaxScenes)
        return failed(ScriptStatus::TooManyScenes, tooManyScenesText());

    ScriptLoad load;
    load.status = ScriptStatus::Loaded;
    for (int f = 0; f < kSceneFieldCount; ++f)
        load.scenes.list(SceneField(f)).reserve(lines / kSceneFieldCount);
    Gbk::LineDecoder decoder;
    qsizetype from = 0;
    for (qsizetype i = 0; i < lines; ++i) {
        qsizetype end = all.indexOf(lineEnd, from);
        if (end < 0)
            end = all.size();
        load.scenes.list(SceneField(i % kSceneFieldCount))
            .append(decoder.decode(all.sliced(from, end - from)));
        from = end + 2;
    }
    return load;
}

ScriptLoad LoadScript(const GameFolder &folder)
{
    const QString path = folder.resolve(kScriptFileName);
    if (path.isEmpty())
        return {};
    const FileRead read = readWholeFile(path, kMaxScriptBytes);
    switch (read.status) {
    case FileRead::Read: break;
    case FileRead::Missing: return {};
    case FileRead::NotAFile:
        return failed(ScriptStatus::Unreadable, QStringLiteral("Game.txt不是普通文件,无法使用"));
    case FileRead::TooLarge: return failed(ScriptStatus::TooLarge, tooLargeText());
    case FileRead::Failed:
        return failed(ScriptStatus::Unreadable,
                      QStringLiteral("Game.txt无法读取：%1").arg(read.error));
    }
    ScriptLoad load = parseScript(read.bytes);
    load.stamp = FileStamp::of(read.bytes);
    if (load.usable())
        load.bytes = read.bytes;
    return load;
}

EncodedScenes encodeScenes(const SceneLists &scenes, int firstSceneNumber)
{
    EncodedScenes out;
    QString text;
    qsizetype size = 0;
    for (int f = 0; f < kSceneFieldCount; ++f) {
        for (const QString &value : scenes.list(SceneField(f)))
            size += value.size() + 2;
    }
    text.reserve(size);
    const int n = scenes.count();
    for (int i = 0; i < n; ++i) {
        for (int f = 0; f < kSceneFieldCount; ++f) {
            const QString &value = scenes.list(SceneField(f)).at(i);
            if (value.contains(kLineEnd)) {
                out.error = QStringLiteral("%1%2含有换行,无法保存")
                                .arg(sceneName(firstSceneNumber > 0 ? i + firstSceneNumber : 0),
                                     fieldName(f));
                return out;
            }
            text += value;
            text += kLineEnd;
        }
    }
    Gbk::Encoded encoded = Gbk::encode(text);
    if (encoded.ok()) {
        out.bytes = std::move(encoded.bytes);
        return out;
    }
    // Name the first value that holds a character GBK cannot store.
    for (int i = 0; i < n; ++i) {
        for (int f = 0; f < kSceneFieldCount; ++f) {
            const Gbk::Encoded one = Gbk::encode(scenes.list(SceneField(f)).at(i));
            if (!one.ok()) {
                out.error = QStringLiteral("%1%2含有GBK编码无法保存的字符：%3")
                                .arg(sceneName(firstSceneNumber > 0 ? i + firstSceneNumber : 0),
                                     fieldName(f), one.unencodable);
                return out;
            }
        }
    }
    out.error = QStringLiteral("含有GBK编码无法保存的字符：%1").arg(encoded.unencodable);
    return out;
}

namespace {

// Whether the file at @p path still holds what @p expected stamps; its bytes in @p now.
bool unchangedSince(const QString &path, const FileStamp &expected, QByteArray &now)
{
    const FileRead read = readWholeFile(path, kMaxScriptBytes);
    if (read.status == FileRead::Missing)
        return expected == FileStamp::missing();
    now = read.bytes;
    return read.status == FileRead::Read && FileStamp::of(read.bytes) == expected;
}

} // namespace

WriteResult AppendScene(const GameFolder &folder, const SceneRec &rec, FileStamp *expected)
{
    const QString path = folder.pathForWrite(kScriptFileName);
    SceneLists one;
    one.append(rec);
    EncodedScenes encoded = encodeScenes(one, 0);
    if (!encoded.error.isEmpty())
        return WriteResult::failure(encoded.error);

    QByteArray old;
    if (expected && !unchangedSince(path, *expected, old))
        return WriteResult::changedSinceRead(kScriptFileName);
    if (!expected) {
        const FileRead read = readWholeFile(path, kMaxScriptBytes);
        if (read.status == FileRead::TooLarge)
            return WriteResult::failure(tooLargeText());
        old = read.bytes;
    }
    if (!old.isEmpty() && !old.endsWith("\r\n"))
        encoded.bytes.prepend("\r\n");
    if (const QString problem = scriptLimitProblem(old.size() + encoded.bytes.size(),
                                                   lineCount(old) + kSceneFieldCount);
        !problem.isEmpty())
        return WriteResult::failure(problem);
    WriteResult written = appendToFile(path, encoded.bytes);
    if (written && expected)
        *expected = FileStamp::of(old + encoded.bytes);
    return written;
}

WriteResult RestoreScript(const GameFolder &folder, const QByteArray &bytes, FileStamp *expected)
{
    // Checked before anything else: bytes that could not be read back are never written.
    if (const QString problem = scriptLimitProblem(bytes.size(), lineCount(bytes));
        !problem.isEmpty())
        return WriteResult::failure(problem);
    const QString path = folder.pathForWrite(kScriptFileName);
    QByteArray old;
    if (expected && !unchangedSince(path, *expected, old))
        return WriteResult::changedSinceRead(kScriptFileName);
    WriteResult written = saveWholeFile(path, bytes);
    if (written && expected)
        *expected = FileStamp::of(bytes);
    return written;
}

WriteResult RewriteScript(const GameFolder &folder, const SceneLists &scenes, FileStamp *expected)
{
    const EncodedScenes encoded = encodeScenes(scenes);
    if (!encoded.error.isEmpty())
        return WriteResult::failure(encoded.error);
    return RestoreScript(folder, encoded.bytes, expected);
}
