// Both windows open with their whole frame centred, and the editor's other windows stand beside
// it within the screen: run once on the offscreen platform (no frame) and once under Xvfb with a
// window manager that adds a title bar and borders.
#include "editorfakes.h"
#include "game.h"
#include "gameset.h"
#include "playerfakes.h"
#include "scenelistwindow.h"
#include "scenepreview.h"
#include "scriptfile.h"
#include "testutil.h"
#include "windowplacement.h"

#include <QAction>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPlacement : public QObject
{
    Q_OBJECT

    static void expectCentred(QWidget &window)
    {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint middle = window.screen()->availableGeometry().center();
        // The frame arrives from the window manager a little after the window is shown.
        QTRY_VERIFY2(
            (window.frameGeometry().center() - middle).manhattanLength() <= 2,
            qPrintable(QStringLiteral("frame %1,%2 %3x%4, client %5,%6, screen middle %7,%8")
                           .arg(window.frameGeometry().x())
                           .arg(window.frameGeometry().y())
                           .arg(window.frameGeometry().width())
                           .arg(window.frameGeometry().height())
                           .arg(window.geometry().x())
                           .arg(window.geometry().y())
                           .arg(middle.x())
                           .arg(middle.y())));
        QCOMPARE(window.size(), window.minimumSize()); // the client area keeps its size
    }

    static QString describe(const QWidget *window)
    {
        const QRect f = window->frameGeometry(), g = window->geometry();
        return QStringLiteral("%1: frame %2,%3 %4x%5, client %6,%7 %8x%9 ")
            .arg(window->objectName())
            .arg(f.x())
            .arg(f.y())
            .arg(f.width())
            .arg(f.height())
            .arg(g.x())
            .arg(g.y())
            .arg(g.width())
            .arg(g.height());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }
    // The scene list, preview and check windows beside the editor: on the screen, never over
    // the editor's buttons, beside it whenever a side has room.
    void besideTheEditor_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("editor");
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<int>("side");
        QTest::addColumn<QRect>("occupied");
        QTest::addColumn<QString>("where"); // left, right, below, over
        const QRect big(0, 0, 1280, 1024), small(0, 0, 1024, 768);
        const QRect centred(377, 276, 526, 472), centredSmall(249, 148, 526, 472);
        const int left = int(WindowPlacement::Side::Left),
                  right = int(WindowPlacement::Side::Right);
        QTest::newRow("1280x1024, the list on the left")
            << big << centred << QSize(424, 790) << QSize(320, 300) << left << QRect() << "left";
        QTest::newRow("1280x1024, the check on the right, below the preview")
            << big << centred << QSize(564, 390) << QSize(200, 150) << right
            << QRect(904, 276, 376, 300) << "right";
        QTest::newRow("taller than the screen")
            << big << centred << QSize(424, 2000) << QSize(320, 300) << left << QRect() << "left";
        QTest::newRow("editor at the left edge: the other side")
            << big << QRect(0, 100, 526, 472) << QSize(424, 790) << QSize(320, 300) << left
            << QRect() << "right";
        QTest::newRow("a panel above the available area")
            << QRect(0, 40, 1280, 984) << QRect(377, 40, 526, 472) << QSize(424, 790)
            << QSize(320, 300) << left << QRect() << "left";
        QTest::newRow("1024x768, the preview on the right")
            << small << centredSmall << QSize(640, 484) << QSize(161, 122) << right << QRect()
            << "right";
        QTest::newRow("1024x768, no side has room for the list")
            << small << centredSmall << QSize(424, 790) << QSize(320, 300) << left << QRect()
            << "over";
        QTest::newRow("a wide screen of little height: below")
            << QRect(0, 0, 800, 1000) << QRect(137, 0, 526, 472) << QSize(424, 790)
            << QSize(320, 300) << left << QRect() << "below";
    }
    void besideTheEditor()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, editor);
        QFETCH(QSize, wanted);
        QFETCH(QSize, minimum);
        QFETCH(int, side);
        QFETCH(QRect, occupied);
        QFETCH(QString, where);
        const QRect buttons(editor.left(), editor.bottom() - 70, editor.width(), 60);
        const QRect placed = WindowPlacement::besideRect(
            editor, available, buttons,
            {wanted, minimum, WindowPlacement::Side(side), Qt::AlignTop},
            occupied.isNull() ? QList<QRect>() : QList<QRect>{occupied});
        const QString shown = QStringLiteral("%1,%2 %3x%4")
                                  .arg(placed.x())
                                  .arg(placed.y())
                                  .arg(placed.width())
                                  .arg(placed.height());
        QVERIFY2(available.contains(placed), qPrintable(shown));
        QVERIFY2(!placed.intersects(buttons), qPrintable(shown));
        QVERIFY2(placed.width() >= minimum.width() && placed.height() >= minimum.height(),
                 qPrintable(shown));
        if (where != u"over")
            QVERIFY2(!placed.intersects(editor), qPrintable(shown));
        if (where == u"left")
            QVERIFY2(placed.right() < editor.left(), qPrintable(shown));
        if (where == u"right")
            QVERIFY2(placed.left() > editor.right(), qPrintable(shown));
        if (where == u"below")
            QVERIFY2(placed.top() > editor.bottom(), qPrintable(shown));
        if (!occupied.isNull())
            QVERIFY2(!placed.intersects(occupied), qPrintable(shown));
    }

    // The three windows as the author opens them, and where they are remembered.
    void editorWindowsStandBesideTheEditorAndKeepTheirPlace()
    {
        QTemporaryDir dir;
        TestUtil::writeBytes(dir.filePath(QStringLiteral("Game.txt")),
                             TestUtil::sceneBytes("one") + TestUtil::sceneBytes("two"));
        RecordingMessages messages;
        ScriptedPicker picker;
        RecordingWeb web;
        auto editor = std::make_unique<GameSet>(GameFolder(dir.path()),
                                                EditorPlatform{messages, picker, web});
        editor->start();
        WindowPlacement::showCentred(*editor);
        expectCentred(*editor);
        const QRect available = editor->screen()->availableGeometry();
        const auto *bar = editor->findChild<QWidget *>(QStringLiteral("Frame1"));
        const QRect buttons(bar->mapToGlobal(QPoint()), bar->size());
        for (const char *action : {"previewAction", "checkAction", "sceneListAction"})
            editor->findChild<QAction *>(QLatin1String(action))->trigger();
        const QList<QWidget *> windows{editor->preview(), editor->sceneList(),
                                       editor->findChild<QWidget *>(QStringLiteral("CheckWindow"))};
        // Room on both sides of the editor: a 1280-pixel screen.
        const bool room = available.width() >= 1280;
        for (QWidget *window : windows) {
            QVERIFY(window && QTest::qWaitForWindowExposed(window));
            QTRY_VERIFY2(available.contains(window->frameGeometry()), qPrintable(describe(window)));
            QVERIFY2(!window->frameGeometry().intersects(buttons), qPrintable(describe(window)));
            if (room)
                QVERIFY2(!window->frameGeometry().intersects(editor->frameGeometry()),
                         qPrintable(describe(window)));
        }
        if (room)
            QVERIFY2(!editor->preview()->frameGeometry().intersects(windows.at(2)->frameGeometry()),
                     qPrintable(describe(editor->preview()) + describe(windows.at(2))));

        // Moved by the author, the list opens there again, also in the next session.
        SceneListWindow *list = editor->sceneList();
        const QPoint moved = available.topLeft() + QPoint(20, 20);
        list->move(moved);
        QTRY_COMPARE(list->frameGeometry().topLeft(), moved);
        const QSize size = list->size();
        editor->close();
        editor = std::make_unique<GameSet>(GameFolder(dir.path()),
                                           EditorPlatform{messages, picker, web});
        editor->start();
        WindowPlacement::showCentred(*editor);
        editor->findChild<QAction *>(QStringLiteral("sceneListAction"))->trigger();
        list = editor->sceneList();
        QVERIFY(QTest::qWaitForWindowExposed(list));
        QTRY_COMPARE(list->frameGeometry().topLeft(), moved);
        QCOMPARE(list->size(), size);
    }

    void editorWindowFrameIsCentred()
    {
        QTemporaryDir dir;
        RecordingMessages messages;
        ScriptedPicker picker;
        RecordingWeb web;
        GameSet window(GameFolder(dir.path()), {messages, picker, web});
        window.start();
        WindowPlacement::showCentred(window);
        expectCentred(window);
    }

    void playerWindowFrameIsCentred()
    {
        QTemporaryDir dir;
        QImage picture(638, 482, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QDir(dir.path()).mkpath(QStringLiteral("BG"));
        QDir(dir.path()).mkpath(QStringLiteral("Msg"));
        QVERIFY(picture.save(dir.filePath(QStringLiteral("BG/bg.png"))));
        QVERIFY(picture.save(dir.filePath(QStringLiteral("Msg/box.png"))));
        SceneLists lists;
        SceneRec rec;
        rec.fields = {QStringLiteral("x"), QStringLiteral("bg.png"), QStringLiteral("box.png"),
                      QStringLiteral("2"), QStringLiteral("0"),      QStringLiteral("0"),
                      QStringLiteral("0"), QStringLiteral("2")};
        lists.append(rec);
        QVERIFY(RewriteScript(GameFolder(dir.path()), lists).ok);
        RecordingMusic music;
        RecordingMessages messages;
        Game game(GameFolder(dir.path()), music, messages);
        QVERIFY(game.start());
        WindowPlacement::showCentred(game);
        expectCentred(game);
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
