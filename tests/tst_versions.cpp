// Earlier versions of a game: when one is kept, how many stay, how they compare with the game
// as it is, and the window that lists them.
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"
#include "versionstore.h"
#include "versionswindow.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace TestUtil;

namespace {

const QDateTime kStart(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);

QDateTime minutesLater(int minutes)
{
    return kStart.addSecs(qint64(minutes) * 60);
}

QByteArray script(std::initializer_list<const char *> notes)
{
    QByteArray bytes;
    for (const char *note : notes)
        bytes += sceneBytes(note);
    return bytes;
}

const QByteArray kSettings = "\"游戏\",\"\",\"\",\"100\",\"0\"\r\n";

} // namespace

class TestVersions : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString root() const { return m_dir->filePath(QStringLiteral("versions")); }
    QString game(const char *name = "game") const
    {
        const QString path = m_dir->filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void keptOnFirstCallThenEveryTenMinutes()
    {
        VersionStore store(game(), root());
        QVERIFY(store.keepIfDue(script({"a"}), kSettings, kStart));
        QVERIFY(!store.keepIfDue(script({"b"}), kSettings, minutesLater(9)));
        QVERIFY(store.keepIfDue(script({"b"}), kSettings, minutesLater(10)));
        // Identical bytes are not kept again, however late.
        QVERIFY(!store.keepIfDue(script({"b"}), kSettings, minutesLater(60)));
        QCOMPARE(store.list().size(), 2);

        // The editor opened again: its first change keeps a version at once.
        VersionStore reopened(game(), root());
        QVERIFY(reopened.keepIfDue(script({"c"}), kSettings, minutesLater(61)));
        // Keeping before a restore does not wait, but never repeats the newest.
        QVERIFY(reopened.keep(script({"d"}), kSettings, minutesLater(62)));
        QVERIFY(reopened.keep(script({"d"}), kSettings, minutesLater(62)));

        const QList<GameVersion> versions = reopened.list();
        QCOMPARE(versions.size(), 4);
        QCOMPARE(versions.first().script, script({"d"}));
        QCOMPARE(versions.first().time, minutesLater(62));
        QCOMPARE(versions.last().script, script({"a"}));
        QCOMPARE(versions.last().settings, std::optional<QByteArray>(kSettings));
        // Nothing of it lies in the game folder.
        QCOMPARE(QDir(game()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void onlyTheNewestFiftyStay()
    {
        VersionStore store(game(), root());
        for (int i = 0; i < VersionStore::kMaxVersions + 5; ++i)
            QVERIFY(store.keep(script({QByteArray::number(i).constData()}), kSettings,
                               minutesLater(i)));
        const QList<GameVersion> versions = store.list();
        QCOMPARE(versions.size(), VersionStore::kMaxVersions);
        QCOMPARE(versions.first().script, script({"54"}));
        QCOMPARE(versions.last().script, script({"5"}));
    }

    void gameWithoutSettingsFile()
    {
        VersionStore store(game(), root());
        QVERIFY(store.keepIfDue(script({"a"}), std::nullopt, kStart));
        // A Game.ini made later is a change worth a version of its own.
        QVERIFY(store.keep(script({"a"}), kSettings, minutesLater(1)));
        const QList<GameVersion> versions = store.list();
        QCOMPARE(versions.size(), 2);
        QCOMPARE(versions.last().settings, std::nullopt);
        QCOMPARE(versions.last().sceneCount(), 1);
    }

    void failedKeepReportsFalse()
    {
        // The versions folder cannot be made: a file stands in its way.
        writeBytes(root(), "not a folder");
        VersionStore store(game(), root());
        QVERIFY(!store.keepIfDue(script({"a"}), kSettings, kStart));
        QVERIFY(!store.keep(script({"a"}), kSettings, kStart));
        QCOMPARE(store.list().size(), 0);
    }

    void firstDifference_data()
    {
        QTest::addColumn<QByteArray>("then");
        QTest::addColumn<QByteArray>("now");
        QTest::addColumn<int>("expected");
        QTest::newRow("same") << script({"a", "b", "c"}) << script({"a", "b", "c"}) << -1;
        QTest::newRow("middle changed") << script({"a", "b", "c"}) << script({"a", "X", "c"}) << 1;
        QTest::newRow("scene added") << script({"a", "b"}) << script({"a", "b", "c"}) << 2;
        QTest::newRow("scene removed") << script({"a", "b", "c"}) << script({"a", "c"}) << 1;
        QTest::newRow("last removed") << script({"a", "b", "c"}) << script({"a", "b"}) << 2;
        QTest::newRow("picture changed") << script({"a"}) << sceneBytes("a", "2.jpg") << 0;
        QTest::newRow("all removed") << script({"a"}) << QByteArray() << 0;
    }
    void firstDifference()
    {
        QFETCH(QByteArray, then);
        QFETCH(QByteArray, now);
        QFETCH(int, expected);
        const GameVersion version{kStart, then, std::nullopt};
        QCOMPARE(version.firstDifference(parseScript(now).scenes), expected);
    }

    // A folder renamed, moved or deleted by mistake is when its versions are needed most.
    void versionsStayWhateverBecameOfTheirFolderUntilUntouchedForAYear()
    {
        const auto named = [](const char *name) {
            return encodeSettings({QString::fromUtf8(name),
                                   {},
                                   {},
                                   QStringLiteral("100"),
                                   QStringLiteral("0")})
                .bytes;
        };
        VersionStore kept(game("kept"), root());
        VersionStore gone(game("gone"), root());
        VersionStore old(game("old"), root());
        VersionStore opened(game("opened"), root());
        const QDateTime yearAndADayAgo = kStart.addDays(-VersionStore::kAgeOutDays - 1);
        QVERIFY(
            kept.keep(script({"a"}), named("留下"), kStart.addDays(-VersionStore::kAgeOutDays)));
        QVERIFY(gone.keep(script({"a"}), named("灯塔"), kStart));
        QVERIFY(gone.keep(script({"a", "b"}), std::nullopt, minutesLater(20)));
        QVERIFY(old.keep(script({"a"}), kSettings, yearAndADayAgo));
        QVERIFY(opened.keep(script({"a"}), kSettings, yearAndADayAgo));
        QVERIFY(QDir(game("gone")).removeRecursively());

        QCOMPARE(VersionStore::ageOut(root(), kStart, game("opened")), 1);
        QVERIFY(!QFileInfo::exists(old.gameRoot()));
        QCOMPARE(opened.list().size(), 1); // the game being opened keeps its versions
        QCOMPARE(kept.list().size(), 1);
        QCOMPARE(gone.list().size(), 2);

        // Offered by the game's name, newest first; the name of a version without Game.ini is
        // that of the folder.
        const QList<VersionStore::StoredGame> games = VersionStore::storedGames(root());
        QCOMPARE(games.size(), 3);
        QCOMPARE(games.at(0).gameRoot, gone.gameRoot());
        QCOMPARE(games.at(0).name, QStringLiteral("gone"));
        QCOMPARE(games.at(0).count, 2);
        QVERIFY(!games.at(0).folderThere);
        QCOMPARE(games.at(0).folder, m_dir->filePath(QStringLiteral("gone")));
        QCOMPARE(games.at(1).name, QStringLiteral("留下"));
        QVERIFY(games.at(1).folderThere);
        QCOMPARE(VersionStore::listIn(games.at(0).gameRoot).first().script, script({"a", "b"}));

        QVERIFY(VersionStore::removeStoredGame(gone.gameRoot()));
        QCOMPARE(VersionStore::storedGames(root()).size(), 2);
        QVERIFY(!VersionStore::removeStoredGame(m_dir->path())); // never a folder not ours
        QVERIFY(QDir(m_dir->path()).exists());
    }

    void windowListsVersionsAndAsksToRestoreTheChosenOne()
    {
        const GameFolder folder(game());
        writeBytes(folder.path() + QStringLiteral("/Game.ini"), kSettings);
        VersionStore store(folder.path(), root());
        QVERIFY(store.keep(script({"a"}), kSettings, kStart));
        QVERIFY(store.keep(script({"a", "b", "c"}), kSettings, minutesLater(20)));
        QVERIFY(store.keep(script({"a", "b", "c"}), std::nullopt, minutesLater(40)));

        VersionsWindow window(root());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setCurrent(folder, parseScript(script({"a", "b", "c"})).scenes, QString());
        auto *list = window.findChild<QTreeWidget *>(QStringLiteral("versions"));
        auto *restore = window.findChild<QPushButton *>(QStringLiteral("restore"));
        QVERIFY(list && restore);
        QCOMPARE(list->topLevelItemCount(), 3);
        const auto line = [&](int row) {
            const QTreeWidgetItem *item = list->topLevelItem(row);
            return item->text(0) + QLatin1Char(' ') + item->text(1) + QLatin1Char(' ') +
                   item->text(2);
        };
        QVERIFY(line(0).startsWith(
            minutesLater(40).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
        QVERIFY2(line(0).contains(QStringLiteral("3个场景")) &&
                     line(0).contains(QStringLiteral("场景相同,设置不同")),
                 qPrintable(line(0)));
        QVERIFY2(line(1).contains(QStringLiteral("与现在相同")), qPrintable(line(1)));
        QVERIFY2(line(2).contains(QStringLiteral("1个场景")) &&
                     line(2).contains(QStringLiteral("从第2个场景起不同")),
                 qPrintable(line(2)));

        // Keyboard alone: down to the oldest, then the button.
        QSignalSpy asked(&window, &VersionsWindow::restoreRequested);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), 2);
        QTest::keyClick(restore, Qt::Key_Space);
        QCOMPARE(asked.size(), 1);
        const auto chosen = asked.first().first().value<GameVersion>();
        QCOMPARE(chosen.time, kStart);
        QCOMPARE(chosen.script, script({"a"}));

        // A version kept meanwhile shows after reload, the chosen one stays chosen.
        QVERIFY(store.keep(script({"z"}), kSettings, minutesLater(60)));
        window.reload();
        QCOMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), 3);
    }
};

QTEST_MAIN(TestVersions)
#include "tst_versions.moc"
