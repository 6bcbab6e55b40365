// The editor's preview draws a scene exactly as the player's window does.
#include "editorfakes.h"
#include "game.h"
#include "gameset.h"
#include "playerfakes.h"
#include "scenepreview.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "stage.h"
#include "testutil.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

void picture(const QTemporaryDir &dir, const char *rel, QColor c, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    // Some detail, so that a picture drawn out of place shows.
    for (int y = 0; y < size.height(); y += 7)
        for (int x = (y * 3) % 11; x < size.width(); x += 11)
            img.setPixelColor(x, y, c.darker(150));
    QDir().mkpath(QFileInfo(dir.filePath(QString::fromLatin1(rel))).absolutePath());
    img.save(dir.filePath(QString::fromLatin1(rel)));
}

SceneRec scene(const char16_t *note, const char *codes)
{
    return TestUtil::sceneWith(QString::fromUtf16(note), QStringLiteral("bg.png"),
                               QStringLiteral("box.png"), codes);
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    GameFolder folder() const { return GameFolder(m_dir.path()); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear(); // what an earlier run remembered
        picture(m_dir, "BG/bg.png", QColor(90, 140, 200), QSize(638, 482));
        picture(m_dir, "Msg/box.png", QColor(250, 240, 220), QSize(600, 120));
    }

    void previewAndPlayerDrawTheSamePixels_data()
    {
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("codes"); // text position, style, size, colour, box position
        QTest::newRow("bottom, plain") << ""
                                       << "20002";
        QTest::newRow("middle, bold italic, large, red") << "WenQuanYi Micro Hei"
                                                         << "14521";
        QTest::newRow("top, underlined, white") << ""
                                                << "03310";
    }
    void previewAndPlayerDrawTheSamePixels()
    {
        QFETCH(QString, font);
        QFETCH(QString, codes);
        SceneLists lists;
        lists.append(scene(u"灯塔又亮了起来，照着回家的船。Light again.", qPrintable(codes)));
        QVERIFY(RewriteScript(folder(), lists).ok);
        QVERIFY(WriteSettings(folder(), GameSettings{QStringLiteral("t"), QString(), font,
                                                     QStringLiteral("100"), QStringLiteral("0")})
                    .ok);

        RecordingMusic music;
        RecordingMessages messages;
        Game game(folder(), music, messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        const QImage played = game.findChild<Stage *>()->grab().toImage();

        ScenePreview preview;
        preview.resize(Stage::kWidth, Stage::kHeight);
        preview.showScene(folder(), lists.scene(0), font);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        const QImage previewed = preview.stage()->grab().toImage();
        QCOMPARE(previewed.size(), QSize(Stage::kWidth, Stage::kHeight));
        QVERIFY(previewed == played);
    }

    void previewKeepsProportionsAndLabelsMissingPictures()
    {
        ScenePreview preview;
        preview.resize(1276, 600);
        SceneRec missing = scene(u"x", "22222");
        missing[SceneField::BG] = QStringLiteral("nowhere.jpg");
        preview.showScene(folder(), missing, QString());
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        Stage *stage = preview.stage();
        QCOMPARE(stage->size(), QSize(qRound(638 * 600 / 482.0), 600));
        QCOMPARE(stage->x(), (1276 - stage->width()) / 2);
        QCOMPARE(stage->BgPic()->picture().size(), QSize(638, 482));
        QCOMPARE(stage->BgPic()->picture(),
                 Stage::missingPicture(QSize(638, 482), QStringLiteral("BG\\nowhere.jpg")));
        QCOMPARE(stage->MsgPic()->picture().size(), QSize(600, 120)); // box.png is there
    }

    void editsRedrawThePreviewAtOnceAndItsStateIsRemembered()
    {
        SceneLists lists;
        lists.append(scene(u"one", "20002"));
        QVERIFY(RewriteScript(folder(), lists).ok);
        RecordingMessages messages;
        ScriptedPicker picker;
        RecordingWeb web;
        {
            GameSet window(folder(), {messages, picker, web});
            window.start();
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QVERIFY(!window.preview());
            window.findChild<QPushButton *>(QStringLiteral("StartRec"))->click();
            QTest::keyClick(&window, Qt::Key_F2);
            QVERIFY(window.preview() && window.preview()->isVisible());
            QLabel *note = window.preview()->stage()->GameNote();
            QCOMPARE(note->text(), QStringLiteral("one"));
            window.findChild<QPushButton *>(QStringLiteral("SetRec"))->click();
            window.findChild<QComboBox *>(QStringLiteral("SetFontSize"))->setCurrentIndex(5);
            // Before the commit; at the size the preview has beside the editor.
            QCOMPARE(qRound(note->font().pointSizeF() / window.preview()->stage()->scale()), 24);
            window.findChild<QLineEdit *>(QStringLiteral("BgUrlText"))
                ->setText(QStringLiteral("gone.png"));
            QCOMPARE(window.preview()->stage()->BgPic()->picture(),
                     Stage::missingPicture(QSize(638, 482), QStringLiteral("BG\\gone.png")));
            window.findChild<QLineEdit *>(QStringLiteral("MsgUrlText"))
                ->setText(QStringLiteral("lost.png"));
            QCOMPARE(window.preview()->stage()->MsgPic()->picture(),
                     Stage::missingPicture(QSize(600, 120), QStringLiteral("Msg\\lost.png")));
            window.preview()->move(40, 50);
            messages.unsavedAnswers = {UnsavedChoice::Discard}; // the Modify still waits
            QVERIFY(window.close());
        }
        GameSet again(folder(), {messages, picker, web});
        again.start();
        QVERIFY(again.preview() && again.preview()->isVisible()); // open as it was left
        QCOMPARE(again.preview()->pos(), QPoint(40, 50));
        again.show();
        again.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&again));
        QTest::keyClick(&again, Qt::Key_F2);
        QVERIFY(!again.preview()->isVisible());
        GameSet third(folder(), {messages, picker, web});
        third.start();
        QVERIFY(!third.preview());
        QVERIFY(messages.shown.isEmpty());
    }

    void playFromHereStartsThePlayerAtTheSceneShown()
    {
        SceneLists lists;
        lists.append(scene(u"one", "20002"));
        lists.append(scene(u"two", "20002"));
        QVERIFY(RewriteScript(folder(), lists).ok);
        RecordingMessages messages;
        ScriptedPicker picker;
        RecordingWeb web;
        QStringList started;
        EditorPlatform platform{messages, picker, web};
        platform.launch = [&](const QString &program, const QStringList &arguments) {
            started = QStringList{program} + arguments;
            return true;
        };
        GameSet window(folder(), platform);
        window.start();
        window.playFromHere(); // no scene shown yet: the first
        QCOMPARE(started.mid(1), (QStringList{"--scene", "1", m_dir.path()}));
        QVERIFY(QFileInfo(started.first()).fileName() == QStringLiteral("talerun"));
        window.findChild<QPushButton *>(QStringLiteral("LastRec"))->click();
        window.playFromHere();
        QCOMPARE(started.at(2), QStringLiteral("2"));
        platform.launch = [](const QString &, const QStringList &) { return false; };
        GameSet failing(folder(), platform);
        failing.start();
        failing.playFromHere();
        QCOMPARE(messages.shown.size(), 1);
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
