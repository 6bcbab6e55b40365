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
    // at each scene: the same pixels within a few, the first and last character of the text in
    // the same place, the same words for a screen reader, the music started by the first click.
    // The demo, and a game whose long texts wrap over lines in every size and style.
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
    }
    void pagePlaysAsThePlayer()
    {
        QFETCH(QString, game);
        QFETCH(QString, mode);
        QFETCH(double, maxShare);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
        QString page = m_demoPage;
        if (game == "wrapped") {
            game = m_dir.filePath("wrapped");
            const QString text = QStringLiteral(
                "灯塔的光穿过浓雾 (the light went through the fog), 渔船一条接一条回到港口，"
                "岸上的人们举着灯笼欢呼，孩子们在石阶上奔跑，老人们说这是三十年来最亮的一夜。");
            makeGame(game, {text, text.left(60), text.mid(7), text.left(90)});
            SceneLists scenes = LoadScript(GameFolder(game)).scenes;
            const char *codes[] = {"05510", "16421", "24312", "01002"};
            for (int i = 0; i < scenes.count(); ++i) {
                SceneRec scene = scenes.scene(i);
                for (int k = 0; k < 5; ++k)
                    scene.fields[3 + k] = QString(QChar::fromLatin1(codes[i][k]));
                scenes.replace(i, scene);
            }
            QVERIFY(RewriteScript(GameFolder(game), scenes).ok);
            // The page draws every character in the game's one font; a game without one is
            // drawn by the player in the desktop's Latin font beside its Chinese one.
            QVERIFY(WriteSettings(GameFolder(game),
                                  GameSettings{QStringLiteral("换行"), QString(),
                                               QStringLiteral("文泉驿微米黑"), QStringLiteral("10"),
                                               QStringLiteral("1")})
                        .ok);
            page = m_dir.filePath("wrapped-page");
            QCOMPARE(Publisher(GameFolder(game), page).run(), Publisher::Status::Published);
        }
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
        const QJsonArray data = gameData(page)["scenes"].toArray();
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
