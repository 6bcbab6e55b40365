// How the programs start: the command line, the recent folders and the game chooser.
#include "filepicker.h"
#include "gamechooser.h"
#include "gamelock.h"
#include "newgamedialog.h"
#include "startup.h"

#include <QAbstractProxyModel>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

#include <sys/wait.h>
#include <unistd.h>

using Startup::Program;
using Startup::Request;

class TestStartup : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString folder(const char *name) const
    {
        const QString path = m_dir.filePath(QString::fromUtf8(name));
        QDir().mkpath(path);
        return path;
    }
    static Request parse(Program program, QStringList args)
    {
        args.prepend(QStringLiteral("prog"));
        return Startup::parseCommandLine(program, args);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void folderArgumentAndItsErrors()
    {
        const QString game = folder("game");
        Request r = parse(Program::Player, {game});
        QCOMPARE(r.kind, Request::OpenFolder);
        QCOMPARE(r.folder, game);
        r = parse(Program::Editor, {});
        QCOMPARE(r.kind, Request::OpenFolder);
        QCOMPARE(r.folder, QDir::currentPath());

        QFile file(m_dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (const QString &bad : {m_dir.filePath(QStringLiteral("missing")), file.fileName()}) {
            r = parse(Program::Player, {bad});
            QCOMPARE(r.kind, Request::Exit);
            QCOMPARE(r.exitCode, 2);
            QCOMPARE(r.error.count(u'\n'), 1); // one line
            QVERIFY2(r.error.startsWith(QStringLiteral("talerun: ")), qPrintable(r.error));
            QVERIFY(r.error.contains(bad));
        }
    }

    void optionsHelpVersionAndUsageErrors()
    {
        Request r = parse(Program::Editor, {QStringLiteral("--help")});
        QCOMPARE(r.kind, Request::Exit);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.output.contains(QStringLiteral("--new <FOLDER>")));
        QVERIFY(r.output.contains(QStringLiteral("--choose")));
        r = parse(Program::Player, {QStringLiteral("--version")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.output.startsWith(QStringLiteral("talerun ")));

        for (const QStringList &bad : {QStringList{QStringLiteral("--bogus")},
                                       QStringList{QStringLiteral("--new"), QStringLiteral("x")},
                                       QStringList{folder("a"), folder("b")}}) {
            r = parse(Program::Player, bad);
            QCOMPARE(r.kind, Request::Exit);
            QCOMPARE(r.exitCode, 2);
            QVERIFY(r.error.contains(QStringLiteral("Usage:")) ||
                    r.error.contains(QStringLiteral("用法")));
            QVERIFY(r.output.isEmpty());
        }

        QCOMPARE(parse(Program::Player, {QStringLiteral("--choose")}).kind, Request::Choose);
        r = parse(Program::Player, {QStringLiteral("--scene"), QStringLiteral("3"), folder("a")});
        QCOMPARE(r.kind, Request::OpenFolder);
        QCOMPARE(r.scene, 3);
        for (const char *bad : {"0", "x", "-2"}) {
            r = parse(Program::Player, {QStringLiteral("--scene"), QString::fromLatin1(bad)});
            QCOMPARE(r.exitCode, 2);
            QCOMPARE(r.error.count(u'\n'), 1);
        }
        QCOMPARE(parse(Program::Editor, {QStringLiteral("--scene"), QStringLiteral("1")}).exitCode,
                 2);
        r = parse(Program::Editor, {QStringLiteral("--check"), folder("a")});
        QCOMPARE(r.kind, Request::Check);
        QCOMPARE(r.folder, folder("a"));
        r = parse(Program::Editor, {QStringLiteral("--new"), QStringLiteral("fresh")});
        QCOMPARE(r.kind, Request::NewGame);
        QCOMPARE(r.folder, QDir::current().absoluteFilePath(QStringLiteral("fresh")));
    }

    // A session bus that exists, or a dbus-launch that can start one, must reach the screen
    // reader as before; only a launch bound to fail is skipped.
    void busLaunchIsSkippedOnlyWhereItCannotSucceed_data()
    {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<bool>("busInRuntimeFolder");
        QTest::addColumn<bool>("launcherOnPath");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("a bus named")
            << QByteArray("unix:path=/run/x") << false << false << QByteArray("unix:path=/run/x");
        QTest::newRow("the user's bus") << QByteArray() << true << false << QByteArray();
        QTest::newRow("dbus-launch to start one") << QByteArray() << false << true << QByteArray();
        QTest::newRow("no bus, no way to start one")
            << QByteArray() << false << false << QByteArray("disabled:");
    }

    void busLaunchIsSkippedOnlyWhereItCannotSucceed()
    {
        QFETCH(QByteArray, address);
        QFETCH(bool, busInRuntimeFolder);
        QFETCH(bool, launcherOnPath);
        QFETCH(QByteArray, expected);
        if (expected == "disabled:" && QFileInfo(QStringLiteral("/usr/bin/dbus-launch")).exists())
            QSKIP("this machine has dbus-launch, which can start a bus");
        // Each variable as it was, unset again if it was not set.
        struct Kept
        {
            const char *name;
            QByteArray value = qgetenv(name);
            ~Kept() { value.isNull() ? qunsetenv(name) : qputenv(name, value); }
        } kept[] = {{"DBUS_SESSION_BUS_ADDRESS"}, {"XDG_RUNTIME_DIR"}, {"PATH"}};
        Q_UNUSED(kept);
        QTemporaryDir runtime, bin;
        if (busInRuntimeFolder)
            QVERIFY(QFile(runtime.filePath(QStringLiteral("bus"))).open(QIODevice::WriteOnly));
        if (launcherOnPath) {
            QFile launcher(bin.filePath(QStringLiteral("dbus-launch")));
            QVERIFY(launcher.open(QIODevice::WriteOnly));
            QVERIFY(launcher.setPermissions(launcher.permissions() | QFile::ExeOwner));
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        qputenv("PATH", bin.path().toLocal8Bit());
        Startup::skipHopelessBusLaunch();
        QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), expected);
    }

    // A helper thread at start-up only where a processor is free: never under a build, never
    // on one core.
    void helperThreadsOnlyWithACoreToSpare()
    {
        struct Row
        {
            int cores;
            double load;
            int runnable;
            bool spare;
        };
        for (const Row &row : {Row{2, 0.1, 1, true}, Row{2, 0.1, 2, true}, Row{2, 0.1, 3, false},
                               Row{2, 1.0, 2, false}, Row{2, 2.3, 1, false}, Row{1, 0.0, 1, false},
                               Row{8, 5.5, 4, true}})
            QCOMPARE(Startup::coreToSpare(row.cores, row.load, row.runnable), row.spare);
    }

    void secondEditorFindsTheGameMarkedUnlessItsHolderHasEnded()
    {
        const QString game = folder("marked");
        const QString link = m_dir.filePath(QStringLiteral("marked-link"));
        QVERIFY(QFile::link(game, link));
        {
            GameLock first(game);
            QVERIFY(first.tryLock());
            GameLock second(link); // the same game, reached through a link
            QVERIFY(!second.tryLock());
            QCOMPARE(second.holder(), QCoreApplication::applicationPid());
        }
        // An editor that ended without removing its mark (killed, or crashed).
        const pid_t child = ::fork();
        if (child == 0) {
            GameLock lost(game);
            ::_exit(lost.tryLock() ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(status, 0);
        GameLock after(game);
        QVERIFY(after.tryLock());
    }

    void recentFoldersMostRecentFirstWithoutVanishedOnes()
    {
        Startup::RecentFolders recent;
        for (const QString &left : recent.list()) // by a run that ended early
            recent.remove(left);
        QTemporaryDir gone;
        const QString a = folder("a"), b = folder("b");
        recent.add(gone.path());
        recent.add(a);
        recent.add(b);
        recent.add(a);
        gone.remove();
        QCOMPARE(recent.list(), (QStringList{a, b}));
        for (int i = 0; i < Startup::RecentFolders::kMax + 2; ++i)
            recent.add(folder(qPrintable(QStringLiteral("many%1").arg(i))));
        QCOMPARE(recent.list().size(), Startup::RecentFolders::kMax);
        QVERIFY(!recent.list().contains(a));
    }

    void chooserOffersRecentFoldersAndTheDemo()
    {
        const QString a = folder("a"), demo = folder("demo");
        GameChooser chooser(Program::Player, {a}, demo);
        auto *list = chooser.findChild<QListWidget *>(QStringLiteral("recent"));
        QCOMPARE(list->count(), 1);
        QVERIFY(list->item(0)->text().contains(QDir::toNativeSeparators(a)));
        QVERIFY(!chooser.findChild<QPushButton *>(QStringLiteral("new")));
        chooser.findChild<QPushButton *>(QStringLiteral("demo"))->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.folder(), demo);

        GameChooser again(Program::Player, {a}, demo);
        again.findChild<QPushButton *>(QStringLiteral("open"))->click();
        QCOMPARE(again.folder(), a);
        QCOMPARE(again.action(), GameChooser::Action::Open);
    }

    void editorChooserBeginsANewGameByNameAndPlace()
    {
        QList<std::pair<QString, QString>> answers{{}, {QStringLiteral("灯塔"), folder("place")}};
        GameChooser chooser(Program::Editor, {}, folder("demo"), {},
                            [&](QWidget *, QString &name, QString &where) {
                                std::tie(name, where) = answers.takeFirst();
                                return !name.isEmpty(); // the first time: cancelled
                            });
        QVERIFY(!chooser.findChild<QPushButton *>(QStringLiteral("open"))->isEnabled());
        QVERIFY(!chooser.findChild<QPushButton *>(QStringLiteral("demo")));
        auto *create = chooser.findChild<QPushButton *>(QStringLiteral("new"));
        create->click(); // cancelled: the chooser still asks
        QCOMPARE(chooser.result(), int(QDialog::Rejected));
        create->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.action(), GameChooser::Action::NewGame);
        QCOMPARE(chooser.gameName(), QStringLiteral("灯塔"));
        QCOMPARE(chooser.folder(), m_dir.filePath(QStringLiteral("place")));

        // The demo may not be changed where it is installed: the editor offers a copy.
        GameChooser again(Program::Editor, {}, folder("demo"));
        again.findChild<QPushButton *>(QStringLiteral("copyDemo"))->click();
        QCOMPARE(again.action(), GameChooser::Action::CopyDemo);
        QVERIFY(!QFileInfo::exists(again.folder()));
    }

    void newGameDialogMakesTheFolderFromTheName()
    {
        const QString place = folder("games");
        QDir().mkpath(place + QStringLiteral("/taken/BG"));
        NewGameDialog dialog(place, [&](QWidget *, const QString &) { return folder("other"); });
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("name"));
        auto *create = dialog.findChild<QPushButton *>(QStringLiteral("create"));
        QVERIFY(!create->isEnabled()); // no name yet
        name->setText(QStringLiteral("taken"));
        QVERIFY(!create->isEnabled()); // a folder with things in it
        QDir().mkpath(place + QStringLiteral("/empty"));
        name->setText(QStringLiteral("empty"));
        QVERIFY(create->isEnabled()); // an empty folder is as good as a new one
        QCOMPARE(dialog.folder(), place + QStringLiteral("/empty"));
        name->setText(QStringLiteral(" 灯塔: 第1部 "));
        QVERIFY(create->isEnabled());
        QCOMPARE(dialog.folder(), place + QStringLiteral("/灯塔_ 第1部"));
        QCOMPARE(dialog.gameName(), QStringLiteral("灯塔: 第1部"));
        dialog.findChild<QPushButton *>(QStringLiteral("browse"))->click();
        QCOMPARE(dialog.folder(), folder("other") + QStringLiteral("/灯塔_ 第1部"));
    }

    void pictureDialogSpeaksChinese()
    {
        const QString pictures = folder("pictures");
        QFile file(pictures + QStringLiteral("/dusk.jpg"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const std::unique_ptr<QFileDialog> dialog(QtFilePicker::dialog(
            nullptr, pictures, QStringLiteral("图片 (*.jpg *.JPG);;所有文件 (*)")));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText(),
                 QStringLiteral("图片"));
        QVERIFY(dialog->proxyModel());
        auto *files = qobject_cast<QFileSystemModel *>(dialog->proxyModel()->sourceModel());
        QVERIFY(files);
        const QString path = file.fileName();
        QTRY_VERIFY(files->index(path).isValid());
        const auto shown = [&](int column) {
            return dialog->proxyModel()->mapFromSource(files->index(path, column)).data();
        };
        QCOMPARE(shown(2).toString(), QStringLiteral("JPEG 图片"));
        QCOMPARE(shown(3).toString(),
                 QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    }

    void recentGamesShowTheirNameAndCanBeForgotten()
    {
        const QString named = folder("named"), plain = folder("plain");
        QFile ini(named + QStringLiteral("/Game.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("\"\xb5\xc6\xcb\xfe\",\"\",\"\",\"100\",\"0\"\r\n"); // 灯塔
        ini.close();
        Startup::RecentFolders recent;
        recent.add(plain);
        recent.add(named);
        GameChooser chooser(Program::Player, {named, plain}, {});
        auto *list = chooser.findChild<QListWidget *>(QStringLiteral("recent"));
        QCOMPARE(list->item(0)->text(),
                 QStringLiteral("灯塔\n    ") + QDir::toNativeSeparators(named));
        // Each row has room for the folder below the name, as tall as both are drawn (a
        // Chinese name is taller than a Latin one): the folder is never cut off.
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        const auto drawnHeight = [list](const QString &text) {
            QTextLayout layout(text, list->font());
            layout.beginLayout();
            const QTextLine line = layout.createLine();
            layout.endLayout();
            return line.height();
        };
        for (int row = 0; row < list->count(); ++row) {
            const QStringList lines = list->item(row)->text().split(u'\n');
            QVERIFY(list->visualItemRect(list->item(row)).height() >=
                    drawnHeight(lines.at(0)) + drawnHeight(lines.at(1)) + 2); // and a margin
        }
        QVERIFY(list->item(1)->text().startsWith(QStringLiteral("plain\n")));
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->count(), 1);
        QVERIFY(!recent.list().contains(named));
        QCOMPARE(recent.list().first(), plain);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
