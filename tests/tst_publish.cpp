#include "editorfakes.h"
#include "fontsubset.h"
#include "game.h"
#include "gameset.h"
#include "musicrender.h"
#include "pagefolder.h"
#include "pagescenes.h"
#include "playerfakes.h"
#include "publishdialog.h"
#include "publisher.h"
#include "readerdata.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <lame/lame.h>
#include <zip.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

void picture(const QString &path, QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(image.save(path));
}

// A small game in @p root: one picture of each kind and the scenes @p notes.
void makeGame(const QString &root, const QStringList &notes, const QString &bg = "bg.jpg")
{
    picture(root + "/BG/bg.jpg", QColor(40, 60, 90), QSize(638, 482));
    picture(root + "/BG/over.jpg", Qt::black, QSize(638, 482));
    picture(root + "/Msg/box.png", Qt::white, QSize(600, 120));
    SceneLists scenes;
    for (const QString &note : notes)
        scenes.append(TestUtil::sceneWith(note, bg, QStringLiteral("box.png")));
    const GameFolder folder(root);
    QVERIFY(RewriteScript(folder, scenes).ok);
    QVERIFY(WriteSettings(folder, GameSettings{QStringLiteral("小游戏"), QString(), QString(),
                                               QStringLiteral("10"), QStringLiteral("0")})
                .ok);
}

// A MIDI file: @p count notes of middle C on the piano, each held @p on ticks after a rest of
// @p rest ticks (480 ticks are half a second), and nothing after the last.
QByteArray midiTune(int count, int on, int rest)
{
    QByteArray track;
    const auto event = [&](quint32 ticks, const QByteArray &bytes) {
        QByteArray delta(1, char(ticks & 0x7F));
        while (ticks >>= 7)
            delta.prepend(char(0x80 | (ticks & 0x7F)));
        track += delta + bytes;
    };
    event(0, QByteArray("\xC0\x00", 2));
    for (int i = 0; i < count; ++i) {
        event(i == 0 ? 0 : rest, QByteArray("\x90\x3C\x64", 3));
        event(on, QByteArray("\x80\x3C\x00", 3));
    }
    event(0, QByteArray("\xFF\x2F\x00", 3));
    QByteArray file("MThd\0\0\0\6\0\0\0\1\x01\xE0MTrk", 18);
    for (int shift : {24, 16, 8, 0})
        file += char((track.size() >> shift) & 0xFF);
    return file + track;
}

// The editor on a game, with recorders for what it asks of the desktop; where to publish is
// answered by @p choose, given the editor's suggestion.
struct Editor
{
    Editor(const QString &game, const std::function<QString(const QString &)> &choose)
    {
        EditorPlatform platform{messages, picker, web};
        platform.choosePublishFolder = [choose](QWidget *, const QString &suggested) {
            return choose(suggested);
        };
        window = std::make_unique<GameSet>(GameFolder(game), platform);
        window->start();
        messages.shown.clear();
    }
    void publish() { window->findChild<QAction *>("publishAction")->trigger(); }

    RecordingMessages messages;
    ScriptedPicker picker;
    RecordingWeb web;
    std::unique_ptr<GameSet> window;
};

// Sets the game's music to Music/@p name.
void setMusic(const QString &root, const QString &name)
{
    QVERIFY(WriteSettings(GameFolder(root), GameSettings{QStringLiteral("小游戏"), name, QString(),
                                                         QStringLiteral("10"), QStringLiteral("0")})
                .ok);
}

// A game of one scene in @p parent/game whose music is half an hour of MIDI, long to render.
QString gameWithLongTune(const QString &parent)
{
    const QString game = parent + "/game";
    makeGame(game, {"一"});
    TestUtil::writeBytes(game + "/Music/long.mid", midiTune(1800, 480, 480));
    setMusic(game, "long.mid");
    return game;
}

struct ZipEntry
{
    QString name;
    quint32 mode = 0; ///< the Unix mode kept in the entry
    qint64 size = 0;
};

QList<ZipEntry> zipEntries(const QString &path)
{
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    QList<ZipEntry> entries;
    if (!zip)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_stat_index(zip, zip_uint64_t(i), 0, &stat);
        zip_file_get_external_attributes(zip, zip_uint64_t(i), 0, &system, &attributes);
        entries.append({QString::fromUtf8(stat.name), attributes >> 16, qint64(stat.size)});
    }
    zip_discard(zip);
    return entries;
}

// The left channel of an MP3 file, decoded.
std::vector<short> decodedMp3(const QString &path)
{
    QByteArray mp3 = TestUtil::readBytes(path);
    hip_t hip = hip_decode_init();
    std::vector<short> samples;
    short left[1152 * 4], right[1152 * 4];
    auto *bytes = reinterpret_cast<unsigned char *>(mp3.data());
    for (qsizetype at = 0; at < mp3.size();) {
        const int piece = int(qMin<qsizetype>(512, mp3.size() - at));
        int got = hip_decode1(hip, bytes + at, size_t(piece), left, right);
        at += piece;
        while (got > 0) {
            samples.insert(samples.end(), left, left + got);
            got = hip_decode1(hip, bytes + at, 0, left, right);
        }
    }
    hip_decode_exit(hip);
    return samples;
}

// A field of /proc/self/status, in kB.
qint64 memoryKb(const char *field)
{
    const QByteArray status = TestUtil::readBytes(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf(field);
    return at < 0 ? -1
                  : status.mid(at + qstrlen(field) + 1).trimmed().split(' ').first().toLongLong();
}

// Every file below @p root, hidden ones too, with its bytes; a folder named @p skip left out.
QMap<QString, QByteArray> contents(const QString &root, const QString &skip)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString name = QDir(root).relativeFilePath(it.next());
        if (!name.startsWith(skip + u'/'))
            files.insert(name, TestUtil::readBytes(it.filePath()));
    }
    return files;
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777)
                                                                    : -1;
}

// @p jpeg with an Exif block whose orientation is @p orientation (6: turn a quarter right, as a
// phone writes a photo taken upright).
QByteArray withOrientation(const QByteArray &jpeg, char orientation)
{
    const QByteArray exif =
        QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24) + orientation +
        QByteArray(7, '\0');
    QByteArray segment("\xFF\xE1");
    segment += char((exif.size() + 2) >> 8);
    segment += char((exif.size() + 2) & 0xFF);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

QJsonObject gameData(const QString &page)
{
    QByteArray script = TestUtil::readBytes(page + "/game.js");
    script = script.mid(script.indexOf('{'));
    script.truncate(script.lastIndexOf('}') + 1);
    script.replace("<\\/", "</");
    return QJsonDocument::fromJson(script).object();
}

// Every scene of a published page: the first chunk in game.js, the others each in its file.
QJsonArray pageScenes(const QString &page)
{
    const QJsonObject head = gameData(page);
    QJsonArray scenes = head["scenes"].toArray();
    for (qsizetype k = 1; k < head["chunks"].toArray().size(); ++k) {
        QByteArray script = TestUtil::readBytes(page + QStringLiteral("/scenes/%1.js").arg(k));
        script = script.mid(script.indexOf('['));
        script.truncate(script.lastIndexOf(']') + 1);
        script.replace("<\\/", "</");
        for (const QJsonValue scene : QJsonDocument::fromJson(script).array())
            scenes.append(scene);
    }
    return scenes;
}

// Pixels of @p image within @p area that differ from @p plain by more than 24 levels in a
// channel: where the text was drawn. Their bounding box.
QRect inkBox(const QImage &image, const QImage &plain, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb a = image.pixel(x, y), b = plain.pixel(x, y);
            if (qAbs(qRed(a) - qRed(b)) > 24 || qAbs(qGreen(a) - qGreen(b)) > 24 ||
                qAbs(qBlue(a) - qBlue(b)) > 24)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

double differingShare(const QImage &a, const QImage &b)
{
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 24 || qAbs(qGreen(p) - qGreen(q)) > 24 ||
                qAbs(qBlue(p) - qBlue(q)) > 24)
                ++differing;
        }
    }
    return double(differing) / (qint64(a.width()) * a.height());
}

} // namespace

class TestPublish : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString m_demoPage; ///< the demo, published once for several tests

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_demoPage = m_dir.filePath("demo-page");
        Publisher publisher(GameFolder(QStringLiteral(DEMO_DIR)), m_demoPage);
        QCOMPARE(publisher.run(), Publisher::Status::Published);
        QVERIFY(QFileInfo::exists(m_demoPage + ".zip"));
    }

    // What an author meets when a game cannot go on the web: nothing is written, and the
    // reason names the picture.
    void refusedGamesWriteNothing_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<Publisher::Status>("status");
        QTest::addColumn<QString>("named");
        QTest::newRow("missing picture")
            << "missing" << Publisher::Status::Problem << "BG\\nothere.jpg";
        QTest::newRow("link to a private file")
            << "link" << Publisher::Status::Problem << "BG\\secret.jpg";
        QTest::newRow("no game") << "empty" << Publisher::Status::NoGame << "没有游戏";
    }
    void refusedGamesWriteNothing()
    {
        QFETCH(QString, setUp);
        QFETCH(Publisher::Status, status);
        QFETCH(QString, named);
        const QString root = m_dir.filePath("refused-" + setUp);
        QDir().mkpath(root);
        if (setUp == "missing") {
            makeGame(root, {"一", "二"});
            SceneLists scenes = LoadScript(GameFolder(root)).scenes;
            scenes.replace(1, TestUtil::sceneWith("二", "nothere.jpg", "box.png"));
            QVERIFY(RewriteScript(GameFolder(root), scenes).ok);
        } else if (setUp == "link") {
            makeGame(root, {"一"}, "secret.jpg");
            TestUtil::writeBytes(m_dir.filePath("private.txt"), "password=hunter2\n");
            QVERIFY(QFile::link(m_dir.filePath("private.txt"), root + "/BG/secret.jpg"));
        }
        const QString out = m_dir.filePath("out-" + setUp);
        Publisher publisher{GameFolder(root), out};
        QCOMPARE(publisher.run(), status);
        QVERIFY2(publisher.message().contains(named), qPrintable(publisher.message()));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(!QFileInfo::exists(out + ".zip"));
        QCOMPARE(QDir(m_dir.path()).entryList({".publish-*"}, QDir::AllEntries | QDir::Hidden),
                 QStringList());
    }

    // A web server running as another user serves the page; the zip unpacks into one folder,
    // on Windows too, and the page finds every picture under the name it was given.
    void publishedPageIsReadableByAllAndPortable_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::newRow("umask 022") << 022 << 0755 << 0644;
        QTest::newRow("umask 027") << 027 << 0750 << 0640;
    }
    void publishedPageIsReadableByAllAndPortable()
    {
        QFETCH(int, mask);
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        const QString root = m_dir.filePath("portable");
        if (!QFileInfo::exists(root)) {
            makeGame(root, {"一", "二"});
            picture(root + "/BG/a:b?.jpg", Qt::red, QSize(638, 482));
            picture(root + "/Msg/con.png", Qt::white, QSize(600, 120));
            picture(root + "/Msg/<box>|.png", Qt::gray, QSize(600, 120));
            SceneLists scenes;
            scenes.append(TestUtil::sceneWith("一", "a:b?.jpg", "con.png"));
            scenes.append(TestUtil::sceneWith("二", "bg.jpg", "<box>|.png"));
            QVERIFY(RewriteScript(GameFolder(root), scenes).ok);
        }
        const QString out = m_dir.filePath(QStringLiteral("portable-%1").arg(mask, 3, 8));
        const mode_t was = ::umask(mode_t(mask));
        const Publisher::Status status = Publisher(GameFolder(root), out).run();
        ::umask(was);
        QCOMPARE(status, Publisher::Status::Published);

        QCOMPARE(modeOf(out), folderMode);
        for (QDirIterator it(out, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            QVERIFY2(modeOf(path) == (it.fileInfo().isDir() ? folderMode : fileMode),
                     qPrintable(path));
        }
        QStringList pictures;
        for (const QJsonValue name : gameData(out)["pictures"].toArray()) {
            pictures.append(name.toString());
            QVERIFY2(QFileInfo(out + u'/' + name.toString()).isFile(), qPrintable(name.toString()));
        }
        for (const char *portable : {"BG/a_b_.jpg", "Msg/_con.png", "Msg/_box__.png"})
            QVERIFY2(pictures.contains(portable), qPrintable(pictures.join(' ')));

        const QList<ZipEntry> entries = zipEntries(out + ".zip");
        const QString top = QFileInfo(out).fileName() + u'/';
        QVERIFY(!entries.isEmpty());
        for (const ZipEntry &entry : entries) {
            QVERIFY2(entry.name.startsWith(top), qPrintable(entry.name));
            QVERIFY2(!entry.name.contains(QRegularExpression("[<>:\"|?*\\\\]")),
                     qPrintable(entry.name));
            QVERIFY2(entry.mode == (entry.name.endsWith(u'/') ? 040755u : 0100644u),
                     qPrintable(QString::number(entry.mode, 8) + u' ' + entry.name));
        }
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [&](const ZipEntry &e) { return e.name == top + "BG/a_b_.jpg"; }));
    }

    // Publishing again to the same place from the command line: a page published there before
    // is replaced whole, anything else is refused and left as it is, and a publish that fails
    // leaves the earlier page as it was. Nothing is left beside it.
    void publishingAgainReplacesOnlyAnEarlierPage_data()
    {
        QTest::addColumn<QString>("before"); // what stands at OUT
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("an earlier page") << "page" << 0 << "";
        QTest::newRow("an earlier zip alone") << "zip of ours" << 0 << "";
        QTest::newRow("an empty folder") << "empty" << 0 << "";
        QTest::newRow("a folder of the author's") << "folder" << 1 << "不是发布的网页";
        QTest::newRow("a zip of the author's") << "zip" << 1 << "不是发布的网页的压缩包";
        QTest::newRow("a file") << "file" << 1 << "是一个文件";
        QTest::newRow("an earlier page, the game since broken")
            << "page, broken" << 1 << "BG\\gone.jpg";
    }
    void publishingAgainReplacesOnlyAnEarlierPage()
    {
        QFETCH(QString, before);
        QFETCH(int, status);
        QFETCH(QString, said);
        const QString parent =
            m_dir.filePath("again-" + QString(QTest::currentDataTag()).replace(u' ', u'-'));
        const QString game = parent + "/game", out = parent + "/page";
        makeGame(game, {"一", "二"});
        if (before.startsWith("page") || before == "zip of ours") {
            QCOMPARE(Publisher(GameFolder(game), out).run(), Publisher::Status::Published);
            TestUtil::writeBytes(out + "/added.txt", "put in by hand");
            if (before == "zip of ours")
                QVERIFY(QDir(out).removeRecursively());
        } else if (before == "empty") {
            QVERIFY(QDir().mkpath(out));
        } else if (before == "folder") {
            TestUtil::writeBytes(out + "/notes.txt", "the author's");
        } else if (before == "zip") {
            TestUtil::writeBytes(out + ".zip", "the author's");
        } else if (before == "file") {
            TestUtil::writeBytes(out, "the author's");
        }
        if (before.endsWith("broken")) {
            SceneLists scenes = LoadScript(GameFolder(game)).scenes;
            scenes.replace(1, TestUtil::sceneWith("二", "gone.jpg", "box.png"));
            QVERIFY(RewriteScript(GameFolder(game), scenes).ok);
        }
        const QMap<QString, QByteArray> was = contents(parent, "game");

        QString error;
        QByteArray listed;
        QCOMPARE(publishOnCommandLine(game, out, error, listed), status);
        QVERIFY2(error.contains(said), qPrintable(error));
        if (status == 0) {
            QVERIFY(QFileInfo(out + "/index.html").isFile());
            QVERIFY(QFileInfo(out + u'/' + PageFolder::kMarker).isFile());
            QVERIFY(!QFileInfo::exists(out + "/added.txt"));
            QStringList names;
            for (const ZipEntry &entry : zipEntries(out + ".zip"))
                names.append(entry.name);
            QVERIFY2(names.contains("page/index.html") && !names.contains("page/added.txt"),
                     qPrintable(names.join(' ')));
        } else {
            QCOMPARE(contents(parent, "game"), was);
        }
        QCOMPARE(QDir(parent).entryList({".publish-*"}, QDir::AllEntries | QDir::Hidden),
                 QStringList());
    }

    // A publish that was killed leaves its working folder behind; the next publish beside it
    // clears it away, and leaves alone one that a publish still running holds, and a folder of
    // the author's that happens to have such a name.
    void killedPublishIsClearedAwayNextTime()
    {
        const QString parent = m_dir.filePath("killed");
        const QString game = gameWithLongTune(parent);
        const auto working = [&] {
            return QDir(parent).entryList({".publish-*"}, QDir::Dirs | QDir::Hidden);
        };
        QProcess scriptwell;
        scriptwell.start(QStringLiteral(SCRIPTWELL), {"--publish", game, parent + "/page"});
        QTRY_VERIFY_WITH_TIMEOUT(working().size() == 1 &&
                                     QFileInfo::exists(parent + u'/' + working()[0] + "/lock"),
                                 30000);
        scriptwell.kill();
        QVERIFY(scriptwell.waitForFinished());
        QCOMPARE(working().size(), 1);

        const QString busy = parent + "/.publish-busy00";
        TestUtil::writeBytes(busy + "/lock", "");
        const int lock = ::open(QFile::encodeName(busy + "/lock").constData(), O_RDONLY);
        QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0);
        TestUtil::writeBytes(parent + "/.publish-mine/notes.txt", "the author's");
        setMusic(game, QString());
        const Publisher::Status status = Publisher(GameFolder(game), parent + "/page").run();
        ::close(lock);
        QCOMPARE(status, Publisher::Status::Published);
        QCOMPARE(working(), (QStringList{".publish-busy00", ".publish-mine"}));
    }

    // Recorded music is published whole, however long.
    void longRecordedMusicIsPublishedWhole()
    {
        const QString root = m_dir.filePath("long-music");
        makeGame(root, {"一"});
        constexpr qint64 kSize = qint64(64) * 1024 * 1024 + 4096;
        {
            QDir(root).mkpath("Music");
            QFile music(root + "/Music/long.mp3");
            QVERIFY(music.open(QIODevice::WriteOnly));
            music.write("ID3\3\0\0\0\0\0\0", 10);
            QVERIFY(music.seek(kSize - 4));
            music.write("END!");
        }
        setMusic(root, "long.mp3");
        const QString out = m_dir.filePath("long-music-page");
        Publisher publisher{GameFolder(root), out};
        QCOMPARE(publisher.run(), Publisher::Status::Published);
        QCOMPARE(publisher.warnings(), QStringList());
        QFile published(out + "/Music/long.mp3");
        QCOMPARE(published.size(), kSize);
        QVERIFY(published.open(QIODevice::ReadOnly) && published.seek(kSize - 4));
        QCOMPARE(published.readAll(), QByteArray("END!"));
        const QList<ZipEntry> entries = zipEntries(out + ".zip");
        const auto entry = std::find_if(entries.begin(), entries.end(), [](const ZipEntry &e) {
            return e.name == "long-music-page/Music/long.mp3";
        });
        QVERIFY(entry != entries.end());
        QCOMPARE(entry->size, kSize);
    }

    // Memory stays small however many bytes a game publishes: each file is written as it is
    // made and the zip is read from the files.
    void memoryStaysSmallWhateverTheGamesSize()
    {
        const QString root = m_dir.filePath("photos");
        makeGame(root, {"一"});
        // Noise, which does not compress: on the page as large as in the game.
        QImage photo(1600, 1200, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y) {
            auto *line = reinterpret_cast<quint32 *>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x)
                line[x] = QRandomGenerator::global()->generate() | 0xFF000000u;
        }
        const QString original = m_dir.filePath("photo.jpg");
        QVERIFY(photo.save(original, "JPEG", 95));
        constexpr int kPhotos = 40;
        SceneLists scenes;
        for (int i = 0; i < kPhotos; ++i) {
            const QString name = QStringLiteral("photo%1.jpg").arg(i);
            QVERIFY(::link(QFile::encodeName(original).constData(),
                           QFile::encodeName(root + "/BG/" + name).constData()) == 0);
            scenes.append(TestUtil::sceneWith(QString::number(i), name, "box.png"));
        }
        QVERIFY(RewriteScript(GameFolder(root), scenes).ok);
        const qint64 published = kPhotos * QFileInfo(original).size() / 1024;
        const qint64 before = memoryKb("VmRSS:");
        // From here the peak is measured afresh.
        TestUtil::writeBytes(QStringLiteral("/proc/self/clear_refs"), "5");
        QCOMPARE(Publisher(GameFolder(root), m_dir.filePath("photos-page")).run(),
                 Publisher::Status::Published);
        const qint64 growth = memoryKb("VmHWM:") - before;
        qInfo("%d pictures, %lld MB published: the peak memory grew by %lld MB", kPhotos,
              published / 1024, growth / 1024);
        QVERIFY2(growth < published / 3, qPrintable(QString::number(growth / 1024)));
    }

    // The last notes of a MIDI tune ring out on the page: the rendering runs on after the
    // tune's last event until they have died away.
    void midiRingsOutAfterItsLastEvent()
    {
        const QString tune = m_dir.filePath("tail.mid");
        TestUtil::writeBytes(tune, midiTune(1, 480, 0)); // half a second, then the end
        const QString mp3 = m_dir.filePath("tail.mp3");
        QCOMPARE(MusicRender::write(tune, mp3, {}, {}).outcome,
                 MusicRender::Result::Outcome::Written);
        const std::vector<short> pcm = decodedMp3(mp3);
        constexpr double kRate = 22050;
        const auto onset =
            std::find_if(pcm.begin(), pcm.end(), [](short s) { return qAbs(s) > 200; });
        QVERIFY(onset != pcm.end());
        const auto level = [&](double from, double to) { // root mean square, seconds from onset
            double sum = 0;
            qint64 n = 0;
            for (auto s = onset + qint64(from * kRate);
                 s < onset + qint64(to * kRate) && s < pcm.end(); ++s, ++n)
                sum += double(*s) * *s;
            return n ? std::sqrt(sum / n) : 0.0;
        };
        const double length = (pcm.end() - onset) / kRate;
        const double held = level(0.1, 0.4);
        qInfo("held %.0f, after the last event %.0f, at the end %.1f, %.2f s in all", held,
              level(0.55, 0.7), level(length - 0.05, length), length);
        QVERIFY(held > 300);
        QVERIFY2(level(0.55, 0.7) > held / 30, "the note stops dead at the tune's last event");
        QVERIFY2(level(length - 0.05, length) < held / 100, "the tune ends while still sounding");
        QVERIFY(length < 6);
    }

    // 发布游戏… in the editor: the publish runs beside the window, whose own timers go on while
    // it shows each step with 取消; a cancel stops even a long MIDI rendering and leaves
    // nothing behind.
    void publishFromTheEditorCanBeCancelled()
    {
        const QString parent = m_dir.filePath("window-cancel");
        QString suggested;
        Editor editor(gameWithLongTune(parent), [&](const QString &suggestion) {
            suggested = suggestion;
            return parent + "/page";
        });
        GameSet &window = *editor.window;
        // The window's own timer, while the publish runs: it notes each step and clicks 取消
        // once the music is being made.
        QStringList steps;
        bool clicked = false;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto *step = window.findChild<QLabel *>("publishStep");
            auto *cancel = window.findChild<QPushButton *>("publishCancel");
            if (!step || !cancel || !step->isVisible())
                return;
            if (steps.isEmpty() || steps.last() != step->text())
                steps.append(step->text());
            if (!clicked && step->text().startsWith(QStringLiteral("转换音乐"))) {
                clicked = true;
                cancel->click();
            }
        });
        watch.start();
        editor.publish();
        watch.stop();
        QVERIFY2(clicked, qPrintable(steps.join(", ")));
        QCOMPARE(suggested, parent + "/game-网页");
        QVERIFY(!QFileInfo::exists(parent + "/page"));
        QVERIFY(!QFileInfo::exists(parent + "/page.zip"));
        QCOMPARE(QDir(parent).entryList({".publish-*"}, QDir::AllEntries | QDir::Hidden),
                 QStringList());
        QCOMPARE(editor.messages.shown, QStringList());
        QCOMPARE(editor.web.opened, QStringList());
    }

    // Publishing again from the editor: the place that holds the page published there is
    // suggested again, and replacing it is asked first; a place that holds something else is
    // neither suggested nor taken.
    void publishingAgainFromTheEditorAsksFirst()
    {
        const QString parent = m_dir.filePath("window-again");
        const QString game = parent + "/game";
        makeGame(game, {"一"});
        QStringList suggested;
        Editor editor(game, [&](const QString &suggestion) {
            suggested.append(suggestion);
            return suggestion;
        });
        RecordingMessages &messages = editor.messages;
        const QString page = parent + "/game-网页";
        editor.publish();
        QVERIFY(QFileInfo(page + "/index.html").isFile());
        TestUtil::writeBytes(page + "/added.txt", "put in by hand");

        messages.answers = {false};
        editor.publish();
        QCOMPARE(messages.asked.size(), 1);
        QVERIFY2(messages.asked[0].contains("以前发布的网页"), qPrintable(messages.asked[0]));
        QVERIFY(QFileInfo::exists(page + "/added.txt"));
        messages.answers = {true};
        editor.publish();
        QVERIFY(!QFileInfo::exists(page + "/added.txt"));
        QVERIFY(QFileInfo(page + "/index.html").isFile());
        {
            PublishDialog dialog(page);
            QVERIFY(dialog.findChild<QPushButton *>("publishButton")->isEnabled());
            QVERIFY(dialog.findChild<QLabel *>("publishNote")->text().contains("以前发布的网页"));
        }

        QVERIFY(QDir(page).removeRecursively() && QFile::remove(page + ".zip"));
        TestUtil::writeBytes(page + "/notes.txt", "the author's");
        {
            PublishDialog dialog(page);
            QVERIFY(!dialog.findChild<QPushButton *>("publishButton")->isEnabled());
            QVERIFY(dialog.findChild<QLabel *>("publishNote")->text().contains("不是发布的网页"));
        }
        editor.publish();
        QCOMPARE(suggested, (QStringList{page, page, page, page + "-2"}));
        QVERIFY(QFileInfo(page + "-2/index.html").isFile());
        QCOMPARE(TestUtil::readBytes(page + "/notes.txt"), QByteArray("the author's"));
        QCOMPARE(messages.asked.size(), 2);
        QCOMPARE(editor.web.opened.size(), 3);
    }

    void commandLineExitStatus_data()
    {
        QTest::addColumn<QString>("game");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("demo") << QStringLiteral(DEMO_DIR) << 0 << "";
        QTest::newRow("missing picture") << "cli-missing" << 1 << "BG\\nothere.jpg";
        QTest::newRow("no game") << "cli-empty" << 2 << "没有游戏";
    }
    void commandLineExitStatus()
    {
        QFETCH(QString, game);
        QFETCH(int, status);
        QFETCH(QString, said);
        if (!QDir::isAbsolutePath(game)) {
            game = m_dir.filePath(game);
            QDir().mkpath(game);
            if (game.endsWith("missing"))
                makeGame(game, {"一"}, "nothere.jpg");
        }
        const QString out = m_dir.filePath("cli-page-" + QFileInfo(game).fileName());
        QString error;
        QByteArray listed;
        QCOMPARE(publishOnCommandLine(game, out, error, listed), status);
        QVERIFY2(error.contains(said), qPrintable(error));
        QCOMPARE(QFileInfo::exists(out + "/index.html"), status == 0);
        if (status == 0)
            QVERIFY(listed.contains("font-1-1.woff2"));
    }

    // The page's data says what the player does: where a reveal runs and holds the box, where
    // a text stands whole, where the game ends early.
    void scenesFollowThePlayersRules_data()
    {
        QTest::addColumn<QString>("skip");
        QTest::addColumn<QStringList>("codes"); // each scene's five codes
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QString>("expected"); // per scene: w whole, r reveal, h reveal holding
        QTest::newRow("skip allowed") << "0" << QStringList{"20002", "20002", "20002"}
                                      << QStringList{"一", "二", "三"} << "wrr";
        QTest::newRow("skip refused") << "1" << QStringList{"20002", "20002", "20002"}
                                      << QStringList{"一", "二", "三"} << "whh";
        QTest::newRow("same text stays whole") << "1" << QStringList{"20002", "20002", "20002"}
                                               << QStringList{"一", "一", "二"} << "wwh";
        QTest::newRow("a code that is no number ends the game")
            << "0" << QStringList{"20002", "2x002", "20002"} << QStringList{"一", "二", "三"}
            << "w";
    }
    void scenesFollowThePlayersRules()
    {
        QFETCH(QString, skip);
        QFETCH(QStringList, codes);
        QFETCH(QStringList, notes);
        QFETCH(QString, expected);
        const QString root = m_dir.filePath("rules-" + QString(QTest::currentDataTag()));
        makeGame(root, notes);
        SceneLists scenes;
        for (int i = 0; i < notes.size(); ++i) {
            SceneRec scene = TestUtil::sceneWith(notes[i], "bg.jpg", "box.png");
            for (int k = 0; k < 5; ++k)
                scene.fields[3 + k] = codes[i].mid(k, 1);
            scenes.append(scene);
        }
        QVERIFY(RewriteScript(GameFolder(root), scenes).ok);
        QVERIFY(WriteSettings(GameFolder(root), GameSettings{"规则", QString(), QString(),
                                                             QStringLiteral("10"), skip})
                    .ok);
        PageScenes page{GameFolder(root)};
        QCOMPARE(page.run(), PageScenes::Result::Done);
        QString seen;
        for (const PageScene &scene : page.game().scenes)
            seen += !scene.reveal ? u'w' : scene.waitsReveal ? u'h' : u'r';
        QCOMPARE(seen, expected);
        QVERIFY(page.game().closing.endsWith("/BG/over.jpg"));
    }

    // Each font on the page holds exactly the characters the player draws in it: in the game's
    // one font, or in the desktop's Latin font beside a Chinese one.
    void fontsHoldExactlyTheGamesCharacters_data()
    {
        QTest::addColumn<QString>("game");
        QTest::addColumn<bool>("several");
        QTest::newRow("the game's font") << QStringLiteral(DEMO_DIR) << false;
        QTest::newRow("Latin letters beside Chinese") << "latin" << true;
    }
    void fontsHoldExactlyTheGamesCharacters()
    {
        QFETCH(QString, game);
        QFETCH(bool, several);
        const QString page = game == QStringLiteral(DEMO_DIR) ? m_demoPage : published(latinGame());
        QVERIFY(!page.isEmpty());
        const QJsonObject data = gameData(page);
        QSet<char32_t> used;
        for (char32_t c : data["name"].toString().toUcs4())
            used.insert(c);
        for (const QJsonValue scene : pageScenes(page)) {
            for (char32_t c : scene["text"].toString().toUcs4())
                used.insert(c);
        }
        QList<char32_t> expected(used.begin(), used.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(data["fonts"].toArray().size() > 1, several);
        QSet<char32_t> inFonts;
        for (const QJsonValue font : data["fonts"].toArray()) {
            for (const QJsonValue chunk : font["chunks"].toArray()) {
                const QList<char32_t> inFont = FontSubset::characters(
                    TestUtil::readBytes(page + u'/' + chunk["file"].toString()));
                QVERIFY(!inFont.isEmpty());
                inFonts.unite(QSet<char32_t>(inFont.begin(), inFont.end()));
            }
        }
        QList<char32_t> held(inFonts.begin(), inFonts.end());
        std::sort(held.begin(), held.end());
        QCOMPARE(held, expected);
    }

    void demoPublishesOnlyWhatThePageUses()
    {
        QStringList names;
        for (QDirIterator it(m_demoPage, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            names.append(QDir(m_demoPage).relativeFilePath(it.next()));
        names.sort();
        // fog.jpg is a picture of the demo's folder that a scene shows; every file here is
        // named by the page. Nothing names a path of this machine.
        for (const QString &name : names) {
            if (name.endsWith(".js") || name.endsWith(".html")) {
                const QByteArray text = TestUtil::readBytes(m_demoPage + u'/' + name);
                QVERIFY2(!text.contains(QByteArray(DEMO_DIR)), qPrintable(name));
                QVERIFY2(!text.contains(m_dir.path().toUtf8()), qPrintable(name));
            }
        }
        const QStringList page{"font-1-1.woff2",       "game.js",    "icon-192.png",
                               "icon-512.png",         "index.html", "licences.js",
                               "manifest.webmanifest", "sw.js",      "tale.js"};
        for (const QString &name : page)
            QVERIFY2(names.contains(name), qPrintable(name));
        QVERIFY(names.contains("Music/1.mp3") && names.contains("BG/over.jpg"));
        QCOMPARE(names.filter(QRegularExpression("^(BG|Msg|Music)/")).size(),
                 names.size() - page.size());
    }

    // The largest game, of long texts in thousands of different characters, publishes quickly,
    // and its first scene needs the same few hundred kilobytes as a small game's: the data and
    // the fonts are in chunks, each within its bound, and together they hold every scene.
    void largestGamePublishesQuicklyInChunks()
    {
        const QString root = m_dir.filePath("large");
        QStringList notes;
        QRandomGenerator random(23);
        for (int i = 0; i < kMaxScenes; ++i) {
            QString note = QStringLiteral("第%1个场景:").arg(i + 1);
            while (note.size() < 120)
                note += QChar(0x4E00 + random.bounded(6000));
            notes.append(note);
        }
        makeGame(root, notes);
        QElapsedTimer clock;
        clock.start();
        const QString page = m_dir.filePath("large-page");
        Publisher publisher{GameFolder(root), page};
        QCOMPARE(publisher.run(), Publisher::Status::Published);
        qInfo("4095 scenes published in %lld ms", clock.elapsed());
        QVERIFY(clock.elapsed() < 10000);
        const QJsonArray scenes = pageScenes(page);
        QCOMPARE(scenes.size(), kMaxScenes);
        QCOMPARE(scenes.last()["text"].toString(), notes.last());

        const QJsonObject head = gameData(page);
        QCOMPARE(head["count"].toInt(), kMaxScenes);
        QVERIFY(head["chunks"].toArray().size() > 100);
        for (qsizetype k = 1; k < head["chunks"].toArray().size(); ++k)
            QVERIFY(QFileInfo(page + QStringLiteral("/scenes/%1.js").arg(k)).size() < 40 * 1024);
        // What the first scene is drawn with: the page, its script, game.js, its pictures and
        // the chunks of the fonts that hold its characters.
        const auto size = [&](const QString &name) { return QFileInfo(page + u'/' + name).size(); };
        qint64 first = size("index.html") + size("tale.js") + size("game.js");
        const QJsonObject scene = scenes.first().toObject();
        const QJsonArray pictures = head["pictures"].toArray();
        first += size(pictures[scene["bg"].toInt()].toString()) +
                 size(pictures[scene["box"].toInt()].toString());
        const QString text = scene["text"].toString() + head["name"].toString();
        int fontChunks = 0;
        for (const QJsonValue font : head["fonts"].toArray()) {
            for (const QJsonValue chunk : font["chunks"].toArray()) {
                ++fontChunks;
                const QString held = chunk["chars"].toString();
                QVERIFY(held.toUcs4().size() <= 256);
                if (std::any_of(held.begin(), held.end(),
                                [&](QChar c) { return text.contains(c); }))
                    first += chunk["bytes"].toInt();
            }
        }
        qInfo("%d font chunks; the first scene needs %lld KB of %lld KB", fontChunks, first / 1024,
              (publisher.files().isEmpty() ? 0 : [&] {
                  qint64 all = 0;
                  for (const Publisher::File &file : publisher.files())
                      all += file.bytes;
                  return all;
              }()) / 1024);
        QVERIFY(fontChunks > 10);
        QVERIFY2(first < 600 * 1024, qPrintable(QString::number(first)));
    }

    // The page in a browser, from the disk and from a web server, against the player's window
    // at each scene: the same pixels within a few, the first and last character of the text in
    // the same place, the same words for a screen reader, the music started by the first click.
    // The demo; a game whose long texts wrap over lines in every size and style; one whose
    // Latin letters and digits the player draws in the desktop's Latin font; and a phone photo
    // with an orientation tag, which the player draws as it is stored.
    void pagePlaysAsThePlayer_data()
    {
        QTest::addColumn<QString>("game");
        QTest::addColumn<QString>("mode");
        // Pixels more than 24 levels apart, at most. Three lines of large bold text hold more
        // glyph edges, where FreeType's smoothing and the browser's differ, than a demo scene.
        QTest::addColumn<double>("maxShare");
        QTest::newRow("demo from the disk") << QStringLiteral(DEMO_DIR) << "file" << 0.02;
        QTest::newRow("demo from a server") << QStringLiteral(DEMO_DIR) << "http" << 0.02;
        QTest::newRow("wrapped texts") << "wrapped"
                                       << "file" << 0.03;
        QTest::newRow("Latin letters and digits") << "latin"
                                                  << "file" << 0.03;
        QTest::newRow("a phone photo") << "photo"
                                       << "file" << 0.02;
    }
    void pagePlaysAsThePlayer()
    {
        QFETCH(QString, game);
        QFETCH(QString, mode);
        QFETCH(double, maxShare);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
        QString page = m_demoPage;
        if (game == "wrapped") {
            const QString text = QStringLiteral(
                "灯塔的光穿过浓雾 (the light went through the fog), 渔船一条接一条回到港口，"
                "岸上的人们举着灯笼欢呼，孩子们在石阶上奔跑，老人们说这是三十年来最亮的一夜。");
            game = gameOf("wrapped", {text, text.left(60), text.mid(7), text.left(90)},
                          {"05510", "16421", "24312", "01002"}, QStringLiteral("文泉驿微米黑"));
        } else if (game == "latin") {
            game = latinGame();
        } else if (game == "photo") {
            game = gameOf("photo", {"手机照片", "竖着拍的"}, {"20002", "20002"}, QString());
            QImage photo(638, 482, QImage::Format_RGB32);
            photo.fill(QColor(200, 40, 40));
            QPainter painter(&photo);
            painter.fillRect(319, 0, 319, 482, QColor(40, 40, 200));
            painter.fillRect(0, 0, 638, 80, Qt::white);
            painter.end();
            QBuffer jpeg;
            jpeg.open(QIODevice::WriteOnly);
            QVERIFY(photo.save(&jpeg, "JPEG", 95));
            TestUtil::writeBytes(game + "/BG/bg.jpg", withOrientation(jpeg.data(), 6));
        }
        if (game != QStringLiteral(DEMO_DIR))
            page = published(game);
        QVERIFY(!page.isEmpty());
        const QString shots = m_dir.filePath("shots-" + tag);
        QDir().mkpath(shots);
        QVERIFY(runBrowser(page, shots, mode));
        const QJsonObject seen =
            QJsonDocument::fromJson(TestUtil::readBytes(shots + "/result.json")).object();
        qInfo("%s: first screen after %d ms, page loaded after %d ms, first scene %d ms after "
              "the click",
              qPrintable(tag), seen["coverMs"].toInt(), seen["pageLoadMs"].toInt(),
              seen["firstSceneMs"].toInt());
        QCOMPARE(seen["audioStarted"].toBool(), game == QStringLiteral(DEMO_DIR));
        QVERIFY(!seen["audioAtEnd"].toBool());

        RecordingMusic music;
        RecordingMessages messages;
        Game player(GameFolder(game), music, messages);
        QVERIFY(player.start());
        player.show();
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        const QJsonArray heard = seen["heard"].toArray();
        const QJsonArray data = pageScenes(page);
        const int count = int(data.size());
        QCOMPARE(heard.size(), count + 1);
        for (int i = 0; i <= count; ++i) {
            while (player.WordTimer()->isActive())
                player.logic().RevealTick();
            const QImage inPlayer = player.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const bool ending = i == count;
            const QImage inPage =
                QImage(shots + (ending ? QString("/end.png") : QString("/scene-%1.png").arg(i)))
                    .convertToFormat(QImage::Format_RGB32);
            QCOMPARE(inPage.size(), inPlayer.size());
            const double share = differingShare(inPage, inPlayer);
            if (qEnvironmentVariableIsSet("TALE_KEEP_SHOTS"))
                inPlayer.save(QString("%1/player-%2.png")
                                  .arg(qEnvironmentVariable("TALE_KEEP_SHOTS"))
                                  .arg(i)),
                    inPage.save(QString("%1/page-%2.png")
                                    .arg(qEnvironmentVariable("TALE_KEEP_SHOTS"))
                                    .arg(i));
            QVERIFY2(
                share <= maxShare,
                qPrintable(QString("scene %1: %2 % of pixels differ").arg(i).arg(share * 100)));
            const QString expectedHeard = ending ? QStringLiteral("终。游戏结束了，可以关闭窗口。")
                                                 : player.GameNote()->text();
            QCOMPARE(heard[i].toString(), expectedHeard);
            qInfo("scene %d: %.2f %% of pixels differ", i, share * 100);
            if (ending)
                break;
            // Where the first and the last character stand: each one's cell in the player's
            // layout, and the ink found there in either picture against the scene without text.
            QLabel *note = player.GameNote();
            note->hide();
            const QImage plain = player.grab().toImage().convertToFormat(QImage::Format_RGB32);
            note->show();
            const QJsonArray lines = data[i]["lines"].toArray();
            QVERIFY(!lines.isEmpty());
            const QFontMetricsF metrics(note->font());
            const auto cell = [&](const QJsonArray &line, bool last) {
                const QString text = line[0].toString().trimmed();
                const qreal x =
                    line[1].toDouble() + (last ? metrics.horizontalAdvance(text.chopped(1)) : 0);
                const QChar c = last ? text.back() : text.front();
                return QRectF(note->x() + x - 2, note->y() + line[2].toDouble() - metrics.ascent(),
                              metrics.horizontalAdvance(c) + 4,
                              metrics.ascent() + metrics.descent())
                    .toAlignedRect()
                    .intersected(note->geometry());
            };
            // The first and the last character of each line the text area shows whole (lines
            // below are cut off): so each line breaks where the player breaks it.
            QList<QRect> cells;
            for (const QJsonValue line : lines) {
                if (line[2].toDouble() + metrics.descent() > note->height())
                    break;
                cells.append(cell(line.toArray(), false));
                cells.append(cell(line.toArray(), true));
            }
            QVERIFY(!cells.isEmpty());
            for (const QRect &area : cells) {
                const QRect a = inkBox(inPlayer, plain, area), b = inkBox(inPage, plain, area);
                const auto near = [](int p, int q) { return qAbs(p - q) <= 2; };
                QVERIFY2(
                    !a.isEmpty() && near(a.left(), b.left()) && near(a.top(), b.top()) &&
                        near(a.right(), b.right()) && near(a.bottom(), b.bottom()),
                    qPrintable(QString("scene %1: a glyph not where the player draws it").arg(i)));
            }
            player.logic().AdvanceScene();
        }
    }

    // The page and the player, on the same game and the same list of the reader's commands (see
    // web/test/steps.ts), reach the same scene after each command and keep the same look back.
    void pageAndPlayerReachTheSameScenes_data()
    {
        QTest::addColumn<QString>("skip"); // the game's SkipCode: "1" is 不能跳过
        QTest::addColumn<QString>("commands");
        QTest::newRow("save, read on, load") << "0"
                                             << "c r1000 c r1000 s1 c r1000 c l1 c r1000";
        QTest::newRow("a save loaded after the ending") << "0"
                                                        << "c c s1 c c c c c c c c l1 c r1000";
        QTest::newRow("skip over the scenes read") << "1"
                                                   << "c r1000 c r1000 c r1000 R S r5000";
        QTest::newRow("skip all, 不能跳过 typing the unread") << "1"
                                                              << "c r1000 R all S r300 r300 r20000";
        QTest::newRow("skip all, a click cutting the typing") << "0"
                                                              << "all S r20000";
        QTest::newRow("look back") << "0"
                                   << "c r1000 c r1000 c r1000 b3 c r1000 b1 c";
        QTest::newRow("auto, a click stops it") << "0"
                                                << "A r20000 R A r3000 c r3000 A r1000 N";
        QTest::newRow("hiding the box") << "1"
                                        << "c h c c r1000 c h r100 c";
        QTest::newRow("the ending and back to the start") << "0"
                                                          << "c c c c c c c c c R c";
    }
    void pageAndPlayerReachTheSameScenes()
    {
        QFETCH(QString, skip);
        QFETCH(QString, commands);
        const QString root = m_dir.filePath("steps-" + skip);
        if (!QFileInfo::exists(root)) {
            makeGame(root, {"灯塔", "海边的小镇上有一座灯塔。", "很久没有点亮。", "很久没有点亮。",
                            "每天傍晚，少女小雨都会走到塔下。", "她在等一封信。", "信来了。",
                            "终于，灯塔亮了。"});
            QVERIFY(WriteSettings(GameFolder(root), GameSettings{"比较", QString(), QString(),
                                                                 QStringLiteral("100"), skip})
                        .ok);
        }
        const QString page = published(root);
        QVERIFY(!page.isEmpty());

        QProcess node;
        node.start(QStandardPaths::findExecutable("node"),
                   {QStringLiteral(PAGE_STEPS), page, commands});
        QVERIFY(node.waitForFinished(30000));
        QVERIFY2(node.exitCode() == 0, node.readAllStandardError().constData());
        const QJsonObject inPage = QJsonDocument::fromJson(node.readAllStandardOutput()).object();

        FakeSurface surface;
        RecordingMusic music;
        GameLogic logic(GameFolder(root), surface, music);
        surface.logic = &logic;
        QTemporaryDir readerFolder;
        ReaderData reader(readerFolder.path());
        logic.setReader(&reader);
        QCOMPARE(logic.start(), GameLogic::StartResult::Playing);
        QMap<int, SavedPlace> saved;
        QJsonArray reached;
        for (const QString &command : commands.split(u' ', Qt::SkipEmptyParts)) {
            const int n = command.mid(1).toInt();
            if (command == "c") {
                if (logic.mode() == GameLogic::Mode::Auto)
                    logic.setMode(GameLogic::Mode::Normal);
                if (logic.boxHidden())
                    logic.setBoxHidden(false);
                else
                    surface.click();
            } else if (command[0] == u'r') {
                surface.runFor(n);
            } else if (command[0] == u's') {
                if (const auto place = logic.currentPlace())
                    saved.insert(n, *place);
            } else if (command[0] == u'l') {
                if (saved.contains(n))
                    logic.loadPlace(saved[n]);
            } else if (command == "A" || command == "S" || command == "N") {
                logic.setMode(command == "A"   ? GameLogic::Mode::Auto
                              : command == "S" ? GameLogic::Mode::Skip
                                               : GameLogic::Mode::Normal);
            } else if (command == "h") {
                logic.setBoxHidden(!logic.boxHidden());
            } else if (command[0] == u'b') {
                logic.goToScene(logic.backlog()[logic.backlog().size() - n].scene);
            } else if (command == "R") {
                logic.goToScene(0);
            } else if (command == "all") {
                ReaderSettings settings = logic.readerSettings();
                settings.skipAll = true;
                logic.setReaderSettings(settings);
            }
            reached.append(logic.ended() ? QJsonValue("end") : QJsonValue(logic.SceneIndex()));
        }
        QJsonArray backlog;
        for (const GameLogic::BacklogEntry &entry : logic.backlog())
            backlog.append(entry.scene);
        QCOMPARE(inPage["reached"].toArray(), reached);
        QCOMPARE(inPage["backlog"].toArray(), backlog);
    }

    // Texts of the game are shown as text, never taken as markup: the scenes' and the name,
    // which stands in the page's title.
    void gameTextsAreShownAsText()
    {
        const QString markup = QStringLiteral("<img src=x onerror=alert(1)>");
        const QString name = QStringLiteral("</title><b>名</b><script>document.title=1</script>");
        const QString root = m_dir.filePath("markup");
        makeGame(root, {markup, QStringLiteral("</script><b>粗</b>")});
        QVERIFY(
            WriteSettings(GameFolder(root), GameSettings{name, QString(), QString(),
                                                         QStringLiteral("10"), QStringLiteral("0")})
                .ok);
        const QString page = m_dir.filePath("markup-page");
        QCOMPARE(Publisher(GameFolder(root), page).run(), Publisher::Status::Published);
        QVERIFY(!TestUtil::readBytes(page + "/game.js").contains("</script>"));
        const QString shots = m_dir.filePath("shots-markup");
        QDir().mkpath(shots);
        QVERIFY(runBrowser(page, shots, "file"));
        const QJsonObject seen =
            QJsonDocument::fromJson(TestUtil::readBytes(shots + "/result.json")).object();
        QCOMPARE(seen["heard"].toArray()[0].toString(), markup);
        QCOMPARE(seen["heard"].toArray()[1].toString(), QStringLiteral("</script><b>粗</b>"));
        QCOMPARE(seen["title"].toString(), name);
        QCOMPARE(seen["name"].toString(), name);
        QCOMPARE(seen["elements"].toInt(), 0);
    }

private:
    // A game in the folder @p name of the scenes @p notes, each with its five codes, in the
    // font @p font (the desktop's when empty); made once.
    QString gameOf(const QString &name, const QStringList &notes, const QStringList &codes,
                   const QString &font)
    {
        const QString game = m_dir.filePath(name);
        if (QFileInfo::exists(game + "/Game.txt"))
            return game;
        makeGame(game, notes);
        SceneLists scenes;
        for (int i = 0; i < notes.size(); ++i)
            scenes.append(TestUtil::sceneWith(notes[i], "bg.jpg", "box.png",
                                              codes[i].toLatin1().constData()));
        const bool written =
            RewriteScript(GameFolder(game), scenes).ok &&
            WriteSettings(GameFolder(game), GameSettings{name, QString(), font,
                                                         QStringLiteral("10"), QStringLiteral("1")})
                .ok;
        return written ? game : QString();
    }

    // Latin letters, digits and Chinese quotation marks beside Chinese characters, in the
    // desktop's fonts, plain, bold, italic and all three.
    QString latinGame()
    {
        return gameOf(
            "latin",
            {QStringLiteral("灯塔 Lighthouse 建于1987年，“光”照亮了海湾。Version 2.0 (beta)…"),
             QStringLiteral("Bold 粗体 123 ABC xyz，灯塔 lighthouse"),
             QStringLiteral("Italic 斜体 456 — the quick brown fox"),
             QStringLiteral("The quick brown fox jumps over the lazy dog 0123456789, "
                            "敏捷的棕色狐狸跳过了懒狗。WiFi & GPS: 5G")},
            {"20002", "21202", "22112", "06410"}, QString());
    }

    // @p game published beside it, once; empty when it could not be.
    QString published(const QString &game)
    {
        const QString page = game + "-page";
        if (!game.isEmpty() && !QFileInfo::exists(page) &&
            Publisher(GameFolder(game), page).run() != Publisher::Status::Published)
            return {};
        return game.isEmpty() ? QString() : page;
    }

    // Runs `scriptwell --publish GAME OUT`: its exit status (-1 when it did not end), what it
    // said on standard error and what it listed on standard output.
    static int publishOnCommandLine(const QString &game, const QString &out, QString &error,
                                    QByteArray &listed)
    {
        QProcess scriptwell;
        scriptwell.start(QStringLiteral(SCRIPTWELL), {"--publish", game, out});
        if (!scriptwell.waitForFinished(60000))
            return -1;
        error = QString::fromLocal8Bit(scriptwell.readAllStandardError());
        listed = scriptwell.readAllStandardOutput();
        return scriptwell.exitCode();
    }

    bool runBrowser(const QString &page, const QString &shots, const QString &mode)
    {
        const QString node = QStandardPaths::findExecutable("node");
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (node.isEmpty() || chromium.isEmpty()) {
            qWarning("node and chromium are needed (tools/setup.sh installs them)");
            return false;
        }
        QProcess driver;
        driver.setProcessChannelMode(QProcess::ForwardedChannels);
        driver.start(node, {QStringLiteral(BROWSER_PLAY), chromium, page, shots, mode});
        if (!driver.waitForFinished(90000) || driver.exitCode() != 0) {
            qWarning("%s", TestUtil::readBytes(shots + "/result.json").constData());
            return false;
        }
        return true;
    }
};

QTEST_MAIN(TestPublish)
#include "tst_publish.moc"
