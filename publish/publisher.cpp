#include "publisher.h"

#include "filecopy.h"
#include "fontsubset.h"
#include "musicrender.h"
#include "pagedata.h"
#include "pagefiles.h"
#include "pagefolder.h"
#include "pictures.h"

#include <QColor>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRawFont>
#include <QSet>
#include <QtEndian>

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

bool writeNew(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QString faceKey(const QRawFont &font)
{
    return font.familyName() + u'\n' + font.styleName();
}

// Where Qt's FreeType engine strokes the underline of a text in @p font, below the baseline,
// and how thick, in pixels: as the face's own table says, to a 64th of a pixel.
std::pair<qreal, qreal> underlineOf(const QRawFont &font)
{
    const QByteArray post = font.fontTable("post");
    if (post.size() < 12 || font.unitsPerEm() <= 0)
        return {1, 1};
    const qreal scale = font.pixelSize() / font.unitsPerEm();
    const qreal offset = -qFromBigEndian<qint16>(post.constData() + 8) * scale;
    const qreal width = qFromBigEndian<qint16>(post.constData() + 10) * scale;
    return {std::round(offset * 64) / 64, std::max<qreal>(1, std::round(width * 64) / 64)};
}

// Formats every browser shows as they are; others are written again as PNG.
bool browserShows(const QByteArray &format)
{
    return format == "jpeg" || format == "png" || format == "gif" || format == "bmp";
}

// The first bytes of the JPEG file at @p path up to the end of its Exif block, with the
// orientation set to "as stored": the player draws a picture as it is stored, a browser turns it
// as the tag says. Empty when the file has no such tag.
QByteArray uprightJpegHead(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray head = file.read(256 * 1024);
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    const auto fits = [&](qsizetype at, qsizetype size) {
        return at >= 0 && size >= 0 && at + size <= head.size();
    };
    qsizetype at = 2;
    while (fits(at, 4) && bytes[at] == 0xFF) {
        const int marker = bytes[at + 1];
        const qsizetype end = at + 2 + qFromBigEndian<quint16>(bytes + at + 2);
        if (marker == 0xDA || marker == 0xD9 || !fits(at, end - at))
            break;
        if (marker == 0xE1 && head.mid(at + 4, 6) == QByteArray("Exif\0\0", 6)) {
            const qsizetype tiff = at + 10;
            const bool little = head.mid(tiff, 2) == "II";
            const auto u16 = [&](qsizetype p) -> quint32 {
                return little ? qFromLittleEndian<quint16>(bytes + p)
                              : qFromBigEndian<quint16>(bytes + p);
            };
            const auto u32 = [&](qsizetype p) -> quint32 {
                return little ? qFromLittleEndian<quint32>(bytes + p)
                              : qFromBigEndian<quint32>(bytes + p);
            };
            if (!fits(tiff, 8))
                return {};
            const qsizetype ifd = tiff + u32(tiff + 4);
            if (!fits(ifd, 2))
                return {};
            for (quint32 i = 0, entries = u16(ifd); i < entries; ++i) {
                const qsizetype entry = ifd + 2 + 12 * qsizetype(i);
                if (entry + 12 > end)
                    break;
                if (u16(entry) == 0x0112) {
                    head[entry + 8] = char(little ? 1 : 0);
                    head[entry + 9] = char(little ? 0 : 1);
                    return head.left(end);
                }
            }
            return {};
        }
        at = end;
    }
    return {};
}

} // namespace

Publisher::Publisher(const GameFolder &folder, const QString &out)
    : m_folder(folder), m_out(QDir(out).absolutePath()), m_look(PlayerLook::ofDesktop())
{
}

int Publisher::exitStatus(Status status)
{
    switch (status) {
    case Status::Published: return 0;
    case Status::Problem:
    case Status::Cancelled: return 1;
    case Status::NoGame: return 2;
    }
    return 1;
}

void Publisher::step(const QString &what, int percent)
{
    if (m_progress)
        m_progress(what, percent);
}

Publisher::Status Publisher::fail(const QString &why)
{
    m_message = why;
    m_files.clear();
    return Status::Problem;
}

Publisher::Status Publisher::run()
{
    m_warnings.clear();
    m_files.clear();
    QString why;
    if (PageFolder::placeOf(m_out, &why) == PageFolder::Place::Taken)
        return fail(why);

    step(QStringLiteral("读取场景"));
    PageScenes scenes(m_folder, m_look);
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
    if (cancelled())
        return Status::Cancelled;

    // Everything is written into a working folder beside OUT first, and moved there whole.
    PageFolder folder(m_out);
    if (!folder.open())
        return fail(folder.error());
    QStringList names;
    const Status status = publishInto(folder.root(), scenes.game(), names);
    if (status != Status::Published)
        return status;

    step(QStringLiteral("打包"), 0);
    switch (folder.writeZip(
        names, [this] { return cancelled(); },
        [this](int percent) { step(QStringLiteral("打包"), percent); })) {
    case PageFolder::ZipResult::Written: break;
    case PageFolder::ZipResult::Failed: return fail(folder.error());
    case PageFolder::ZipResult::Cancelled: return Status::Cancelled;
    }
    if (cancelled())
        return Status::Cancelled;
    if (!folder.commit())
        return fail(folder.error());
    names.sort();
    for (const QString &name : names)
        m_files.append({name, QFileInfo(m_out + u'/' + name).size()});
    return Status::Published;
}

Publisher::Status Publisher::publishInto(const QString &root, const PageGame &game,
                                         QStringList &names)
{
    const auto cannotWrite = [&] {
        return fail(QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(m_out)));
    };
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        if (!writeNew(root + u'/' + name, bytes))
            return false;
        names.append(name);
        return true;
    };
    const std::function<bool()> stop = [this] { return cancelled(); };

    // Each picture once, under its own name where Windows allows it, or one near it.
    QHash<QString, int> pictureIndex; // absolute path → index in the page's picture list
    QStringList pictureNames;
    QSet<QString> taken;
    int pictureCount = 0;
    const auto picture = [&](const QString &path, const QString &folder) -> int {
        if (path.isEmpty())
            return -1;
        if (const auto found = pictureIndex.constFind(path); found != pictureIndex.cend())
            return *found;
        step(QStringLiteral("复制图片"),
             qMin(99, 100 * pictureCount++ / int(2 * game.scenes.size() + 1)));
        const QString base = PageFolder::portableName(QFileInfo(path).fileName());
        QString name = folder + u'/' + base;
        for (int k = 2; taken.contains(name.toLower()); ++k)
            name = folder + u'/' + QFileInfo(base).completeBaseName() + u'-' + QString::number(k) +
                   u'.' + QFileInfo(base).suffix();
        const QString target = root + u'/' + name;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return -2;
        QImageReader reader(path);
        const QByteArray format = reader.format();
        const bool turned = reader.transformation() != QImageIOHandler::TransformationNone;
        const QByteArray head = turned && format == "jpeg" ? uprightJpegHead(path) : QByteArray();
        if (browserShows(format) && (!turned || !head.isEmpty())) {
            switch (FileCopy::copy(path, target, stop, head)) {
            case FileCopy::Result::Copied: break;
            case FileCopy::Result::Cancelled: return -3;
            case FileCopy::Result::ReadFailed:
            case FileCopy::Result::WriteFailed: return -2;
            }
        } else {
            // Written again as the player decodes it, without anything that turns it.
            reader.setAutoTransform(false);
            QFile file(target);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
                !reader.read().save(&file, "PNG") || !file.flush())
                return -2;
        }
        names.append(name);
        taken.insert(name.toLower());
        pictureIndex.insert(path, int(pictureNames.size()));
        pictureNames.append(name);
        return int(pictureNames.size()) - 1;
    };

    // Each face the player draws the texts in, with the characters it draws in the order the
    // story first uses them: the page loads a font a chunk at a time, as the reader nears it.
    struct Face
    {
        QRawFont font;
        QList<char32_t> order;
        QSet<char32_t> characters;
    };
    QList<Face> faces;
    QHash<QString, int> faceIndex;
    const auto lineData = [&](const PageLine &line) {
        QJsonArray runs;
        for (qsizetype r = 0; r < line.runs.size(); ++r) {
            const PageRun &run = line.runs[r];
            const QString key = faceKey(run.font);
            auto face = faceIndex.constFind(key);
            if (face == faceIndex.cend()) {
                face = faceIndex.insert(key, int(faces.size()));
                faces.append({run.font, {}, {}});
            }
            const qsizetype end =
                r + 1 < line.runs.size() ? line.runs[r + 1].start : line.text.size();
            Face &f = faces[*face];
            for (char32_t c : line.text.mid(run.start, end - run.start).toUcs4()) {
                if (c >= 0x20 && c != 0x2028 && !f.characters.contains(c)) {
                    f.characters.insert(c);
                    f.order.append(c);
                }
            }
            runs.append(QJsonArray{run.start, *face, rounded(run.x)});
        }
        return QJsonArray{line.text, rounded(line.x), rounded(line.baseline), runs};
    };
    for (const PageLine &line : game.nameLines)
        lineData(line);

    // The scenes in chunks: the first in game.js, the others each a script of its own, loaded
    // as the reader nears it (a script, not a file to fetch: a page opened from the disk may
    // fetch nothing).
    QByteArray firstChunk, chunk;
    QList<int> chunkStarts{0};
    QJsonArray chunkBytes{0};
    const auto flush = [&]() -> bool {
        const qsizetype k = chunkStarts.size() - 1;
        if (k == 0) {
            firstChunk = '[' + chunk + ']';
        } else {
            QByteArray script = "TALE_SCENES(" + QByteArray::number(k) + ",[" + chunk + "]);\n";
            script.replace("</", "<\\/"); // never the end of a script, wherever it stands
            if (!put(QStringLiteral("scenes/%1.js").arg(k), script))
                return false;
            chunkBytes.append(script.size());
        }
        chunk.clear();
        return true;
    };
    for (int i = 0; i < game.scenes.size(); ++i) {
        const PageScene &s = game.scenes[i];
        const int bg = picture(s.background, QStringLiteral("BG"));
        const int box = picture(s.box, QStringLiteral("Msg"));
        if (bg == -3 || box == -3)
            return Status::Cancelled;
        if (bg == -2 || box == -2)
            return cannotWrite();
        QJsonArray lines;
        for (const PageLine &line : s.lines)
            lines.append(lineData(line));
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
        if (s.underline) {
            QJsonObject underline;
            for (const PageLine &line : s.lines) {
                for (const PageRun &run : line.runs) {
                    const auto [offset, width] = underlineOf(run.font);
                    underline.insert(QString::number(faceIndex.value(faceKey(run.font))),
                                     QJsonArray{rounded(offset), rounded(width)});
                }
            }
            o.insert(QStringLiteral("underline"), underline);
        }
        if (s.reveal)
            o.insert(QStringLiteral("reveal"), 1);
        if (s.waitsReveal)
            o.insert(QStringLiteral("wait"), 1);
        const QByteArray json = QJsonDocument(o).toJson(QJsonDocument::Compact);
        if (!chunk.isEmpty() && chunk.size() + json.size() > PageData::kChunkBytes) {
            if (!flush())
                return cannotWrite();
            chunkStarts.append(i);
        }
        if (!chunk.isEmpty())
            chunk += ',';
        chunk += json;
    }
    if (!flush())
        return cannotWrite();
    const int closing = picture(game.closing, QStringLiteral("BG"));
    if (closing == -3)
        return Status::Cancelled;
    if (closing == -2)
        return cannotWrite();
    QJsonArray pictureBytes;
    for (const QString &name : std::as_const(pictureNames))
        pictureBytes.append(QFileInfo(root + u'/' + name).size());

    QString musicName;
    if (!game.music.isEmpty()) {
        QString error;
        const QString extension = MusicRender::extensionFor(game.music, &error);
        if (extension.isEmpty()) {
            m_warnings.append(QStringLiteral("音乐没有发布:") + error);
        } else {
            const QString name = QStringLiteral("Music/") +
                                 PageFolder::portableName(QFileInfo(game.music).completeBaseName() +
                                                          u'.' + extension);
            step(QStringLiteral("转换音乐"), 0);
            QDir(root).mkpath(QStringLiteral("Music"));
            const MusicRender::Result music =
                MusicRender::write(game.music, root + u'/' + name, stop, [this](int percent) {
                    step(QStringLiteral("转换音乐"), percent);
                });
            switch (music.outcome) {
            case MusicRender::Result::Outcome::Written:
                musicName = name;
                names.append(name);
                break;
            case MusicRender::Result::Outcome::LeftOut:
                m_warnings.append(QStringLiteral("音乐没有发布:") + music.error);
                break;
            case MusicRender::Result::Outcome::WriteFailed: return cannotWrite();
            case MusicRender::Result::Outcome::Cancelled: return Status::Cancelled;
            }
        }
    }
    if (cancelled())
        return Status::Cancelled;

    // Each face in chunks of characters, one font file each.
    step(QStringLiteral("裁剪字体"));
    QJsonArray fontData;
    QStringList families;
    QJsonArray licences;
    for (qsizetype i = 0; i < faces.size(); ++i) {
        QJsonArray chunks;
        FontSubset::Result subset;
        for (qsizetype from = 0, k = 1; from < faces[i].order.size();
             from += PageData::kFontChunkCharacters, ++k) {
            QList<char32_t> characters = faces[i].order.mid(from, PageData::kFontChunkCharacters);
            const QString held = QString::fromUcs4(characters.constData(), characters.size());
            std::sort(characters.begin(), characters.end());
            subset = FontSubset::make(faces[i].font, characters);
            if (subset.woff2.isEmpty())
                return fail(subset.error);
            const QString name = QStringLiteral("font-%1-%2.woff2").arg(i + 1).arg(k);
            if (!put(name, subset.woff2))
                return cannotWrite();
            chunks.append(QJsonObject{{QStringLiteral("file"), name},
                                      {QStringLiteral("chars"), held},
                                      {QStringLiteral("bytes"), subset.woff2.size()}});
            if (cancelled())
                return Status::Cancelled;
        }
        QJsonObject font{{QStringLiteral("chunks"), chunks}};
        if (subset.bold)
            font.insert(QStringLiteral("bold"), 1);
        if (subset.italic)
            font.insert(QStringLiteral("italic"), 1);
        fontData.append(font);
        if (!subset.family.isEmpty() && !families.contains(subset.family)) {
            families.append(subset.family);
            licences.append(QJsonObject{{QStringLiteral("family"), subset.family},
                                        {QStringLiteral("copyright"), subset.copyright},
                                        {QStringLiteral("licence"), subset.licence},
                                        {QStringLiteral("url"), subset.licenceUrl}});
        }
    }
    // The fonts' licences, read by the page only when the reader asks for them (字体许可).
    if (!put(QStringLiteral("licences.js"),
             "window.TALE_LICENCES=" + QJsonDocument(licences).toJson(QJsonDocument::Compact) +
                 ";\n"))
        return cannotWrite();

    step(QStringLiteral("写入网页"));
    const QString id = PageData::gameId(m_folder.path(), game.name);
    QJsonObject head{{QStringLiteral("id"), id},
                     {QStringLiteral("name"), game.name},
                     {QStringLiteral("title"), game.title},
                     {QStringLiteral("interval"), game.interval},
                     {QStringLiteral("window"), hexColour(game.windowColour)},
                     {QStringLiteral("pictures"), QJsonArray::fromStringList(pictureNames)},
                     {QStringLiteral("pictureBytes"), pictureBytes},
                     {QStringLiteral("closing"), closing},
                     {QStringLiteral("music"), musicName},
                     {QStringLiteral("ending"), game.endingText},
                     {QStringLiteral("fonts"), fontData},
                     {QStringLiteral("count"), int(game.scenes.size())},
                     {QStringLiteral("chunks"), QJsonArray::fromVariantList([&] {
                          QVariantList starts;
                          for (int start : chunkStarts)
                              starts.append(start);
                          return starts;
                      }())},
                     {QStringLiteral("chunkBytes"), chunkBytes}};
    if (game.clickCutsReveal)
        head.insert(QStringLiteral("cut"), 1);
    QByteArray gameScript = QJsonDocument(head).toJson(QJsonDocument::Compact);
    gameScript.chop(1);
    gameScript = "window.TALE_GAME=" + gameScript + ",\"scenes\":" + firstChunk + "};\n";
    gameScript.replace("</", "<\\/");
    if (!put(QStringLiteral("game.js"), gameScript))
        return cannotWrite();

    // The page's icon, for a tab, a home screen and a shared link: the first background's middle.
    const QImage first = Pictures::load(game.scenes.first().background);
    const QString appName = game.name.isEmpty() ? game.title : game.name;
    const QJsonObject manifest{
        {QStringLiteral("name"), appName},
        {QStringLiteral("short_name"), appName.left(12)},
        {QStringLiteral("start_url"), QStringLiteral("./index.html")},
        {QStringLiteral("scope"), QStringLiteral("./")},
        {QStringLiteral("display"), QStringLiteral("standalone")},
        {QStringLiteral("background_color"), QStringLiteral("#000000")},
        {QStringLiteral("theme_color"), QStringLiteral("#000000")},
        {QStringLiteral("lang"), QStringLiteral("zh-CN")},
        {QStringLiteral("icons"),
         QJsonArray{QJsonObject{{QStringLiteral("src"), QStringLiteral("icon-192.png")},
                                {QStringLiteral("sizes"), QStringLiteral("192x192")},
                                {QStringLiteral("type"), QStringLiteral("image/png")}},
                    QJsonObject{{QStringLiteral("src"), QStringLiteral("icon-512.png")},
                                {QStringLiteral("sizes"), QStringLiteral("512x512")},
                                {QStringLiteral("type"), QStringLiteral("image/png")}}}}};
    if (!put(QStringLiteral("icon-192.png"), PageData::icon(first, 192)) ||
        !put(QStringLiteral("icon-512.png"), PageData::icon(first, 512)) ||
        !put(QStringLiteral("manifest.webmanifest"),
             QJsonDocument(manifest).toJson(QJsonDocument::Indented)))
        return cannotWrite();

    QString description = game.scenes.first().text.simplified();
    if (description.size() > 120)
        description = description.left(119) + u'…';
    QByteArray page = PageFiles::page();
    page.replace("{{TITLE}}", htmlEscaped(game.title).toUtf8());
    page.replace("{{NAME}}", htmlEscaped(appName).toUtf8());
    page.replace("{{ID}}", id.toUtf8());
    page.replace("{{DESCRIPTION}}", htmlEscaped(description).toUtf8());
    page.replace("{{IMAGE}}", htmlEscaped(pictureNames.value(0)).toUtf8());
    page.replace("{{DATA_BYTES}}", QByteArray::number(gameScript.size()));
    if (!put(QStringLiteral("tale.js"), PageFiles::script()) ||
        !put(QStringLiteral("index.html"), page))
        return cannotWrite();

    // The service worker keeps the page for reading offline; its cache is named after what the
    // files hold, so a page published again replaces what a reader's browser kept.
    QCryptographicHash version(QCryptographicHash::Sha1);
    QStringList cached;
    for (const QString &name : std::as_const(names)) {
        QFile file(root + u'/' + name);
        if (!file.open(QIODevice::ReadOnly) || !version.addData(&file))
            return cannotWrite();
        version.addData(name.toUtf8());
        cached.append(name);
    }
    const QByteArray worker =
        "self.TALE_CACHE=" +
        QJsonDocument(QJsonArray{QStringLiteral("tale-") + id + u'-' +
                                 QString::fromLatin1(version.result().toHex().left(12))})
            .toJson(QJsonDocument::Compact)
            .mid(1)
            .chopped(1) +
        ";self.TALE_FILES=" +
        QJsonDocument(QJsonArray::fromStringList(cached)).toJson(QJsonDocument::Compact) + ";\n" +
        PageFiles::serviceWorker();
    if (!put(QStringLiteral("sw.js"), worker) ||
        !put(PageFolder::kMarker,
             QStringLiteral("scriptwell 发布的网页。再次发布到这个文件夹时，它会整个被替换。\n")
                 .toUtf8()))
        return cannotWrite();
    return Status::Published;
}
