#include "publisher.h"

#include "musicrender.h"
#include "pagedata.h"
#include "pagefaces.h"
#include "pagefiles.h"
#include "pagefolder.h"
#include "pagepictures.h"
#include "pagesite.h"
#include "pictures.h"
#include "scenechunks.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

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

// One publish's making of the page in its working folder: each step a function, run in order.
class Publisher::Page
{
public:
    Page(Publisher &publisher, const QString &root, const PageGame &game)
        : m_publisher(publisher), m_game(game), m_out(root),
          m_pictures(
              m_out, [&publisher] { return publisher.cancelled(); },
              [this](int copied) {
                  m_publisher.step(QStringLiteral("复制图片"),
                                   qMin(99, 100 * copied / int(2 * m_game.scenes.size() + 1)));
              }),
          m_chunks(m_out)
    {
    }

    Status scenes();
    Status music();
    Status fonts();
    Status files();
    const QStringList &names() const { return m_out.names(); }

private:
    Status ended(PageStep step);
    QByteArray sceneData(const PageScene &scene, int background, int box);
    QJsonObject head(const QString &id) const;

    Publisher &m_publisher;
    const PageGame &m_game;
    PageOutput m_out;
    PagePictures m_pictures;
    PageFaces m_faces;
    SceneChunks m_chunks;
    int m_closing = -1;
    QString m_music;
};

Publisher::Status Publisher::Page::ended(PageStep step)
{
    switch (step) {
    case PageStep::Done: return Status::Published;
    case PageStep::Cancelled: return Status::Cancelled;
    case PageStep::CannotWrite: break;
    }
    return m_publisher.fail(
        QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(m_publisher.m_out)));
}

QByteArray Publisher::Page::sceneData(const PageScene &s, int background, int box)
{
    QJsonArray lines;
    for (const PageLine &line : s.lines)
        lines.append(m_faces.line(line));
    QJsonObject o{{QStringLiteral("bg"), background},
                  {QStringLiteral("box"), box},
                  {QStringLiteral("boxTop"), s.boxTop},
                  {QStringLiteral("textTop"), s.textTop},
                  {QStringLiteral("size"), PageData::rounded(s.pixelSize)},
                  {QStringLiteral("colour"), PageData::hexColour(s.colour)},
                  {QStringLiteral("text"), s.text},
                  {QStringLiteral("lines"), lines}};
    if (s.bold)
        o.insert(QStringLiteral("bold"), 1);
    if (s.italic)
        o.insert(QStringLiteral("italic"), 1);
    if (s.underline)
        o.insert(QStringLiteral("underline"), m_faces.underlines(s.lines));
    if (s.reveal)
        o.insert(QStringLiteral("reveal"), 1);
    if (s.waitsReveal)
        o.insert(QStringLiteral("wait"), 1);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// The pictures, and the scenes in chunks; then the closing picture.
Publisher::Status Publisher::Page::scenes()
{
    // The name's characters come first in its font, as the cover shows it first.
    for (const PageLine &line : m_game.nameLines)
        m_faces.line(line);
    for (int i = 0; i < m_game.scenes.size(); ++i) {
        const PageScene &s = m_game.scenes[i];
        int background = -1, box = -1;
        const PageStep first = m_pictures.add(s.background, QStringLiteral("BG"), &background);
        const PageStep second = m_pictures.add(s.box, QStringLiteral("Msg"), &box);
        if (first == PageStep::Cancelled || second == PageStep::Cancelled)
            return Status::Cancelled;
        if (first != PageStep::Done || second != PageStep::Done)
            return ended(PageStep::CannotWrite);
        if (!m_chunks.add(i, sceneData(s, background, box)))
            return ended(PageStep::CannotWrite);
    }
    if (!m_chunks.finish())
        return ended(PageStep::CannotWrite);
    return ended(m_pictures.add(m_game.closing, QStringLiteral("BG"), &m_closing));
}

// The music in a form browsers play; music that cannot be is left out with a warning.
Publisher::Status Publisher::Page::music()
{
    if (m_game.music.isEmpty())
        return Status::Published;
    QString error;
    const QString extension = MusicRender::extensionFor(m_game.music, &error);
    if (extension.isEmpty()) {
        m_publisher.m_warnings.append(QStringLiteral("音乐没有发布:") + error);
        return Status::Published;
    }
    const QString name =
        QStringLiteral("Music/") +
        PageFolder::portableName(QFileInfo(m_game.music).completeBaseName() + u'.' + extension);
    m_publisher.step(QStringLiteral("转换音乐"), 0);
    QDir(m_out.root()).mkpath(QStringLiteral("Music"));
    const MusicRender::Result music = MusicRender::write(
        m_game.music, m_out.path(name), [this] { return m_publisher.cancelled(); },
        [this](int percent) { m_publisher.step(QStringLiteral("转换音乐"), percent); });
    switch (music.outcome) {
    case MusicRender::Result::Outcome::Written:
        m_music = name;
        m_out.add(name);
        return Status::Published;
    case MusicRender::Result::Outcome::LeftOut:
        m_publisher.m_warnings.append(QStringLiteral("音乐没有发布:") + music.error);
        return Status::Published;
    case MusicRender::Result::Outcome::WriteFailed: return ended(PageStep::CannotWrite);
    case MusicRender::Result::Outcome::Cancelled: return Status::Cancelled;
    }
    return Status::Published;
}

// Each face the texts are drawn in, cut to the characters it draws, and the fonts' licences.
Publisher::Status Publisher::Page::fonts()
{
    m_publisher.step(QStringLiteral("裁剪字体"));
    const PageStep written = m_faces.write(m_out, [this] { return m_publisher.cancelled(); });
    if (written == PageStep::CannotWrite && !m_faces.error().isEmpty())
        return m_publisher.fail(m_faces.error());
    if (written != PageStep::Done)
        return ended(written);
    // The fonts' licences, read by the page only when the reader asks for them (字体许可).
    if (!m_out.put(QStringLiteral("licences.js"),
                   "window.TALE_LICENCES=" +
                       QJsonDocument(m_faces.licences()).toJson(QJsonDocument::Compact) + ";\n"))
        return ended(PageStep::CannotWrite);
    return Status::Published;
}

// What game.js tells the page of the game, besides its first scenes.
QJsonObject Publisher::Page::head(const QString &id) const
{
    QJsonObject head{{QStringLiteral("id"), id},
                     {QStringLiteral("name"), m_game.name},
                     {QStringLiteral("title"), m_game.title},
                     {QStringLiteral("interval"), m_game.interval},
                     {QStringLiteral("window"), PageData::hexColour(m_game.windowColour)},
                     {QStringLiteral("pictures"), QJsonArray::fromStringList(m_pictures.names())},
                     {QStringLiteral("pictureBytes"), m_pictures.bytes()},
                     {QStringLiteral("closing"), m_closing},
                     {QStringLiteral("music"), m_music},
                     {QStringLiteral("ending"), m_game.endingText},
                     {QStringLiteral("fonts"), m_faces.data()},
                     {QStringLiteral("count"), int(m_game.scenes.size())},
                     {QStringLiteral("chunks"), m_chunks.starts()},
                     {QStringLiteral("chunkBytes"), m_chunks.bytes()}};
    if (m_game.clickCutsReveal)
        head.insert(QStringLiteral("cut"), 1);
    return head;
}

// The page's own files: game.js, the icons and manifest, index.html, the page's script, and
// last the service worker (made from all the others) and the marker of a page of ours.
Publisher::Status Publisher::Page::files()
{
    m_publisher.step(QStringLiteral("写入网页"));
    const QString id = PageData::gameId(m_publisher.m_folder.path(), m_game.name);
    const QByteArray gameScript = PageSite::gameScript(head(id), m_chunks.first());
    // The page's icon, for a tab, a home screen and a shared link: the first background's middle.
    const QImage first = Pictures::load(m_game.scenes.first().background);
    const QString appName = m_game.name.isEmpty() ? m_game.title : m_game.name;
    QString description = m_game.scenes.first().text.simplified();
    if (description.size() > 120)
        description = description.left(119) + u'…';
    const QByteArray page = PageSite::page({
        {"TITLE", m_game.title.toHtmlEscaped().toUtf8()},
        {"NAME", appName.toHtmlEscaped().toUtf8()},
        {"ID", id.toUtf8()},
        {"DESCRIPTION", description.toHtmlEscaped().toUtf8()},
        {"IMAGE", m_pictures.names().value(0).toHtmlEscaped().toUtf8()},
        {"DATA_BYTES", QByteArray::number(gameScript.size())},
    });
    if (!m_out.put(QStringLiteral("game.js"), gameScript) ||
        !m_out.put(QStringLiteral("icon-192.png"), PageData::icon(first, 192)) ||
        !m_out.put(QStringLiteral("icon-512.png"), PageData::icon(first, 512)) ||
        !m_out.put(QStringLiteral("manifest.webmanifest"), PageSite::manifest(appName)) ||
        !m_out.put(QStringLiteral("tale.js"), PageFiles::script()) ||
        !m_out.put(QStringLiteral("index.html"), page))
        return ended(PageStep::CannotWrite);
    const std::optional<QByteArray> worker = PageSite::serviceWorker(id, m_out);
    if (!worker || !m_out.put(QStringLiteral("sw.js"), *worker) ||
        !m_out.put(
            PageFolder::kMarker,
            QStringLiteral("scriptwell 发布的网页。再次发布到这个文件夹时，它会整个被替换。\n")
                .toUtf8()))
        return ended(PageStep::CannotWrite);
    return Status::Published;
}

Publisher::Status Publisher::publishInto(const QString &root, const PageGame &game,
                                         QStringList &names)
{
    Page page(*this, root, game);
    if (const Status status = page.scenes(); status != Status::Published)
        return status;
    if (const Status status = page.music(); status != Status::Published)
        return status;
    if (cancelled())
        return Status::Cancelled;
    if (const Status status = page.fonts(); status != Status::Published)
        return status;
    if (const Status status = page.files(); status != Status::Published)
        return status;
    names = page.names();
    return Status::Published;
}
