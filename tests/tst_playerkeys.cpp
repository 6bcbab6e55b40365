// The player for everyone: keys that act as a click, each scene said once by screen readers, and
// larger windows. Runs under Xvfb with a window manager (full screen needs one).
#include "backlogview.h"
#include "game.h"
#include "playerfakes.h"
#include "playertexts.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "windowplacement.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// What a screen reader is told to say, and where the keyboard focus stood then: each
// announcement, or before Qt 6.8 each notification that shows, with its text.
QList<std::pair<QObject *, QString>> g_announcements;
void recordAnnouncements(QAccessibleEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement) {
        g_announcements.append({QApplication::focusWidget(),
                                static_cast<QAccessibleAnnouncementEvent *>(event)->message()});
        return;
    }
#endif
    QAccessibleInterface *iface = event->accessibleInterface();
    if (event->type() == QAccessible::ObjectShow && iface &&
        iface->role() == QAccessible::Notification)
        g_announcements.append({QApplication::focusWidget(), iface->text(QAccessible::Name)});
}

SceneRec scene(const QString &note)
{
    SceneRec rec;
    rec.fields = {note,
                  QStringLiteral("bg.png"),
                  QStringLiteral("box.png"),
                  QStringLiteral("2"),
                  QStringLiteral("0"),
                  QStringLiteral("0"),
                  QStringLiteral("0"),
                  QStringLiteral("2")};
    return rec;
}

} // namespace

class TestPlayerKeys : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QTemporaryDir m_settings;
    RecordingMusic m_music;
    RecordingMessages m_messages;
    GameFolder folder() const { return GameFolder(m_dir.path()); }

    void writeGame(const char *skip)
    {
        SceneLists lists;
        for (const QString &note : {QStringLiteral("第一幕"), QStringLiteral("第二幕"),
                                    QStringLiteral("第二幕"), QStringLiteral("第四幕")})
            lists.append(scene(note));
        QVERIFY(RewriteScript(folder(), lists).ok);
        QVERIFY(
            WriteSettings(folder(), GameSettings{QStringLiteral("键盘"), QString(), QString(),
                                                 QStringLiteral("20"), QString::fromLatin1(skip)})
                .ok);
    }
    static void showActive(Game &game)
    {
        game.show();
        game.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&game));
    }
    static void press(QWidget *target, Qt::Key key, bool autoRepeat = false)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(target, &down);
        QApplication::sendEvent(target, &up);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Settings of this run's own: runs at once on one machine would clear each other's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings().clear();
        for (const auto &[rel, size] :
             {std::pair{"BG/bg.png", QSize(638, 482)}, std::pair{"Msg/box.png", QSize(600, 120)}}) {
            QImage img(size, QImage::Format_RGB32);
            img.fill(Qt::gray);
            QDir().mkpath(QFileInfo(m_dir.filePath(QString::fromLatin1(rel))).absolutePath());
            QVERIFY(img.save(m_dir.filePath(QString::fromLatin1(rel))));
        }
        QAccessible::installUpdateHandler(recordAnnouncements);
        // The accessibility bridge comes up on the bus a moment after the application.
        QTRY_VERIFY2(QAccessible::isActive(), "no accessibility bus");
    }

    void keysAdvanceAsAClickUnderTheSkipRule()
    {
        writeGame("1"); // a click may not cut the typing short
        Game game(folder(), m_music, m_messages);
        QVERIFY(game.start());
        showActive(game);
        QCOMPARE(QApplication::focusWidget(), game.MsgPic());
        QWidget *focus = QApplication::focusWidget();
        press(focus, Qt::Key_A);
        press(focus, Qt::Key_Right);
        QCOMPARE(game.logic().SceneIndex(), 0); // no other key advances
        press(focus, Qt::Key_Space);
        QCOMPARE(game.logic().SceneIndex(), 1);
        press(game.window(), Qt::Key_Return); // typing: not taken
        QCOMPARE(game.logic().SceneIndex(), 1);
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), game.MsgPic());    // the box has the focus again
        press(QApplication::focusWidget(), Qt::Key_Space, true); // a held key's repeats: nothing
        QCOMPARE(game.logic().SceneIndex(), 1);
        press(QApplication::focusWidget(), Qt::Key_Enter);
        QCOMPARE(game.logic().SceneIndex(), 2); // the same text: shown whole at once
        press(QApplication::focusWidget(), Qt::Key_PageDown);
        QCOMPARE(game.logic().SceneIndex(), 3);
        QTRY_VERIFY(game.MsgPic()->isEnabled());
        press(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(game.logic().ended());
        press(game.window(), Qt::Key_Space); // nothing after the ending
        QVERIFY(game.logic().ended());
    }

    void skipAllowedLetsAKeyCutTheTypingShort()
    {
        writeGame("0");
        Game game(folder(), m_music, m_messages);
        QVERIFY(game.start());
        showActive(game);
        press(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(game.logic().SceneIndex(), 1);
        press(QApplication::focusWidget(), Qt::Key_Space); // during the reveal: taken
        QCOMPARE(game.logic().SceneIndex(), 2);
    }

    void eachSceneIsAnnouncedOnceWhileTheBoxHasTheFocus()
    {
        writeGame("0");
        g_announcements.clear();
        Game game(folder(), m_music, m_messages);
        QVERIFY(game.start());
        QVERIFY(g_announcements.isEmpty()); // nobody hears a window that is not there yet
        showActive(game);
        QTRY_COMPARE(g_announcements.size(), 1);
        for (int i = 0; i < 4; ++i) {
            QTRY_VERIFY(game.MsgPic()->isEnabled());
            QTest::mouseClick(game.MsgPic(), Qt::LeftButton);
        }
        QVERIFY(game.logic().ended());
        // The repeated text is a new scene: said again.
        const QList<std::pair<QObject *, QString>> expected{
            {game.MsgPic(), QStringLiteral("第一幕")},
            {game.MsgPic(), QStringLiteral("第二幕")},
            {game.MsgPic(), QStringLiteral("第二幕")},
            {game.MsgPic(), QStringLiteral("第四幕")},
            {game.BgPic(), QStringLiteral("终。游戏结束了，可以关闭窗口。")}};
        QCOMPARE(g_announcements, expected);
        QCOMPARE(QApplication::focusWidget(), game.BgPic());
        QCOMPARE(game.MsgPic()->accessibleName(), QStringLiteral("下一个"));
        // The box itself changes no description: a reader that speaks those would say it twice.
        QVERIFY(game.MsgPic()->accessibleDescription().isEmpty());
    }

    // H hides the box and its text, and H shows them again.
    void hHidesTheBoxAndHShowsItAgain()
    {
        writeGame("0");
        Game game(folder(), m_music, m_messages);
        QVERIFY(game.start());
        showActive(game);
        QTest::keyClick(&game, Qt::Key_H);
        QVERIFY(!game.MsgPic()->isVisible());
        QVERIFY(!game.GameNote()->isVisible());
        QTest::keyClick(&game, Qt::Key_H);
        QVERIFY(game.MsgPic()->isVisible());
        QVERIFY(game.GameNote()->isVisible());
        QCOMPARE(game.logic().SceneIndex(), 0);
    }

    // However the reader's menu opens, auto and skip stop: what the reader chooses there
    // plays on a still scene.
    void openingTheMenuStopsAutoAndSkip_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("how");
        QTest::newRow("auto, Menu key") << int(GameLogic::Mode::Auto) << "menu";
        QTest::newRow("skip, right button") << int(GameLogic::Mode::Skip) << "right";
        QTest::newRow("skip, Esc") << int(GameLogic::Mode::Skip) << "esc";
    }
    void openingTheMenuStopsAutoAndSkip()
    {
        QFETCH(int, mode);
        QFETCH(QString, how);
        writeGame("0");
        Game game(folder(), m_music, m_messages);
        QVERIFY(game.start());
        showActive(game);
        game.logic().setMode(GameLogic::Mode(mode));
        if (how == u"right")
            QTest::mouseClick(game.MsgPic(), Qt::RightButton, {}, QPoint(10, 10));
        else
            QTest::keyClick(&game, how == u"esc" ? Qt::Key_Escape : Qt::Key_Menu);
        QVERIFY(game.readerMenu() && game.readerMenu()->isVisible());
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Normal);
        game.readerMenu()->hide();
    }

    // 存档, F5 and F9 say what they did, on the screen and to a screen reader; so does F9 with
    // nothing to load.
    void savingAndLoadingSaySo()
    {
        writeGame("0");
        QTemporaryDir reader;
        Game game(folder(), m_music, m_messages);
        game.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
        QVERIFY(game.start());
        g_announcements.clear();
        showActive(game);
        QTRY_COMPARE(g_announcements.size(), 1); // the first scene
        // The notice stands on the window, and a screen reader was told the same.
        const auto shown = [&game] {
            return game.noticeLabel() && game.noticeLabel()->isVisible()
                       ? game.noticeLabel()->text()
                       : QString();
        };
        const auto said = [&](const QString &text) {
            return shown() == text && !g_announcements.isEmpty() &&
                   g_announcements.last().second == text;
        };
        QTest::keyClick(&game, Qt::Key_F9);
        QVERIFY2(said(QStringLiteral("还没有快速存档。")), qPrintable(shown()));
        QTest::keyClick(&game, Qt::Key_F5);
        QVERIFY2(said(QStringLiteral("已快速存档")), qPrintable(shown()));
        QTest::mouseClick(game.MsgPic(), Qt::LeftButton);
        QCOMPARE(game.logic().SceneIndex(), 1);
        QTest::keyClick(&game, Qt::Key_F9);
        QCOMPARE(game.logic().SceneIndex(), 0);
        // Said before the scene it opens, which a screen reader hears next.
        QVERIFY(g_announcements.size() >= 2);
        QCOMPARE(g_announcements.at(g_announcements.size() - 2).second,
                 QStringLiteral("已快速读档"));
        QCOMPARE(shown(), QStringLiteral("已快速读档"));

        QTimer::singleShot(0, this, [] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            auto *slot = QApplication::activeModalWidget()->findChild<QToolButton *>(
                QStringLiteral("slot3"));
            QVERIFY(slot);
            slot->click();
        });
        QTest::keyClick(&game, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(said(QStringLiteral("已存档到第3格")), qPrintable(shown()));
        // The window takes the focus back from the closed slots window: the notice stays.
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(game.MsgPic(), &back);
        QCOMPARE(shown(), QStringLiteral("已存档到第3格"));
        QCOMPARE(game.readerData()->slot(3)->scene, 0);
    }

    // Each entry of the reader's menu answers to the key shown beside it: pressed on the
    // window, that key does what the entry does. While a window of the player's own is open
    // over the game, the game's keys stay with the game.
    void menuEntriesAnswerToTheKeysTheyShow()
    {
        writeGame("0");
        QTemporaryDir reader;
        Game game(folder(), m_music, m_messages);
        game.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
        QVERIFY(game.start());
        showActive(game);
        QTest::keyClick(&game, Qt::Key_Menu);
        QMenu *menu = game.readerMenu();
        QVERIFY(menu && menu->isVisible());
        QMap<QString, QKeySequence> shown; // as the menu shows the key, beside the name
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString name = action->text().section(u'\t', 0, 0);
            const QString key = action->text().contains(u'\t')
                                    ? action->text().section(u'\t', 1)
                                    : action->shortcut().toString(QKeySequence::NativeText);
            QVERIFY2(action->text().contains(u'\t') || action->isShortcutVisibleInContextMenu(),
                     qPrintable(name));
            shown.insert(name, QKeySequence::fromString(key, QKeySequence::NativeText));
        }
        menu->hide();
        QTRY_VERIFY(QApplication::activeWindow() == &game);
        QCOMPARE(shown.value(QStringLiteral("回到开头")), QKeySequence()); // asks: no key

        qsizetype heard = 0;
        // The key, once the game has the keyboard: asked for back from a window closed before,
        // as a busy window manager may leave no window active for a while.
        const auto press = [&](const QString &name, const std::function<void()> &then = {}) {
            QVERIFY2(!shown.value(name).isEmpty(), qPrintable(name));
            if (!game.isActiveWindow())
                showActive(game);
            heard = g_announcements.size();
            if (then)
                QTimer::singleShot(0, this, then);
            QTest::keySequence(&game, shown.value(name));
        };
        const auto said = [&](const QString &text) { // since the last key
            for (qsizetype i = heard; i < g_announcements.size(); ++i) {
                if (g_announcements.at(i).second == text)
                    return true;
            }
            return false;
        };
        // A window of the player's: its title; the game's keys pressed in it change nothing.
        const auto opens = [&](const QString &name, const QString &title) {
            QString seen;
            press(name, [&] {
                QTRY_VERIFY(QApplication::activeModalWidget());
                auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QTRY_VERIFY(QApplication::activeWindow() == dialog);
                seen = dialog->windowTitle();
                for (Qt::Key key : {Qt::Key_H, Qt::Key_L, Qt::Key_F5})
                    QTest::keyClick(dialog, key);
                dialog->reject();
            });
            QCOMPARE(seen, title);
            QVERIFY(game.MsgPic()->isVisible());
            QVERIFY(!game.backlogView() || !game.backlogView()->isVisible());
            QVERIFY(!game.readerData()->slot(ReaderData::kQuickSlot));
        };
        opens(QStringLiteral("存档"), PlayerTexts::kSaveTitle);
        opens(QStringLiteral("读档"), PlayerTexts::kLoadTitle);
        opens(QStringLiteral("设置"), PlayerTexts::kSettingsTitle);

        press(QStringLiteral("快速存档"));
        QVERIFY(said(PlayerTexts::kQuickSaved));
        press(QStringLiteral("快速读档"));
        QVERIFY(said(PlayerTexts::kQuickLoaded));
        press(QStringLiteral("回顾"));
        QVERIFY(game.backlogView() && game.backlogView()->isVisible());
        QTest::keyClick(game.backlogView(), Qt::Key_Escape);
        QVERIFY(!game.backlogView()->isVisible());
        press(QStringLiteral("自动"));
        QVERIFY(said(PlayerTexts::kAutoOn));
        press(QStringLiteral("自动"));
        QVERIFY(said(PlayerTexts::kModeOff));
        press(QStringLiteral("快进"));
        QVERIFY(said(PlayerTexts::kSkipOn));
        game.logic().setMode(GameLogic::Mode::Normal);
        press(QStringLiteral("隐藏文字框"));
        QVERIFY(!game.MsgPic()->isVisible());
        QTest::keyClick(&game, Qt::Key_Space); // shows it again, and only that
        QVERIFY(game.MsgPic()->isVisible());
        press(QStringLiteral("退出"));
        QVERIFY(!game.isVisible());
    }

    // Full screen is remembered only as the window closes: not as 设置 saw it some time before
    // (F11, 设置 OK, Esc, then every game opened full screen), and M does not leave it.
    void fullScreenIsRememberedAsTheWindowCloses_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("kept");
        QTest::newRow("F11, 设置 OK, Esc") << QStringList{"F11", "settings", "Esc"} << false;
        QTest::newRow("F11, M") << QStringList{"F11", "M"} << true;
        QTest::newRow("设置 全屏, F11") << QStringList{"settings full", "F11"} << false;
    }
    void fullScreenIsRememberedAsTheWindowCloses()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, kept);
        writeGame("0");
        QTemporaryDir reader;
        Game game(folder(), m_music, m_messages);
        game.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
        QVERIFY(game.start());
        showActive(game);
        for (const QString &step : steps) {
            const bool wasFull = game.isFullScreen();
            if (step.startsWith(u"settings")) {
                const bool tick = step.endsWith(u"full");
                QTimer::singleShot(0, this, [tick] {
                    QTRY_VERIFY(QApplication::activeModalWidget());
                    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                    QVERIFY(dialog);
                    for (QCheckBox *box : dialog->findChildren<QCheckBox *>()) {
                        if (tick && box->text().startsWith(QStringLiteral("全屏")))
                            box->setChecked(true);
                    }
                    dialog->accept();
                });
                game.openSettings();
                QTRY_COMPARE(game.isFullScreen(), wasFull || tick);
            } else if (step == u"M") {
                QTest::keyClick(&game, Qt::Key_M);
                QVERIFY(game.isFullScreen() == wasFull);
            } else {
                QTest::keyClick(&game, step == u"F11" ? Qt::Key_F11 : Qt::Key_Escape);
                QTRY_VERIFY(game.isFullScreen() != wasFull);
            }
            // Nothing is remembered while the window stays open.
            QVERIFY(!ReaderData::readSettings(reader.path()).fullScreen);
        }
        QCOMPARE(game.isFullScreen(), kept);
        game.close();
        QCOMPARE(ReaderData::readSettings(reader.path()).fullScreen, kept);
    }

    // Ctrl held (a real key on the display: the player asks the display whether it is still
    // down) passes over the scenes read before and stops at the first new one; Ctrl with
    // another key is a command, not skip. The open backlog holds the scene still: Ctrl held,
    // letter keys and the Enter that chooses an entry do not move the scene behind it.
    void ctrlHeldSkipsAndTheBacklogHoldsTheSceneStill()
    {
        writeGame("0");
        QTemporaryDir reader;
        const QString kept = reader.filePath(QStringLiteral("game"));
        {
            ReaderData before(kept);
            before.sceneShown(0);
            before.sceneShown(1);
        }
        Game game(folder(), m_music, m_messages);
        game.useReaderData(kept, reader.path());
        QVERIFY(game.start());
        showActive(game);
        const auto xdotool = [](const char *action, const char *key) {
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                                       {QString::fromLatin1(action), QString::fromLatin1(key)}),
                     0);
        };
        const auto heldAMoment = [] { QTest::qWait(3 * Game::kHoldMilliseconds); };

        xdotool("keydown", "ctrl");
        QTRY_COMPARE(game.logic().SceneIndex(), 2);
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Normal); // stopped at the new scene
        xdotool("keyup", "ctrl");
        xdotool("key", "ctrl+0");
        heldAMoment();
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Normal);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L);
        BacklogView *list = game.backlogView();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->count(), 3);
        xdotool("keydown", "ctrl");
        heldAMoment();
        xdotool("keyup", "ctrl");
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Normal);
        QCOMPARE(game.logic().SceneIndex(), 2);
        QTest::keyClick(list, Qt::Key_S); // closes the backlog, and only that
        QVERIFY(!list->isVisible());
        QCOMPARE(game.logic().mode(), GameLogic::Mode::Normal);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L);
        list->setCurrentRow(0);
        m_messages.answers = {true};
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(game.logic().SceneIndex(), 0); // and not one past it
        QCOMPARE(game.GameNote()->text(), QStringLiteral("第一幕"));
    }

    void zoomStepsThroughWholeMultiplesAndIsRemembered()
    {
        writeGame("0");
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
        const int fits = qMin(room.width() / 638, room.height() / 482);
        QVERIFY2(fits >= 2, "the test screen must take a 2× window");
        {
            Game game(folder(), m_music, m_messages);
            QVERIFY(game.start());
            showActive(game);
            QCOMPARE(game.size(), QSize(638, 482));
            struct Step
            {
                Qt::Key key;
                int presses;
                int zoom;
                bool notice; ///< a step the screen has no room for is explained
            };
            const Step steps[] = {
                {Qt::Key_Equal, fits + 2, fits, true}, // no further than the screen takes
                {Qt::Key_Minus, 1, fits - 1, false},
                {Qt::Key_Minus, fits + 1, 1, false}, // never below the game's own size
                {Qt::Key_Equal, 1, 2, false},
            };
            for (const Step &step : steps) {
                for (int i = 0; i < step.presses; ++i)
                    QTest::keyClick(&game, step.key, Qt::ControlModifier);
                QCOMPARE(game.zoom(), step.zoom);
                QCOMPARE(game.size(), QSize(638, 482) * step.zoom);
                QCOMPARE(game.findChild<Stage *>()->size(), QSize(638, 482) * step.zoom);
                // The text laid out larger with everything else.
                QCOMPARE(game.GameNote()->font().pointSizeF(), 14.0 * step.zoom);
                QLabel *notice = game.noticeLabel();
                if (step.notice) {
                    QVERIFY(notice && notice->isVisible());
                    QCOMPARE(notice->text(), PlayerTexts::kZoomNoRoom);
                    QCOMPARE(g_announcements.last().second, PlayerTexts::kZoomNoRoom);
                    // In the window's middle, and a notice, not a fixture.
                    QCOMPARE(notice->geometry().center(), game.rect().center());
                    QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), Game::kNoticeMilliseconds * 3);
                } else {
                    QVERIFY(!notice || !notice->isVisible());
                }
            }
            // A click on the scaled box advances.
            QTest::mouseClick(game.MsgPic(), Qt::LeftButton);
            QCOMPARE(game.logic().SceneIndex(), 1);
        }
        Game again(folder(), m_music, m_messages);
        QVERIFY(again.start());
        again.restoreZoom();
        QCOMPARE(again.zoom(), 2);
        showActive(again);
        QTest::keyClick(&again, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(again.size(), QSize(638, 482));
        QCOMPARE(again.MsgPic()->geometry(), QRect(16, 336, 600, 120));
    }

    void fullScreenScalesTheSceneToFitOnBlack_data()
    {
        QTest::addColumn<bool>("placed");
        QTest::addColumn<int>("leaveKey");
        // Placed: shown as talerun shows it, centred while the window manager frames it; full
        // screen is asked for at once, while the placement still watches the frame.
        QTest::newRow("F11 and F11") << false << int(Qt::Key_F11);
        QTest::newRow("placed, F11 at once and F11") << true << int(Qt::Key_F11);
        QTest::newRow("placed, F11 at once and Esc") << true << int(Qt::Key_Escape);
    }

    void fullScreenScalesTheSceneToFitOnBlack()
    {
        QFETCH(bool, placed);
        QFETCH(int, leaveKey);
        writeGame("0");
        Game game(folder(), m_music, m_messages);
        QVERIFY(game.start());
        if (placed)
            WindowPlacement::showCentred(game);
        showActive(game);
        // The frame as the display has it now. QWidget::frameGeometry() keeps the frame it saw
        // last moved or resized: the window manager gives the frame back after full screen
        // without moving the window, and a busy machine sees the window back before its frame.
        const auto frame = [&game] { return game.windowHandle()->frameGeometry(); };
        // Where the window stands once the window manager has framed it; placed, once it was
        // centred with that frame, which comes after the frame (a busy machine shows the frame
        // well before the move).
        QTRY_VERIFY(frame().top() < game.geometry().top());
        const QRect room = game.screen()->availableGeometry();
        if (placed)
            QTRY_COMPARE(frame().center(), room.center());
        const QRect before = frame();
        QVERIFY(room.contains(before));

        // Not full screen: Esc opens the reader's menu, and Esc closes it again.
        QTest::keyClick(&game, Qt::Key_Escape);
        QVERIFY(!game.isFullScreen());
        QVERIFY(game.isVisible());
        QTRY_VERIFY(game.readerMenu() && game.readerMenu()->isVisible());
        QTest::keyClick(game.readerMenu(), Qt::Key_Escape);
        QTRY_VERIFY(!game.readerMenu()->isVisible());
        showActive(game);

        QTest::keyClick(&game, Qt::Key_F11);
        QTRY_VERIFY(game.isFullScreen());
        const QSize screen = game.screen()->geometry().size();
        QTRY_COMPARE(game.size(), screen);
        QVERIFY(game.isFullScreen());
        const qreal scale = qMin(screen.width() / 638.0, screen.height() / 482.0);
        auto *stage = game.findChild<Stage *>();
        QCOMPARE(stage->size(), QSize(qRound(638 * scale), qRound(482 * scale)));
        QCOMPARE(stage->geometry().center().x(), game.rect().center().x());
        QCOMPARE(game.GameNote()->font().pointSizeF(), 14.0 * scale); // the text scaled too
        QTest::mouseClick(game.MsgPic(), Qt::LeftButton, {}, game.MsgPic()->rect().center());
        QCOMPARE(game.logic().SceneIndex(), 1);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key(leaveKey));
        QTRY_VERIFY(!game.isFullScreen());
        QVERIFY(!game.readerMenu()->isVisible()); // Esc left full screen, and only that
        QTRY_COMPARE(game.size(), QSize(638, 482));
        // Back where it was, title bar and all on the screen.
        QTRY_COMPARE(frame(), before);
        QCOMPARE(stage->size(), QSize(638, 482));
        QCOMPARE(game.GameNote()->font().pointSizeF(), 14.0);
        QVERIFY(game.isVisible());
    }
};

QTEST_MAIN(TestPlayerKeys)
#include "tst_playerkeys.moc"
