#include "fontsubset.h"
#include "game.h"
#include "pagescenes.h"
#include "playerfakes.h"
#include "publisher.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

QJsonObject gameData(const QString &page)
{
    QByteArray script = TestUtil::readBytes(page + "/game.js");
    script = script.mid(script.indexOf('{'));
    script.truncate(script.lastIndexOf('}') + 1);
    script.replace("<\\/", "</");
    return QJsonDocument::fromJson(script).object();
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
        QProcess scriptwell;
        scriptwell.start(QStringLiteral(SCRIPTWELL), {"--publish", game, out});
        QVERIFY(scriptwell.waitForFinished(60000));
        const QString error = QString::fromLocal8Bit(scriptwell.readAllStandardError());
        QCOMPARE(scriptwell.exitCode(), status);
        QVERIFY2(error.contains(said), qPrintable(error));
        QCOMPARE(QFileInfo::exists(out + "/index.html"), status == 0);
        if (status == 0)
            QVERIFY(scriptwell.readAllStandardOutput().contains("font.woff2"));
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

    void fontHoldsExactlyTheGamesCharacters()
    {
        const QJsonObject data = gameData(m_demoPage);
        QSet<char32_t> used;
        for (char32_t c : data["name"].toString().toUcs4())
            used.insert(c);
        for (const QJsonValue scene : data["scenes"].toArray()) {
            for (char32_t c : scene["text"].toString().toUcs4())
                used.insert(c);
        }
        QList<char32_t> expected(used.begin(), used.end());
        std::sort(expected.begin(), expected.end());
        const QList<char32_t> held =
            FontSubset::characters(TestUtil::readBytes(m_demoPage + "/font.woff2"));
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
        QVERIFY(names.contains("index.html") && names.contains("tale.js") &&
                names.contains("game.js") && names.contains("font.woff2") &&
                names.contains("Music/1.mp3") && names.contains("BG/over.jpg"));
        QCOMPARE(names.filter(QRegularExpression("^(BG|Msg|Music)/")).size(), names.size() - 4);
    }

    void largestGamePublishesQuickly()
    {
        const QString root = m_dir.filePath("large");
        QStringList notes;
        for (int i = 0; i < kMaxScenes; ++i)
            notes.append(QStringLiteral("第%1个场景,海风吹过灯塔。").arg(i + 1));
        makeGame(root, notes);
        QElapsedTimer clock;
        clock.start();
        Publisher publisher{GameFolder(root), m_dir.filePath("large-page")};
        QCOMPARE(publisher.run(), Publisher::Status::Published);
        qInfo("4095 scenes published in %lld ms", clock.elapsed());
        QVERIFY(clock.elapsed() < 10000);
        const QJsonArray scenes = gameData(m_dir.filePath("large-page"))["scenes"].toArray();
        QCOMPARE(scenes.size(), kMaxScenes);
        QCOMPARE(scenes.last()["text"].toString(), notes.last());
    }

    // The page in a browser, from the disk and from a web server, against the player's window
    // at each scene: the same pixels within a few, the text in the same place, the same words
    // for a screen reader, the music started by the first click.
    void pagePlaysAsThePlayer_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("file") << "file";
        QTest::newRow("http") << "http";
    }
    void pagePlaysAsThePlayer()
    {
        QFETCH(QString, mode);
        const QString shots = m_dir.filePath("shots-" + mode);
        QDir().mkpath(shots);
        QVERIFY(runBrowser(m_demoPage, shots, mode));
        const QJsonObject seen =
            QJsonDocument::fromJson(TestUtil::readBytes(shots + "/result.json")).object();
        qInfo("%s: first screen after %d ms, page loaded after %d ms, first scene %d ms after "
              "the click",
              qPrintable(mode), seen["coverMs"].toInt(), seen["pageLoadMs"].toInt(),
              seen["firstSceneMs"].toInt());
        QVERIFY(seen["audioStarted"].toBool());
        QVERIFY(!seen["audioAtEnd"].toBool());

        RecordingMusic music;
        RecordingMessages messages;
        Game game(GameFolder(QStringLiteral(DEMO_DIR)), music, messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        const QJsonArray heard = seen["heard"].toArray();
        const int count = LoadScript(GameFolder(QStringLiteral(DEMO_DIR))).scenes.count();
        QCOMPARE(heard.size(), count + 1);
        for (int i = 0; i <= count; ++i) {
            while (game.WordTimer()->isActive())
                game.logic().RevealTick();
            const QImage player = game.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const bool ending = i == count;
            const QImage page =
                QImage(shots + (ending ? QString("/end.png") : QString("/scene-%1.png").arg(i)))
                    .convertToFormat(QImage::Format_RGB32);
            QCOMPARE(page.size(), player.size());
            const double share = differingShare(page, player);
            QVERIFY2(
                share <= 0.02,
                qPrintable(QString("scene %1: %2 % of pixels differ").arg(i).arg(share * 100)));
            const QString expectedHeard =
                ending ? QStringLiteral("终。游戏结束了，可以关闭窗口。") : game.GameNote()->text();
            QCOMPARE(heard[i].toString(), expectedHeard);
            if (!ending) {
                game.GameNote()->hide();
                const QImage plain = game.grab().toImage().convertToFormat(QImage::Format_RGB32);
                game.GameNote()->show();
                const QRect area = game.GameNote()->geometry();
                const QRect inPlayer = inkBox(player, plain, area);
                const QRect inPage = inkBox(page, plain, area);
                qInfo("scene %d: %.2f %% of pixels differ; text %d,%d–%d,%d in the player, "
                      "%d,%d–%d,%d on the page",
                      i, share * 100, inPlayer.left(), inPlayer.top(), inPlayer.right(),
                      inPlayer.bottom(), inPage.left(), inPage.top(), inPage.right(),
                      inPage.bottom());
                const auto near = [](int a, int b) { return qAbs(a - b) <= 2; };
                QVERIFY2(near(inPlayer.left(), inPage.left()) &&
                             near(inPlayer.top(), inPage.top()) &&
                             near(inPlayer.right(), inPage.right()) &&
                             near(inPlayer.bottom(), inPage.bottom()),
                         qPrintable(QString("scene %1: text at %2,%3 %4×%5 in the player, "
                                            "%6,%7 %8×%9 on the page")
                                        .arg(i)
                                        .arg(inPlayer.x())
                                        .arg(inPlayer.y())
                                        .arg(inPlayer.width())
                                        .arg(inPlayer.height())
                                        .arg(inPage.x())
                                        .arg(inPage.y())
                                        .arg(inPage.width())
                                        .arg(inPage.height())));
                game.logic().AdvanceScene();
            }
        }
    }

    void sceneTextIsShownAsText()
    {
        const QString markup = QStringLiteral("<img src=x onerror=alert(1)>");
        const QString root = m_dir.filePath("markup");
        makeGame(root, {markup, QStringLiteral("</script><b>粗</b>")});
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
        QCOMPARE(seen["elements"].toInt(), 0);
    }

private:
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
