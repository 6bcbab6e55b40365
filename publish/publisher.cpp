#include "publisher.h"

#include "fontsubset.h"
#include "musicrender.h"
#include "pagefiles.h"
#include "pagescenes.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cmath>

namespace {

QString hexColour(QRgb rgb)
{
    return QColor(rgb).name(QColor::HexRgb);
}

QString htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// Two decimals are more than the canvas draws.
double rounded(qreal value)
{
    return std::round(value * 100) / 100;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Formats every browser shows as they are; others are written again as PNG.
bool browserShows(const QByteArray &format)
{
    return format == "jpeg" || format == "png" || format == "gif" || format == "bmp";
}

bool compressed(const QString &name)
{
    static const QStringList kKinds = {QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                       QStringLiteral("png"),  QStringLiteral("gif"),
                                       QStringLiteral("mp3"),  QStringLiteral("ogg"),
                                       QStringLiteral("flac"), QStringLiteral("woff2")};
    return kKinds.contains(QFileInfo(name).suffix().toLower());
}

} // namespace

Publisher::Publisher(const GameFolder &folder, const QString &out)
    : m_folder(folder), m_out(QDir(out).absolutePath())
{
}

int Publisher::exitStatus(Status status)
{
    switch (status) {
    case Status::Published: return 0;
    case Status::Problem: return 1;
    case Status::NoGame: return 2;
    }
    return 1;
}

void Publisher::step(const QString &what)
{
    if (m_progress)
        m_progress(what);
}

Publisher::Status Publisher::fail(const QString &why)
{
    m_message = why;
    m_files.clear();
    return Status::Problem;
}

Publisher::Status Publisher::run()
{
    if (QFileInfo::exists(m_out) || QFileInfo(m_out).isSymLink())
        return fail(QStringLiteral("“%1”已经存在;请给一个新的文件夹").arg(m_out));
    if (QFileInfo::exists(zipPath()))
        return fail(QStringLiteral("“%1”已经存在").arg(zipPath()));

    step(QStringLiteral("读取场景"));
    PageScenes scenes(m_folder);
    switch (scenes.run()) {
    case PageScenes::Result::Done: break;
    case PageScenes::Result::NoGame:
        m_message =
            QStringLiteral("“%1”中没有游戏(Game.txt或Game.ini),或没有场景").arg(m_folder.path());
        return Status::NoGame;
    case PageScenes::Result::MissingPictures:
        return fail(QStringLiteral("缺少图片或图片无法读取:") +
                    scenes.missingPictures().join(QStringLiteral("、")));
    case PageScenes::Result::Damaged: return fail(scenes.message());
    }
    const PageGame &game = scenes.game();

    // Everything is written into a private folder beside OUT first, and moved there whole.
    const QString parent = QFileInfo(m_out).absolutePath();
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("无法建立文件夹“%1”").arg(parent));
    QTemporaryDir work(parent + QStringLiteral("/.publish-XXXXXX"));
    if (!work.isValid())
        return fail(QStringLiteral("无法在“%1”中写入").arg(parent));
    const QString root = work.path();
    QHash<QString, QByteArray> written; // published name → bytes, in the order written
    QStringList order;
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        if (!writeFile(root + u'/' + name, bytes))
            return false;
        written.insert(name, bytes);
        order.append(name);
        return true;
    };

    step(QStringLiteral("复制图片"));
    QHash<QString, int> pictureIndex; // absolute path → index in the page's picture list
    QStringList pictureNames;
    QSet<QString> taken;
    const auto picture = [&](const QString &path, const QString &folder) -> int {
        if (path.isEmpty())
            return -1;
        if (const auto found = pictureIndex.constFind(path); found != pictureIndex.cend())
            return *found;
        QString base = QFileInfo(path).fileName();
        QString name = folder + u'/' + base;
        for (int k = 2; taken.contains(name.toLower()); ++k)
            name = folder + u'/' + QFileInfo(base).completeBaseName() + u'-' + QString::number(k) +
                   u'.' + QFileInfo(base).suffix();
        QImageReader reader(path);
        const QByteArray format = reader.format();
        QByteArray bytes;
        if (browserShows(format)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                bytes = file.readAll();
        } else {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            reader.read().save(&buffer, "PNG");
        }
        if (bytes.isEmpty() || !put(name, bytes))
            return -2;
        taken.insert(name.toLower());
        pictureIndex.insert(path, int(pictureNames.size()));
        pictureNames.append(name);
        return int(pictureNames.size()) - 1;
    };

    QJsonArray sceneData;
    QString everyText = game.name;
    for (const PageScene &s : game.scenes) {
        const int bg = picture(s.background, QStringLiteral("BG"));
        const int box = picture(s.box, QStringLiteral("Msg"));
        if (bg == -2 || box == -2)
            return fail(QStringLiteral("无法写入“%1”").arg(root));
        QJsonArray lines;
        for (const PageLine &line : s.lines) {
            lines.append(QJsonArray{line.text, rounded(line.x), rounded(line.baseline)});
            everyText += line.text;
        }
        QJsonObject o{{QStringLiteral("bg"), bg},
                      {QStringLiteral("box"), box},
                      {QStringLiteral("boxTop"), s.boxTop},
                      {QStringLiteral("textTop"), s.textTop},
                      {QStringLiteral("size"), rounded(s.pixelSize)},
                      {QStringLiteral("colour"), hexColour(s.colour)},
                      {QStringLiteral("text"), s.text},
                      {QStringLiteral("lines"), lines}};
        if (s.bold)
            o.insert(QStringLiteral("bold"), 1);
        if (s.italic)
            o.insert(QStringLiteral("italic"), 1);
        if (s.underline)
            o.insert(QStringLiteral("underline"),
                     QJsonArray{rounded(s.underlineOffset), rounded(s.underlineWidth)});
        if (s.reveal)
            o.insert(QStringLiteral("reveal"), 1);
        if (s.waitsReveal)
            o.insert(QStringLiteral("wait"), 1);
        sceneData.append(o);
    }
    const int closing = picture(game.closing, QStringLiteral("BG"));
    if (closing == -2)
        return fail(QStringLiteral("无法写入“%1”").arg(root));

    QString musicName;
    if (!game.music.isEmpty()) {
        step(QStringLiteral("转换音乐"));
        const MusicRender::Result music = MusicRender::render(game.music);
        if (music.bytes.isEmpty()) {
            m_warnings.append(QStringLiteral("音乐没有发布:") + music.error);
        } else {
            musicName = QStringLiteral("Music/") + QFileInfo(game.music).completeBaseName() + u'.' +
                        music.extension;
            if (!put(musicName, music.bytes))
                return fail(QStringLiteral("无法写入“%1”").arg(root));
        }
    }

    step(QStringLiteral("裁剪字体"));
    QList<char32_t> characters;
    for (char32_t c : everyText.toUcs4()) {
        if (c >= 0x20 && c != 0x2028 && !characters.contains(c))
            characters.append(c);
    }
    std::sort(characters.begin(), characters.end());
    QFont font(game.scenes.first().family);
    const FontSubset::Result subset = FontSubset::make(font, characters);
    if (subset.woff2.isEmpty())
        return fail(subset.error);
    if (!put(QStringLiteral("font.woff2"), subset.woff2))
        return fail(QStringLiteral("无法写入“%1”").arg(root));

    step(QStringLiteral("写入网页"));
    const QJsonObject data{{QStringLiteral("name"), game.name},
                           {QStringLiteral("title"), game.title},
                           {QStringLiteral("interval"), game.interval},
                           {QStringLiteral("window"), hexColour(game.windowColour)},
                           {QStringLiteral("pictures"), QJsonArray::fromStringList(pictureNames)},
                           {QStringLiteral("closing"), closing},
                           {QStringLiteral("music"), musicName},
                           {QStringLiteral("ending"), game.endingText},
                           {QStringLiteral("scenes"), sceneData}};
    // Data as a script, not a file to fetch: a page opened from the disk may fetch nothing.
    QByteArray gameScript =
        "window.TALE_GAME=" + QJsonDocument(data).toJson(QJsonDocument::Compact) + ";\n";
    gameScript.replace("</", "<\\/");
    const QString notice =
        QStringLiteral("字体：%1，只含本游戏用到的字。%2")
            .arg(subset.family, subset.licence.isEmpty()
                                    ? QStringLiteral("许可证见字体文件。")
                                    : QStringLiteral("许可证：") + subset.licence);
    QByteArray page = PageFiles::page();
    page.replace("{{TITLE}}", htmlEscaped(game.title).toUtf8());
    page.replace("{{NOTICE}}", htmlEscaped(notice).toUtf8());
    if (!put(QStringLiteral("game.js"), gameScript) ||
        !put(QStringLiteral("tale.js"), PageFiles::script()) ||
        !put(QStringLiteral("index.html"), page))
        return fail(QStringLiteral("无法写入“%1”").arg(root));

    step(QStringLiteral("打包"));
    const QString zipPart =
        root + QStringLiteral("/../") + QFileInfo(root).fileName() + QStringLiteral(".zip");
    int error = 0;
    zip_t *zip =
        zip_open(QFile::encodeName(zipPart).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return fail(QStringLiteral("无法写入“%1”").arg(zipPart));
    std::sort(order.begin(), order.end());
    for (const QString &name : order) {
        const QByteArray &bytes = written[name];
        zip_source_t *source =
            zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return fail(QStringLiteral("无法写入“%1”").arg(zipPart));
        }
        zip_set_file_compression(zip, zip_uint64_t(index),
                                 compressed(name) ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        QFile::remove(zipPart);
        return fail(QStringLiteral("无法写入“%1”").arg(zipPart));
    }
    if (!QFile::rename(zipPart, zipPath())) {
        QFile::remove(zipPart);
        return fail(QStringLiteral("无法写入“%1”").arg(zipPath()));
    }
    if (!QDir().rename(root, m_out)) {
        QFile::remove(zipPath());
        return fail(QStringLiteral("无法写入“%1”").arg(m_out));
    }
    work.setAutoRemove(false);
    for (const QString &name : order)
        m_files.append({name, written[name].size()});
    return Status::Published;
}
