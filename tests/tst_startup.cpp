// How the programs start: the command line, the recent folders and the game chooser.
#include "gamechooser.h"
#include "gamelock.h"
#include "startup.h"

#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

    void editorChooserBeginsANewGameInTheFolderAsked()
    {
        QStringList answers{QString(), folder("new")}; // first a cancel, then a folder
        GameChooser chooser(Program::Editor, {}, {},
                            [&](QWidget *, const QString &) { return answers.takeFirst(); });
        QVERIFY(!chooser.findChild<QPushButton *>(QStringLiteral("open"))->isEnabled());
        QVERIFY(!chooser.findChild<QPushButton *>(QStringLiteral("demo")));
        auto *create = chooser.findChild<QPushButton *>(QStringLiteral("new"));
        create->click(); // cancelled: the chooser still asks
        QCOMPARE(chooser.result(), int(QDialog::Rejected));
        QVERIFY(chooser.folder().isEmpty());
        create->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.action(), GameChooser::Action::NewGame);
        QCOMPARE(chooser.folder(), m_dir.filePath(QStringLiteral("new")));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
