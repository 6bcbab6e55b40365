// The editor's decisions without a window: two-press editing, stored codes, settings, names.
#include "filewrite.h"
#include "scripteditor.h"
#include "scriptfile.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

class TestScriptEditor : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString file(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }
    GameFolder folder() const { return GameFolder(m_dir->path()); }
    bool listsEqualFile(const ScriptEditor &editor) const
    {
        return editor.scenes() == LoadScript(folder()).scenes;
    }

    static SceneForm form(const QString &text, std::array<int, 5> choices = {2, 0, 0, 0, 2})
    {
        SceneForm f;
        f.text = text;
        f.background = QStringLiteral("b.jpg");
        f.messageBox = QStringLiteral("m.png");
        f.choices = choices;
        return f;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { FileWriteTesting::failAfterBytes(-1); }

    void addAndModifyTakeTwoPressesAndShareTheFields()
    {
        writeBytes(file("Game.txt"), sceneBytes("one"));
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::First);

        EditResult first = editor.pressAdd(form(QStringLiteral("ignored")));
        QVERIFY(first.notice.isEmpty());
        QCOMPARE(first.text, std::optional<QString>(QString())); // Add empties the text box
        QVERIFY(editor.addWaiting() && editor.editing());
        QVERIFY(editor.pressModify(form(QString())).notice.isEmpty());
        QVERIFY(editor.modifyWaiting());
        QCOMPARE(readBytes(file("Game.txt")), sceneBytes("one")); // nothing stored yet

        // The first store locks the fields for both; the other button still waits and stores.
        const EditResult added = editor.pressAdd(form(QStringLiteral("two\nlines")));
        QVERIFY(added.notice.isEmpty());
        QCOMPARE(added.text, std::optional<QString>(QStringLiteral("two lines")));
        QVERIFY(!editor.addWaiting() && !editor.editing() && editor.modifyWaiting());
        QCOMPARE(editor.CurRec(), 2);
        QVERIFY(editor.pressModify(form(QStringLiteral("TWO"), {0, 1, 2, 3, 1})).notice.isEmpty());
        QVERIFY(!editor.modifyWaiting());
        QCOMPARE(readBytes(file("Game.txt")),
                 sceneBytes("one") + sceneBytes("TWO", "b.jpg", "m.png", "0", "1", "2", "3", "1"));
    }

    void failedStoreKeepsTheButtonWaitingAndListsEqualToFile()
    {
        writeBytes(file("Game.txt"), sceneBytes("one"));
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::First);
        editor.pressModify(form(QString()));
        FileWriteTesting::failAt(FileWriteTesting::Step::Flush);
        const EditResult failed = editor.pressModify(form(QStringLiteral("changed")));
        QCOMPARE(failed.notice.title, QStringLiteral("保存失败"));
        QVERIFY(editor.modifyWaiting() && editor.editing());
        QVERIFY(listsEqualFile(editor));
        FileWriteTesting::failAfterBytes(-1);
        QVERIFY(editor.pressModify(form(QStringLiteral("changed"))).notice.isEmpty());
        QCOMPARE(editor.scenes().NoteList, QStringList{QStringLiteral("changed")});
    }

    void modifyIsRefusedAtTheFirstPressWithoutACurrentScene()
    {
        writeBytes(file("Game.txt"), sceneBytes("one"));
        ScriptEditor editor(folder());
        editor.load();
        const EditResult refused = editor.pressModify(form(QString()));
        QCOMPARE(refused.notice.text, QStringLiteral("当前没有可修改的场景,请先选择一个场景"));
        QVERIFY(!editor.modifyWaiting() && !editor.editing());
    }

    void untouchedListsKeepTheStoredCodeText()
    {
        writeBytes(file("Game.txt"),
                   sceneBytes("a", "1.jpg", "1.png", "9", "1", "1.0", " 2", "02"));
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::First);
        const SceneForm shown = editor.showScene(0);
        QCOMPARE(shown.choices, (std::array<int, 5>{-1, 1, -1, 2, 2}));
        QCOMPARE(editor.sceneFromForm(shown, true), editor.scenes().scene(0));
        // Picked lists store the pick; Add stores what the lists show.
        SceneForm picked = shown;
        picked.choices[0] = 1;
        picked.choices[4] = 0;
        const SceneRec modified = editor.sceneFromForm(picked, true);
        QCOMPARE(modified[SceneField::FontWZ], QStringLiteral("1"));
        QCOMPARE(modified[SceneField::MsgWZ], QStringLiteral("0"));
        QCOMPARE(modified[SceneField::FontSize], QStringLiteral("1.0"));
        QCOMPARE(editor.sceneFromForm(shown, false)[SceneField::FontSize], QStringLiteral("-1"));
        QCOMPARE(editor.sceneFromForm(shown, false)[SceneField::MsgWZ], QStringLiteral("2"));
    }

    void settingsPanelMapsChoicesToStoredValues()
    {
        writeBytes(file("Game.ini"), "\"n\",\"m.mid\",\"f\",\"100ms\",\"0\"\r\n");
        ScriptEditor editor(folder());
        const ScriptEditor::StartUp found = editor.load();
        QVERIFY(found.settings);
        QCOMPARE(found.settings->speed, 2);
        QCOMPARE(found.settings->skip, 0);
        QCOMPARE(found.settings->music, QStringLiteral("m.mid"));
        QVERIFY(editor.saveSpeed(3).isEmpty());
        QVERIFY(editor.saveSkip(1).isEmpty());
        QCOMPARE(readBytes(file("Game.ini")), QByteArray("\"n\",\"m.mid\",\"f\",\"50\",\"1\"\r\n"));
        QVERIFY(editor.saveSpeed(-1).isEmpty());
        QVERIFY(editor.saveSkip(-1).isEmpty());
        QCOMPARE(readBytes(file("Game.ini")), QByteArray("\"n\",\"m.mid\",\"f\",\"\",\"-1\"\r\n"));
    }

    void pickedNameIsWhatFollowsTheLastSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("Windows") << "C:\\game\\BG\\1.jpg"
                                 << "1.jpg";
        QTest::newRow("Linux") << "/home/u/pics/bg2.png"
                               << "bg2.png";
        QTest::newRow("mixed") << "D:\\pics/sub\\x.gif"
                               << "x.gif";
        QTest::newRow("no separator") << "noslash.gif"
                                      << "noslash.gif";
        QTest::newRow("empty") << ""
                               << "";
    }
    void pickedNameIsWhatFollowsTheLastSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(ScriptEditor::pickedName(path), name);
    }
};

QTEST_GUILESS_MAIN(TestScriptEditor)
#include "tst_scripteditor.moc"
