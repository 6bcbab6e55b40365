// Both windows open with their whole frame centred: run once on the offscreen platform (no
// frame) and once under Xvfb with a window manager that adds a title bar and borders.
#include "editorfakes.h"
#include "game.h"
#include "gameset.h"
#include "playerfakes.h"
#include "scriptfile.h"
#include "windowplacement.h"

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

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
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
