#include "backlogview.h"
#include "game.h"
#include "gamechooser.h"
#include "playerfakes.h"
#include "playertexts.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

namespace {

void picture(const QTemporaryDir &dir, const char *rel, QColor c, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    QDir().mkpath(QFileInfo(dir.filePath(QString::fromLatin1(rel))).absolutePath());
    img.save(dir.filePath(QString::fromLatin1(rel)));
}

SceneRec scene(const char16_t *note, const char *wz, const char *set, const char *size,
               const char *colour, const char *msgwz)
{
    SceneRec rec;
    rec.fields = {QString::fromUtf16(note),    QStringLiteral("bg.png"),  QStringLiteral("box.png"),
                  QString::fromLatin1(wz),     QString::fromLatin1(set),  QString::fromLatin1(size),
                  QString::fromLatin1(colour), QString::fromLatin1(msgwz)};
    return rec;
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingMusic m_music;
    RecordingMessages m_messages;

private slots:
    void initTestCase()
    {
        picture(m_dir, "BG/bg.png", QColor(200, 220, 240), QSize(638, 482));
        picture(m_dir, "BG/over.jpg", Qt::black, QSize(638, 482));
        picture(m_dir, "Msg/box.png", Qt::white, QSize(600, 120));
        SceneLists lists;
        lists.append(scene(u"第一个场景", "2", "1", "2", "2", "2"));
        lists.append(scene(u"第二个场景", "0", "3", "5", "1", "0"));
        lists.append(scene(u"第三个场景", "1", "4", "0", "0", "1"));
        const GameFolder folder(m_dir.path());
        QVERIFY(RewriteScript(folder, lists).ok);
        QVERIFY(WriteSettings(folder,
                              GameSettings{QStringLiteral("小游戏"), QStringLiteral("1.mid"),
                                           QString(), QStringLiteral("10"), QStringLiteral("1")})
                    .ok);
    }

    void windowShowsTheFirstSceneAndAdvancesOnRealClicks()
    {
        Game game(GameFolder(m_dir.path()), m_music, m_messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));

        QCOMPARE(game.windowTitle(), QStringLiteral("小游戏"));
        QCOMPARE(game.size(), QSize(638, 482));
        QVERIFY(!(game.windowFlags() & Qt::WindowMaximizeButtonHint));
        for (const char *name : {"BgPic", "MsgPic", "GameNote", "WordTimer"})
            QVERIFY2(game.findChild<QObject *>(QString::fromLatin1(name)), name);

        QLabel *note = game.GameNote();
        QCOMPARE(note->text(), QStringLiteral("第一个场景"));
        QCOMPARE(note->geometry(), QRect(24, 352, 580, 92));
        QVERIFY(note->font().bold() && !note->font().italic());
        QCOMPARE(note->font().pointSize(), 18);
        QCOMPARE(note->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(game.MsgPic()->geometry(), QRect(16, 336, 600, 120));

        // Screen readers hear the text itself and a pressable "next" control.
        QAccessibleInterface *noteAcc = QAccessible::queryAccessibleInterface(note);
        QCOMPARE(noteAcc->text(QAccessible::Name), QStringLiteral("第一个场景"));
        QAccessibleInterface *boxAcc = QAccessible::queryAccessibleInterface(game.MsgPic());
        QCOMPARE(boxAcc->role(), QAccessible::Button);
        QCOMPARE(boxAcc->text(QAccessible::Name), QStringLiteral("下一个"));

        // A click on the text (which lies over the box) reaches the box.
        QTest::mouseClick(game.windowHandle(), Qt::LeftButton, {}, QPoint(100, 360));
        QCOMPARE(game.logic().SceneIndex(), 1);
        QCOMPARE(note->text(), QString());
        QVERIFY(!game.MsgPic()->isEnabled());
        QVERIFY(game.WordTimer()->isActive());
        QCOMPARE(game.WordTimer()->interval(), 10);
        QCOMPARE(note->y(), 32);
        QCOMPARE(game.MsgPic()->y(), 16);
        QVERIFY(note->font().underline() && !note->font().bold());
        QCOMPARE(note->font().pointSize(), 24);
        QCOMPARE(note->palette().color(QPalette::WindowText), QColor(255, 255, 255));

        QTest::mouseClick(game.MsgPic(), Qt::LeftButton); // disabled during the reveal
        QCOMPARE(game.logic().SceneIndex(), 1);
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        QCOMPARE(note->text(), QStringLiteral("第二个场景"));
        QVERIFY(!game.WordTimer()->isActive());

        QTest::mouseClick(game.MsgPic(), Qt::LeftButton);
        QCOMPARE(note->y(), 168);
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        QVERIFY(note->font().bold() && note->font().italic());
        QCOMPARE(note->font().pointSize(), 14);

        QTest::mouseClick(game.MsgPic(), Qt::LeftButton);
        QVERIFY(game.logic().ended());
        QVERIFY(game.MsgPic()->isHidden());
        QCOMPARE(note->text(), QString());
        QCOMPARE(game.BgPic()->picture().pixelColor(5, 5), QColor(Qt::black));
        QCOMPARE(m_music.commands.last(), QStringLiteral("close Music\\1.mid"));
        QVERIFY(m_messages.shown.isEmpty());

        // A click at the closing picture opens the reader's menu, offering the ways on.
        QTest::mouseClick(game.BgPic(), Qt::LeftButton, {}, QPoint(300, 100));
        QMenu *menu = game.readerMenu();
        QVERIFY(menu && menu->isVisible());
        QMap<QString, QAction *> offered;
        for (QAction *action : menu->actions()) {
            if (action->isEnabled() && !action->isSeparator())
                offered.insert(action->text().section(u'\t', 0, 0), action);
        }
        for (const char16_t *name : {u"回到开头", u"读档", u"退出"})
            QVERIFY2(offered.contains(QString::fromUtf16(name)),
                     qPrintable(offered.keys().join(u' ')));
        QVERIFY(!offered.contains(QStringLiteral("存档"))); // nothing left to save
        m_messages.answers = {true};
        offered.value(QStringLiteral("回到开头"))->trigger();
        QVERIFY(!game.logic().ended());
        QCOMPARE(game.logic().SceneIndex(), 0);
        QVERIFY(game.MsgPic()->isVisible());
    }

    void messageBoxIsDrawnAtFortyPercentOverTheBackground()
    {
        Game game(GameFolder(m_dir.path()), m_music, m_messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        // White at 40 % over (200, 220, 240), inside the box and clear of the text.
        const QColor drawn = game.grab().toImage().pixelColor(610, 452);
        const QColor expected(222, 234, 246);
        QVERIFY2(qAbs(drawn.red() - expected.red()) <= 1 &&
                     qAbs(drawn.green() - expected.green()) <= 1 &&
                     qAbs(drawn.blue() - expected.blue()) <= 1,
                 qPrintable(drawn.name()));
    }

    void builtInRevealIntervalIs300ms_data()
    {
        QTest::addColumn<QByteArray>("ini"); // empty: no Game.ini
        QTest::newRow("no Game.ini") << QByteArray();
        QTest::newRow("empty speed value") << QByteArray("\"n\",\"\",\"\",\"\",\"0\"\r\n");
    }
    void builtInRevealIntervalIs300ms()
    {
        QFETCH(QByteArray, ini);
        QTemporaryDir dir;
        picture(dir, "BG/bg.png", Qt::gray, QSize(638, 482));
        picture(dir, "Msg/box.png", Qt::white, QSize(600, 120));
        SceneLists lists;
        lists.append(scene(u"x", "2", "0", "0", "0", "2"));
        QVERIFY(RewriteScript(GameFolder(dir.path()), lists).ok);
        if (!ini.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("Game.ini")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(ini);
        }
        Game game(GameFolder(dir.path()), m_music, m_messages);
        QVERIFY(game.start());
        QCOMPARE(game.WordTimer()->interval(), 300);
    }

    void refusedBeforeAnythingShows_data()
    {
        QTest::addColumn<QString>("folder"); // the test's game, or an empty one
        QTest::addColumn<QByteArray>("ini"); // written into an empty one; empty: none
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a scene past the last")
            << "game" << QByteArray() << "4" << 2 << QByteArray("没有第4个场景");
        QTest::newRow("scene 0") << "game" << QByteArray() << "0" << 2 << QByteArray("--scene");
        QTest::newRow("no game") << "empty" << QByteArray() << "" << 1 << QByteArray("没有游戏");
        QTest::newRow("no scene yet") << "empty" << QByteArray("\"g\",\"\",\"\",\"100\",\"0\"\r\n")
                                      << "" << 1 << QByteArray("还没有场景");
    }
    void refusedBeforeAnythingShows()
    {
        QFETCH(QString, folder);
        QFETCH(QByteArray, ini);
        QFETCH(QString, scene);
        QFETCH(int, status);
        QFETCH(QByteArray, message);
        QTemporaryDir empty;
        if (!ini.isEmpty())
            TestUtil::writeBytes(empty.filePath(QStringLiteral("Game.ini")), ini);
        QProcess player;
        QTemporaryDir runtime; // so that Qt has nothing of its own to say on stderr
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        player.setProcessEnvironment(env);
        QStringList arguments{folder == u"game" ? m_dir.path() : empty.path()};
        if (!scene.isEmpty())
            arguments = QStringList{QStringLiteral("--scene"), scene} + arguments;
        player.start(QStringLiteral(TALERUN), arguments);
        QVERIFY(player.waitForFinished(30000));
        QCOMPARE(player.exitCode(), status);
        const QByteArray error = player.readAllStandardError();
        QVERIFY2(error.startsWith("talerun: ") && error.count('\n') == 1 && error.contains(message),
                 error.constData());
    }

    void folderNamedInWindowsBytesIsNamedWithItsFix()
    {
        QTemporaryDir parent;
        const QByteArray game = QFile::encodeName(parent.path()) + "/\xba\xa3\xb1\xdf"; // 海边
        QCOMPARE(::mkdir(game.constData(), 0700), 0);
        QProcess player;
        // The folder's bytes as the system holds them: no QString can carry them to a process.
        player.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("exec \"$0\" \"$(printf '%s/\\272\\243\\261\\337' \"$1\")\""),
                      QStringLiteral(TALERUN), parent.path()});
        QVERIFY(player.waitForFinished(30000));
        ::rmdir(game.constData()); // QTemporaryDir cannot spell it
        QCOMPARE(player.exitCode(), 2);
        const QString error = QString::fromUtf8(player.readAllStandardError());
        QVERIFY2(error.contains(QStringLiteral("“海边”是Windows中文编码")) &&
                     error.contains(QStringLiteral("mv $'\\xba\\xa3\\xb1\\xdf' '海边'")),
                 qPrintable(error));
    }

    // A quick save keeps a small picture of the scene and loads back to it; saving over a slot
    // asks first, and a "no" keeps the old save.
    void savesKeepAPictureAndOverwritingAsks()
    {
        QTemporaryDir reader;
        RecordingMessages messages;
        Game game(GameFolder(m_dir.path()), m_music, messages);
        game.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        game.MsgPic()->click();
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(game.saveSlot(ReaderData::kQuickSlot));
        qInfo("quick save with its picture: %lld ms", clock.elapsed());
        const QImage picture =
            QImage::fromData(game.readerData()->slot(ReaderData::kQuickSlot)->picture);
        QCOMPARE(picture.size(), QSize(Game::kThumbWidth, Game::kThumbHeight));
        QCOMPARE(picture.pixelColor(2, 2), QColor(200, 220, 240)); // the scene's background

        QVERIFY(game.logic().goToScene(0));
        QVERIFY(game.loadSlot(ReaderData::kQuickSlot));
        QCOMPARE(game.logic().SceneIndex(), 1);
        QCOMPARE(game.GameNote()->text(), QStringLiteral("第二个场景"));

        // Slot 1 holds scene 2; saving scene 1 over it is refused when the reader says no.
        QVERIFY(game.saveSlot(1));
        QVERIFY(game.logic().goToScene(0));
        messages.answers = {false};
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            auto *slot = QApplication::activeModalWidget()->findChild<QToolButton *>(
                QStringLiteral("slot1"));
            QVERIFY(slot);
            QVERIFY(slot->text().startsWith(QStringLiteral("第1个 第2个场景\n")));
            QVERIFY(slot->text().contains(QStringLiteral("第二个场景")));
            slot->click();
        });
        game.chooseSlot(true);
        QCOMPARE(messages.asked, QStringList{QStringLiteral("存档|第1个已经有存档,要覆盖它吗?")});
        QCOMPARE(game.readerData()->slot(1)->scene, 1);
    }

    // The backlog lists the scenes read, newest at the bottom, as a list a screen reader reads;
    // Esc closes it.
    void backlogListsTheScenesRead()
    {
        Game game(GameFolder(m_dir.path()), m_music, m_messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        game.MsgPic()->click();
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        QTest::keyClick(game.MsgPic(), Qt::Key_PageUp);
        BacklogView *list = game.backlogView();
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("第1个场景:第一个场景"));
        QCOMPARE(list->currentRow(), 1);
        QTest::keyClick(list, Qt::Key_PageUp); // scrolls the list, and leaves it open
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(list->isVisible());
        QAccessibleInterface *acc = QAccessible::queryAccessibleInterface(list);
        QCOMPARE(acc->role(), QAccessible::List);
        QCOMPARE(acc->text(QAccessible::Name), QStringLiteral("回顾"));
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(game.logic().SceneIndex(), 1);

        // A click on an entry's text closes; its button goes back to it, asking first: "no"
        // stays, "yes" shows that scene whole.
        RecordingMessages &messages = m_messages;
        messages.asked.clear();
        messages.answers = {false, true};
        game.showBacklog();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).topLeft() + QPoint(20, 10));
        QVERIFY(!list->isVisible());
        QVERIFY(messages.asked.isEmpty());
        for (int answer = 0; answer < 2; ++answer) {
            game.showBacklog();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->backButton(0).center());
        }
        QCOMPARE(messages.asked.size(), 2);
        QCOMPARE(messages.asked.first(), QStringLiteral("回顾|回到第1个场景吗?"));
        QCOMPARE(game.logic().SceneIndex(), 0);
        QCOMPARE(game.GameNote()->text(), QStringLiteral("第一个场景"));
        QVERIFY(!list->isVisible());
    }

    // The middle button hides the box and its text; a key brings them back without advancing,
    // and then keys advance again as before.
    void middleClickHidesTheBoxAndAKeyShowsIt()
    {
        Game game(GameFolder(m_dir.path()), m_music, m_messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        QTest::mouseClick(game.MsgPic(), Qt::MiddleButton, {}, QPoint(10, 10));
        QVERIFY(!game.MsgPic()->isVisible());
        QVERIFY(!game.GameNote()->isVisible());
        QTest::keyClick(&game, Qt::Key_Space);
        QVERIFY(game.MsgPic()->isVisible());
        QVERIFY(game.GameNote()->isVisible());
        QCOMPARE(game.logic().SceneIndex(), 0);
        QTest::keyClick(game.MsgPic(), Qt::Key_Space);
        QCOMPARE(game.logic().SceneIndex(), 1);
    }

    // Auto shows that it runs, moves on by itself once the text is shown, and any key stops it.
    void autoRunsUntilAKeyStopsIt()
    {
        Game game(GameFolder(m_dir.path()), m_music, m_messages);
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        game.logic().setMode(GameLogic::Mode::Auto);
        QVERIFY(game.modeLabel()->isVisible());
        QCOMPARE(game.modeLabel()->text(), QStringLiteral("自动播放"));
        QTRY_COMPARE_WITH_TIMEOUT(game.logic().SceneIndex(), 1, 10000);
        QTest::keyClick(&game, Qt::Key_Right);
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Normal);
        QVERIFY(!game.modeLabel()->isVisible());
        QCOMPARE(game.logic().SceneIndex(), 1);
    }

    // What the reader sets in 设置 reaches the music and the reveal at once, and is remembered
    // for the next game played.
    void settingsAreAppliedAndRemembered()
    {
        QTemporaryDir reader;
        RecordingMusic music;
        Game game(GameFolder(m_dir.path()), music, m_messages);
        game.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        QTimer::singleShot(0, this, [] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget *dialog = QApplication::activeModalWidget();
            QCOMPARE(dialog->objectName(), QStringLiteral("ReaderSettings"));
            const auto boxes = dialog->findChildren<QComboBox *>();
            QCOMPARE(boxes.size(), 2);
            boxes.first()->setCurrentIndex(boxes.first()->findData(200)); // text twice as fast
            dialog->findChild<QSlider *>()->setValue(30);
            for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
                box->setChecked(box->text().startsWith(QStringLiteral("静音")));
            static_cast<QDialog *>(dialog)->accept();
        });
        game.openSettings();
        QCOMPARE(music.commands.last(), QStringLiteral("volume 0"));
        QCOMPARE(game.WordTimer()->interval(), 5);

        RecordingMusic later;
        Game next(GameFolder(m_dir.path()), later, m_messages);
        next.useReaderData(reader.filePath(QStringLiteral("other")), reader.path());
        QCOMPARE(next.logic().readerSettings().volume, 30);
        QVERIFY(next.logic().readerSettings().mute);
        QCOMPARE(later.commands, QStringList{QStringLiteral("volume 0")});
    }

    // "继续" in the chooser is there for a game played before, and says to continue it.
    // The reader's place reaches the disk a moment after a scene shows, while the game stays
    // open (a crash later loses nothing); a place that cannot be written is said, not hidden.
    void placeIsKeptWhilePlayingOrItsFailureSaid_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("kept") << false;
        QTest::newRow("folder taken by a file") << true;
    }
    void placeIsKeptWhilePlayingOrItsFailureSaid()
    {
        QFETCH(bool, blocked);
        QTemporaryDir reader;
        const QString folder = reader.filePath(QStringLiteral("game"));
        if (blocked)
            QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        Game game(GameFolder(m_dir.path()), m_music, m_messages);
        game.useReaderData(folder, reader.path());
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        game.MsgPic()->click();
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        const auto said = [&game] {
            return game.noticeLabel() && game.noticeLabel()->isVisible() &&
                   game.noticeLabel()->text().startsWith(PlayerTexts::kPlaceNotKept);
        };
        if (blocked) {
            QTRY_VERIFY(said());
        } else {
            QTRY_COMPARE(ReaderData(folder).lastScene(), 1);
            QVERIFY(!said());
        }
    }

    // While skip passes over scenes (or the reader clicks fast), the place reaches the disk a
    // moment after the first new scene, not only once the scenes stop changing.
    void placeIsKeptWhileScenesKeepChanging()
    {
        QTemporaryDir dir;
        picture(dir, "BG/bg.png", Qt::gray, QSize(638, 482));
        picture(dir, "Msg/box.png", Qt::white, QSize(600, 120));
        constexpr int kScenes = 60; // a second's place timer and more under skip
        SceneLists lists;
        for (int i = 0; i < kScenes; ++i)
            lists.append(scene(u"看过的", "2", "0", "0", "0", "2"));
        QVERIFY(RewriteScript(GameFolder(dir.path()), lists).ok);
        QTemporaryDir reader;
        const QString folder = reader.filePath(QStringLiteral("game"));
        {
            ReaderData before(folder); // every scene seen, the place at the first
            for (int i = kScenes - 1; i >= 0; --i)
                before.sceneShown(i);
        }
        Game game(GameFolder(dir.path()), m_music, m_messages);
        game.useReaderData(folder, reader.path());
        QVERIFY(game.start());
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        game.logic().setMode(GameLogic::Mode::Skip);
        QTRY_VERIFY_WITH_TIMEOUT(ReaderData(folder).lastScene() > 0,
                                 (kScenes - 1) * GameLogic::kSkipPause);
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Skip); // and skip still runs
    }

    void chooserOffersContinueForAGamePlayedBefore()
    {
        QTemporaryDir other;
        GameChooser chooser(Startup::Program::Player, {m_dir.path(), other.path()}, QString());
        chooser.offerContinue([&](const QString &folder) { return folder == m_dir.path(); });
        auto *resume = chooser.findChild<QPushButton *>(QStringLiteral("continue"));
        QVERIFY(resume);
        QVERIFY(resume->isEnabled());
        chooser.findChild<QListWidget *>(QStringLiteral("recent"))->setCurrentRow(1);
        QVERIFY(!resume->isEnabled());
        chooser.findChild<QListWidget *>(QStringLiteral("recent"))->setCurrentRow(0);
        resume->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.action(), GameChooser::Action::Continue);
        QCOMPARE(chooser.folder(), m_dir.path());
    }

    void missingPictureShowsItsMessageAndEndsStartUp()
    {
        QTemporaryDir dir;
        SceneLists lists;
        lists.append(scene(u"x", "2", "0", "0", "0", "2"));
        QVERIFY(RewriteScript(GameFolder(dir.path()), lists).ok);
        RecordingMessages messages;
        Game game(GameFolder(dir.path()), m_music, messages);
        QVERIFY(!game.start());
        QCOMPARE(messages.shown,
                 QStringList{QStringLiteral("提示|加载错误，没有找到Msg\\box.png")});
        QCOMPARE(game.windowTitle(),
                 QStringLiteral("Tavrin文字游戏工具 http://www.tavrin.example"));
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
