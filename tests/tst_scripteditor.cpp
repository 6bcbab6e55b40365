// The editor's decisions without a window: two-press editing, stored codes, settings, names.
#include "filewrite.h"
#include "gbk.h"
#include "scripteditor.h"
#include "scriptfile.h"
#include "testutil.h"
#include "versionstore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

Q_DECLARE_METATYPE(SceneFieldValues)

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

    void twoEditorsOnOneGameNeverWriteOverEachOther()
    {
        writeBytes(file("Game.txt"), sceneBytes("one") + sceneBytes("two"));
        writeBytes(file("Game.ini"), "\"n\",\"\",\"\",\"100\",\"0\"\r\n");
        ScriptEditor a(folder()), b(folder());
        a.load();
        b.load();
        b.browse(ScriptEditor::Browse::Last);

        a.pressAdd(form(QString()));
        QVERIFY(a.pressAdd(form(QStringLiteral("AAA"))).notice.isEmpty());
        // B's Add meets a file that A changed: nothing written, B holds the file as it is now,
        // and what B typed still waits to be stored.
        b.pressAdd(form(QString()));
        const EditResult refused = b.pressAdd(form(QStringLiteral("BBB")));
        QCOMPARE(refused.notice.text,
                 QStringLiteral("Game.txt已被其他程序修改,没有保存。已重新载入它现在的内容,"
                                "请再做一次刚才的修改"));
        QCOMPARE(refused.notice.reloaded, Notice::Reload::Script);
        QVERIFY(b.addWaiting());
        QVERIFY(listsEqualFile(b));
        QCOMPARE(b.CurRec(), 2);
        QVERIFY(b.pressAdd(form(QStringLiteral("BBB"))).notice.isEmpty());
        QCOMPARE(b.CurRec(), 4);
        QVERIFY(b.deleteScene().isEmpty());
        QCOMPARE(
            LoadScript(folder()).scenes.NoteList,
            (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("AAA")}));

        // A text editor shortens the file under A: A's Delete writes nothing and A shows the
        // nearest scene that still exists.
        writeBytes(file("Game.txt"), sceneBytes("only"));
        QCOMPARE(a.CurRec(), 3);
        QCOMPARE(a.deleteScene().reloaded, Notice::Reload::Script);
        QCOMPARE(readBytes(file("Game.txt")), sceneBytes("only"));
        QCOMPARE(a.CurRec(), 1);
        QVERIFY(listsEqualFile(a));

        // Settings: B saves over a Game.ini that A changed only after reading it again.
        QVERIFY(a.saveSetting(GameSettings::Name, QStringLiteral("A")).isEmpty());
        const Notice settings = b.saveSetting(GameSettings::Music, QStringLiteral("b.mid"));
        QCOMPARE(settings.reloaded, Notice::Reload::Settings);
        QCOMPARE(readBytes(file("Game.ini")), QByteArray("\"A\",\"\",\"\",\"100\",\"0\"\r\n"));
        QCOMPARE(b.settingsForm()->name, QStringLiteral("A"));
        QVERIFY(b.saveSetting(GameSettings::Music, QStringLiteral("b.mid")).isEmpty());
        QCOMPARE(readBytes(file("Game.ini")), QByteArray("\"A\",\"b.mid\",\"\",\"100\",\"0\"\r\n"));
    }

    void untouchedTextIsWrittenBackAsItWasRead_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown"); // what the text box gives back
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("lone LF, untouched") << QByteArray("a\nb") << "a\nb" << QByteArray("a\nb");
        QTest::newRow("lone CR, shown as a line break")
            << QByteArray("a\rb") << "a\nb" << QByteArray("a\rb");
        QTest::newRow("lone LF, text edited")
            << QByteArray("a\nb") << "a\nbc" << QByteArray("a bc");
    }
    void untouchedTextIsWrittenBackAsItWasRead()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        QFETCH(QByteArray, written);
        writeBytes(file("Game.txt"), sceneBytes(stored.constData(), "b.jpg", "m.png"));
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::First);
        SceneForm fields = editor.showScene(0);
        fields.text = shown;
        editor.pressModify(fields);
        QVERIFY(editor.pressModify(fields).notice.isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), sceneBytes(written.constData(), "b.jpg", "m.png"));
    }

    void closingKnowsWhatIsNotStoredYet()
    {
        writeBytes(file("Game.txt"), sceneBytes("one", "b.jpg", "m.png"));
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::First);
        SceneForm shown = editor.showScene(0);
        QVERIFY(!editor.hasUnstoredScene(shown));
        editor.pressModify(shown);
        QVERIFY(!editor.hasUnstoredScene(shown)); // a Modify that would change nothing
        SceneForm typed = shown;
        typed.text = QStringLiteral("changed");
        QVERIFY(editor.hasUnstoredScene(typed));
        editor.pressAdd(typed);
        SceneForm fresh = typed;
        fresh.text.clear(); // Add's first press empties the text
        typed.text = QStringLiteral("new scene");
        QVERIFY(editor.hasUnstoredScene(typed));
        QVERIFY(editor.storeWaiting(typed).notice.isEmpty()); // Add first
        QCOMPARE(editor.scenes().count(), 2);
        QVERIFY(!editor.addWaiting() && editor.modifyWaiting());
        QVERIFY(editor.storeWaiting(fresh).notice.isEmpty());
        QVERIFY(!editor.hasUnstoredScene(fresh));
        QCOMPARE(editor.scenes().NoteList, (QStringList{QStringLiteral("one"), QString()}));
    }

    void missingSettingsFileIsMadeByTheFirstSave()
    {
        const QString link = m_dir->filePath(QStringLiteral("Game.ini"));
        QTemporaryDir home;
        // A game shared with its Game.ini linked to a file of the author's home that is not
        // there: nothing is made through the link.
        QVERIFY(QFile::link(home.filePath(QStringLiteral("mine.ini")), link));
        ScriptEditor linked(folder());
        QCOMPARE(linked.load().settingsNotice.title, QStringLiteral("提示"));
        QCOMPARE(linked.saveSetting(GameSettings::Name, QStringLiteral("x")).title,
                 QStringLiteral("保存失败"));
        QVERIFY(QDir(home.path()).isEmpty());
        QFile::remove(link);

        ScriptEditor editor(folder());
        const ScriptEditor::StartUp found = editor.load();
        QVERIFY(found.settingsNotice.text.startsWith(QStringLiteral("Game.ini配置文件未找到")));
        const GameSettings panel{QString(), QStringLiteral("a.mid"), QString(),
                                 QStringLiteral("50"), QStringLiteral("0")};
        QVERIFY(editor.saveSetting(panel, GameSettings::Music).isEmpty());
        const QByteArray name = Gbk::encode(QDir(m_dir->path()).dirName()).bytes;
        QCOMPARE(readBytes(link), "\"" + name + "\",\"a.mid\",\"\",\"50\",\"0\"\r\n");
        QVERIFY(editor.saveSetting(GameSettings::Font, QStringLiteral("f")).isEmpty());
        QCOMPARE(readBytes(link), "\"" + name + "\",\"a.mid\",\"f\",\"50\",\"0\"\r\n");
    }

    void gameThatMayNotBeChangedSaysSoAtStartUp()
    {
        writeBytes(file("Game.txt"), sceneBytes("one"));
        writeBytes(file("Game.ini"), "\"n\",\"\",\"\",\"100\",\"0\"\r\n");
        QVERIFY(ScriptEditor(folder()).load().readOnlyNotice.isEmpty());
        QFile::setPermissions(file("Game.txt"), QFile::ReadOwner | QFile::ReadOther);
        const Notice notice = ScriptEditor(folder()).load().readOnlyNotice;
        QVERIFY2(notice.text.startsWith(QStringLiteral("这个游戏不能修改")),
                 qPrintable(notice.text));
        QVERIFY(notice.text.contains(QStringLiteral("复制示例游戏")));
    }

    void structureCommandsAndTheirUndo_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QString>("after"); // the scenes' texts, "_" for an empty one
        QTest::addColumn<int>("curRec");
        QTest::newRow("insert before the first") << "insert" << QList<int>{0, 0} << "_abcde" << 1;
        QTest::newRow("insert after the middle") << "insert" << QList<int>{2, 1} << "abc_de" << 4;
        QTest::newRow("insert after the last") << "insert" << QList<int>{4, 1} << "abcde_" << 6;
        QTest::newRow("duplicate a range") << "duplicate" << QList<int>{1, 2} << "abcbcde" << 4;
        QTest::newRow("move a range down across another")
            << "move" << QList<int>{0, 2, 3} << "cdeab" << 4;
        QTest::newRow("move a range up") << "move" << QList<int>{3, 2, 0} << "deabc" << 1;
        QTest::newRow("remove a range") << "remove" << QList<int>{1, 3} << "ae" << 2;
        QTest::newRow("remove the last two") << "remove" << QList<int>{3, 2} << "abc" << 3;
    }
    void structureCommandsAndTheirUndo()
    {
        QFETCH(QString, command);
        QFETCH(QList<int>, args);
        QFETCH(QString, after);
        QFETCH(int, curRec);
        QByteArray before;
        for (const char *s : {"a", "b", "c", "d", "e"})
            before += sceneBytes(s, (QByteArray(s) + ".jpg").constData());
        writeBytes(file("Game.txt"), before);
        ScriptEditor editor(folder());
        editor.load();
        Notice done;
        if (command == u"insert")
            done = editor.insertScene(args[0], args[1]);
        else if (command == u"duplicate")
            done = editor.duplicateScenes(args[0], args[1]);
        else if (command == u"move")
            done = editor.moveScenes(args[0], args[1], args[2]);
        else
            done = editor.removeScenes(args[0], args[1]);
        QVERIFY2(done.isEmpty(), qPrintable(done.text));
        QStringList texts;
        for (const QString &note : LoadScript(folder()).scenes.NoteList)
            texts.append(note.isEmpty() ? QStringLiteral("_") : note);
        QCOMPARE(texts.join(QString()), after);
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.CurRec(), curRec);
        if (command == u"insert") // the neighbour's pictures, a text of its own
            QCOMPARE(editor.scenes().at(SceneField::BG, curRec - 1),
                     QString(QChar(u'a' + args[0])) + QStringLiteral(".jpg"));
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), before);
        QVERIFY(editor.redo().isEmpty());
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.scenes().count(), after.size());
    }

    // 批量设置: the fields named are set in every scene chosen, the others kept per scene; the
    // scenes already so are left out; one step, whose undo gives back the file as opened (its
    // last line without CR LF).
    void batchSettingAndItsUndo_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<SceneFieldValues>("values");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("step"); // the history's name for it, empty for no step
        const auto scenes = [](std::initializer_list<QByteArray> changed) {
            QByteArray all;
            for (const QByteArray &scene : changed)
                all += scene;
            return all;
        };
        const QByteArray a = sceneBytes("a", "a.jpg"), b = sceneBytes("b", "b.jpg"),
                         c = sceneBytes("c", "c.jpg", "1.png", "2", "0", "3", "1"),
                         d = sceneBytes("d", "d.jpg"), e = sceneBytes("e", "e.jpg");
        QTest::newRow("the box of two scenes, a gap between")
            << QList<int>{0, 2} << SceneFieldValues{{SceneField::Msg, "new.png"}}
            << scenes({sceneBytes("a", "a.jpg", "new.png"), b,
                       sceneBytes("c", "c.jpg", "new.png", "2", "0", "3", "1"), d, e})
            << "批量设置2个场景的对话框";
        QTest::newRow("two codes of a run, one scene already so")
            << QList<int>{1, 2, 3}
            << SceneFieldValues{{SceneField::FontSize, "3"}, {SceneField::FontColor, "1"}}
            << scenes({a, sceneBytes("b", "b.jpg", "1.png", "2", "0", "3", "1"), c,
                       sceneBytes("d", "d.jpg", "1.png", "2", "0", "3", "1"), e})
            << "批量设置2个场景的字号设置、颜色设置";
        QTest::newRow("all seven fields of the last scene")
            << QList<int>{4}
            << SceneFieldValues{{SceneField::BG, "x.jpg"},   {SceneField::Msg, "y.png"},
                                {SceneField::FontWZ, "0"},   {SceneField::FontSet, "6"},
                                {SceneField::FontSize, "5"}, {SceneField::FontColor, "4"},
                                {SceneField::MsgWZ, "1"}}
            << scenes({a, b, c, d, sceneBytes("e", "x.jpg", "y.png", "0", "6", "5", "4", "1")})
            << "批量设置1个场景的背景图、对话框、字体位置、字体设置、字号设置、颜色设置、对话框位"
               "置";
        QTest::newRow("the text is each scene's own")
            << QList<int>{0, 1}
            << SceneFieldValues{{SceneField::Note, "z"}, {SceneField::BG, "z.jpg"}}
            << scenes({sceneBytes("a", "z.jpg"), sceneBytes("b", "z.jpg"), c, d, e})
            << "批量设置2个场景的背景图";
        QTest::newRow("nothing changes: no step")
            << QList<int>{2} << SceneFieldValues{{SceneField::FontColor, "1"}} << QByteArray()
            << "";
    }
    void batchSettingAndItsUndo()
    {
        QFETCH(QList<int>, positions);
        QFETCH(SceneFieldValues, values);
        QFETCH(QByteArray, after);
        QFETCH(QString, step);
        const QByteArray opened = sceneBytes("a", "a.jpg") + sceneBytes("b", "b.jpg") +
                                  sceneBytes("c", "c.jpg", "1.png", "2", "0", "3", "1") +
                                  sceneBytes("d", "d.jpg") + sceneBytes("e", "e.jpg").chopped(2);
        writeBytes(file("Game.txt"), opened);
        ScriptEditor editor(folder());
        editor.load();
        editor.browseTo(2);
        const Notice done = editor.setSceneFields(positions, values);
        QVERIFY2(done.isEmpty(), qPrintable(done.text));
        QCOMPARE(editor.CurRec(), 2);
        if (step.isEmpty()) {
            QCOMPARE(editor.history().count(), 0);
            QCOMPARE(readBytes(file("Game.txt")), opened);
            return;
        }
        QCOMPARE(readBytes(file("Game.txt")), after);
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.history().count(), 1);
        QCOMPARE(editor.history().undoText(), step);
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), opened);
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.CurRec(), 2);
        QVERIFY(editor.redo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), after);

        // A write that fails leaves no step, and the file and the lists as they were.
        QVERIFY(editor.undo().isEmpty());
        FileWriteTesting::failAt(FileWriteTesting::Step::Flush);
        QCOMPARE(editor.setSceneFields(positions, values).title, QStringLiteral("保存失败"));
        FileWriteTesting::failAfterBytes(-1);
        QCOMPARE(readBytes(file("Game.txt")), opened);
        QVERIFY(listsEqualFile(editor));
        QVERIFY(!editor.history().canUndo());
    }

    void undoingEveryChangeGivesBackTheFilesAsOpened()
    {
        // A hand-made file: its last line without CR LF, a byte that is no GBK; no Game.ini.
        const QByteArray opened = sceneBytes("one") + sceneBytes("t\xffwo").chopped(2);
        writeBytes(file("Game.txt"), opened);
        writeBytes(file("BG/there.jpg"), "old picture");
        QTemporaryDir elsewhere;
        writeBytes(elsewhere.filePath(QStringLiteral("there.jpg")), "new picture");
        writeBytes(elsewhere.filePath(QStringLiteral("new.jpg")), "new");
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::Last);
        QVERIFY(
            editor.addScene(editor.sceneFromForm(form(QStringLiteral("three")), false)).isEmpty());
        QVERIFY(
            editor.modifyScene(editor.sceneFromForm(form(QStringLiteral("3")), false)).isEmpty());
        QVERIFY(editor.moveScenes(2, 1, 0).isEmpty());
        QVERIFY(editor.saveSetting(GameSettings::Name, QStringLiteral("g")).isEmpty());
        QVERIFY(editor.saveSetting(GameSettings::Font, QStringLiteral("f")).isEmpty());
        using Kind = ScriptEditor::PictureKind;
        QVERIFY(
            editor.copyPicture(Kind::Background, elsewhere.filePath(QStringLiteral("there.jpg")))
                .isEmpty());
        QVERIFY(editor.copyPicture(Kind::Background, elsewhere.filePath(QStringLiteral("new.jpg")))
                    .isEmpty());
        QVERIFY(editor.deleteScene().isEmpty());
        QCOMPARE(editor.history().undoText(), QStringLiteral("删除第1个场景"));
        QCOMPARE(editor.history().count(), 8);

        while (editor.history().canUndo())
            QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), opened);
        QVERIFY(!QFileInfo::exists(file("Game.ini")));
        QCOMPARE(readBytes(file("BG/there.jpg")), QByteArray("old picture"));
        QVERIFY(!QFileInfo::exists(file("BG/new.jpg")));
        QVERIFY(listsEqualFile(editor));
        while (editor.history().canRedo())
            QVERIFY(editor.redo().isEmpty());
        QCOMPARE(readBytes(file("Game.ini")), QByteArray("\"g\",\"\",\"f\",\"250\",\"1\"\r\n"));
        QCOMPARE(readBytes(file("BG/new.jpg")), QByteArray("new"));
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.scenes().count(), 2); // "3" moved first, then deleted
    }

    void failedWritesLeaveHistoryListsAndFileAsTheyWere()
    {
        QByteArray before;
        for (const char *s : {"a", "b", "c"})
            before += sceneBytes(s);
        writeBytes(file("Game.txt"), before);
        ScriptEditor editor(folder());
        editor.load();
        FileWriteTesting::failAt(FileWriteTesting::Step::Flush);
        QCOMPARE(editor.moveScenes(0, 1, 2).title, QStringLiteral("保存失败"));
        QCOMPARE(editor.history().count(), 0);
        QCOMPARE(readBytes(file("Game.txt")), before);
        QVERIFY(listsEqualFile(editor));

        FileWriteTesting::failAfterBytes(-1);
        QVERIFY(editor.moveScenes(0, 1, 2).isEmpty());
        const QByteArray moved = readBytes(file("Game.txt"));
        FileWriteTesting::failAt(FileWriteTesting::Step::Commit);
        QCOMPARE(editor.undo().title, QStringLiteral("保存失败"));
        QCOMPARE(readBytes(file("Game.txt")), moved);
        QVERIFY(listsEqualFile(editor));
        QVERIFY(editor.history().canUndo() && !editor.history().canRedo());
        FileWriteTesting::failAfterBytes(-1);
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), before);

        // At the scene limit, a copy is refused before anything is written.
        writeBytes(file("Game.txt"), sceneBytes("s").repeated(kMaxScenes));
        ScriptEditor full(folder());
        full.load();
        QCOMPARE(full.duplicateScenes(0, 1).text,
                 QStringLiteral("场景数已达上限4095个,无法再增加"));
        QCOMPARE(full.history().count(), 0);
    }

    void earlierVersionIsRestoredAsAStepOfTheHistory()
    {
        QTemporaryDir versions;
        const QByteArray opened = sceneBytes("one") + sceneBytes("two");
        writeBytes(file("Game.txt"), opened);
        ScriptEditor editor(folder(), versions.path());
        editor.load();
        QVERIFY(editor.removeScenes(0, 2).isEmpty()); // the wrong click
        QVERIFY(editor.saveSetting(GameSettings::Name, QStringLiteral("g")).isEmpty());
        const QList<GameVersion> kept = editor.versions().list();
        QCOMPARE(kept.size(), 1); // before the first change, not again within ten minutes
        QCOMPARE(kept.first().script, opened);
        QVERIFY(!kept.first().settings);

        QVERIFY(editor.restoreVersion(kept.first()).isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), opened);
        QVERIFY(!QFileInfo::exists(file("Game.ini")));
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.versions().list().size(), 2); // what was there before is kept too
        QVERIFY(editor.history().undoText().startsWith(QStringLiteral("恢复")));
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), QByteArray());
        QCOMPARE(readBytes(file("Game.ini")).left(4), QByteArray("\"g\","));
    }

    // Both files change together or neither does. When Game.ini fails after Game.txt was
    // written and Game.txt cannot be put back either, the author hears of both failures and the
    // editor holds what the files now hold.
    void failedPuttingBackOfGameTxtIsToldAndBothFilesAreReadAgain()
    {
        QTemporaryDir versions;
        writeBytes(file("Game.txt"), sceneBytes("one") + sceneBytes("two"));
        writeBytes(file("Game.ini"), "\"a\",\"\",\"\",\"100\",\"1\"\r\n");
        ScriptEditor editor(folder(), versions.path());
        editor.load();
        QVERIFY(editor.removeScenes(0, 1).isEmpty());
        QVERIFY(editor.saveSetting(GameSettings::Name, QStringLiteral("b")).isEmpty());
        const QByteArray changedTxt = readBytes(file("Game.txt"));
        const QByteArray changedIni = readBytes(file("Game.ini"));
        QVERIFY(editor.restoreVersion(editor.versions().list().first()).isEmpty());
        QCOMPARE(editor.scenes().count(), 2);

        // Undo writes Game.txt, then fails on Game.ini and on putting Game.txt back.
        FileWriteTesting::failAt(FileWriteTesting::Step::Commit, 0, 1);
        const Notice notice = editor.undo();
        FileWriteTesting::failAfterBytes(-1);
        QVERIFY2(notice.text.startsWith(QStringLiteral("Game.ini保存失败,而Game.txt已经写入")) &&
                     notice.text.count(QStringLiteral("无法写入")) == 2,
                 qPrintable(notice.text));
        QCOMPARE(notice.reloaded, Notice::Reload::Script);
        QCOMPARE(readBytes(file("Game.txt")), changedTxt);
        QVERIFY(readBytes(file("Game.ini")) != changedIni);
        QVERIFY(listsEqualFile(editor));
        QVERIFY(editor.files().settings() == ReadSettings(folder()).settings);
        QCOMPARE(editor.history().count(), 0); // no step fits the files any more
        // The editor goes on from there: the next change is written over what it read.
        QVERIFY(editor.removeScenes(0, 1).isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), QByteArray());
    }

    // Another program changed a file since the editor's last step: nothing is written, the
    // author is told, and the history is dropped, so no stale step is ever applied.
    void anotherProgramsChangeDropsTheHistory_data()
    {
        QTest::addColumn<QString>("path");     // what the other program changes
        QTest::addColumn<QString>("step");     // the editor's step before it
        QTest::addColumn<QString>("then");     // what the editor does after it
        QTest::addColumn<QByteArray>("other"); // what the other program leaves ("-": deleted)
        QTest::addColumn<int>("reloaded");
        const QByteArray three = sceneBytes("x") + sceneBytes("y") + sceneBytes("z");
        QTest::newRow("Game.txt rewritten, undo") << "Game.txt"
                                                  << "add"
                                                  << "undo" << three << int(Notice::Reload::Script);
        QTest::newRow("Game.txt deleted, Add")
            << "Game.txt"
            << "add"
            << "add" << QByteArray("-") << int(Notice::Reload::Script);
        QTest::newRow("picture copied in, changed, undo")
            << "BG/new.jpg"
            << "copy"
            << "undo" << QByteArray("edited") << int(Notice::Reload::Picture);
        QTest::newRow("picture copied in, deleted, undo")
            << "BG/new.jpg"
            << "copy"
            << "undo" << QByteArray("-") << int(Notice::Reload::Picture);
        QTest::newRow("picture replaced, changed, undo")
            << "BG/old.jpg"
            << "copy"
            << "undo" << QByteArray("edited") << int(Notice::Reload::Picture);
        QTest::newRow("picture copy undone, made again, redo")
            << "BG/new.jpg"
            << "copy, undo"
            << "redo" << QByteArray("other") << int(Notice::Reload::Picture);
    }
    void anotherProgramsChangeDropsTheHistory()
    {
        QFETCH(QString, path);
        QFETCH(QString, step);
        QFETCH(QString, then);
        QFETCH(QByteArray, other);
        QFETCH(int, reloaded);
        writeBytes(file("Game.txt"), sceneBytes("one") + sceneBytes("two"));
        writeBytes(file("BG/old.jpg"), "old picture");
        QTemporaryDir elsewhere;
        const QString picked = elsewhere.filePath(QFileInfo(path).fileName());
        writeBytes(picked, "picked");
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::Last);
        const SceneRec added = editor.sceneFromForm(form(QStringLiteral("three")), false);
        if (step.startsWith(u"add"))
            QVERIFY(editor.addScene(added).isEmpty());
        else
            QVERIFY(editor.copyPicture(ScriptEditor::PictureKind::Background, picked).isEmpty());
        if (step.endsWith(u"undo"))
            QVERIFY(editor.undo().isEmpty());
        const QString changed = m_dir->filePath(path);
        if (other == "-")
            QVERIFY(QFile::remove(changed));
        else
            writeBytes(changed, other);

        const Notice notice = then == u"undo"   ? editor.undo()
                              : then == u"redo" ? editor.redo()
                                                : editor.addScene(added);
        QCOMPARE(int(notice.reloaded), reloaded);
        QVERIFY2(notice.text.contains(u"其他程序修改"), qPrintable(notice.text));
        QCOMPARE(readBytes(changed), other == "-" ? QByteArray("<missing>") : other);
        QVERIFY(!editor.history().canUndo() && !editor.history().canRedo());
        QVERIFY(editor.undo().isEmpty() && editor.redo().isEmpty()); // nothing stale is left
        QCOMPARE(readBytes(changed), other == "-" ? QByteArray("<missing>") : other);
        QVERIFY(listsEqualFile(editor));
    }

    // Taking Game.ini back to none (an undo, a restore) means no file; a file marked read-only
    // and a link are left as they are, and the step says why.
    void gameIniTakenBackToNone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>(
            "kind"); // what Game.ini is when taken back: plain, read-only, link
        QTest::addColumn<bool>("removed");
        QTest::newRow("undo of the save that made it") << "undo"
                                                       << "plain" << true;
        QTest::newRow("undo, read-only") << "undo"
                                         << "read-only" << false;
        QTest::newRow("undo, a link") << "undo"
                                      << "link" << false;
        QTest::newRow("restore, read-only") << "restore"
                                            << "read-only" << false;
        QTest::newRow("restore, a link") << "restore"
                                         << "link" << false;
    }
    void gameIniTakenBackToNone()
    {
        QFETCH(QString, how);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        QTemporaryDir versions, home;
        const QString ini = m_dir->filePath(QStringLiteral("Game.ini"));
        writeBytes(file("Game.txt"), sceneBytes("one"));
        writeBytes(ini, "\"opened\",\"\",\"\",\"100\",\"0\"\r\n");
        ScriptEditor editor(folder(), versions.path());
        editor.load();
        // A version without Game.ini: the game as it was before its first settings save.
        const GameVersion bare{QDateTime::currentDateTimeUtc(), sceneBytes("one"), std::nullopt};
        if (how == u"undo") {
            QVERIFY(editor.restoreVersion(bare).isEmpty());
            QVERIFY(!QFileInfo::exists(ini));
            QVERIFY(editor.saveSetting(GameSettings::Name, QStringLiteral("made")).isEmpty());
        }
        const QByteArray bytes = readBytes(ini);
        if (kind == u"read-only") {
            QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup);
        } else if (kind == u"link") {
            writeBytes(home.filePath(QStringLiteral("mine.ini")), bytes);
            QVERIFY(QFile::remove(ini));
            QVERIFY(QFile::link(home.filePath(QStringLiteral("mine.ini")), ini));
        }
        const Notice notice = how == u"undo" ? editor.undo() : editor.restoreVersion(bare);
        QCOMPARE(notice.isEmpty(), removed);
        if (removed) {
            QVERIFY(!QFileInfo::exists(ini)); // not the Game.ini the editor opened with
            QVERIFY(!editor.settingsForm());
            return;
        }
        QCOMPARE(notice.title, QStringLiteral("保存失败"));
        QCOMPARE(readBytes(ini), bytes);
        QCOMPARE(QFileInfo(ini).isSymLink(), kind == u"link");
        QCOMPARE(readBytes(file("Game.txt")), sceneBytes("one"));
        QVERIFY(listsEqualFile(editor));
    }

    // Restoring a kept version is how a Game.txt the editor may not change is repaired; the
    // unusable file is kept as a version first.
    void unusableScriptIsRepairedFromAVersion_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("status");
        QTest::newRow("damaged") << "damaged" << int(ScriptStatus::Damaged);
        QTest::newRow("too many scenes") << "many" << int(ScriptStatus::TooManyScenes);
        QTest::newRow("too large") << "large" << int(ScriptStatus::TooLarge);
    }
    void unusableScriptIsRepairedFromAVersion()
    {
        QFETCH(QString, how);
        QFETCH(int, status);
        QTemporaryDir versions;
        const QByteArray good = sceneBytes("one") + sceneBytes("two");
        VersionStore(m_dir->path(), versions.path())
            .keep(good, std::nullopt, QDateTime::currentDateTimeUtc().addSecs(-3600));
        QByteArray bad = good + "stray\r\n";
        if (how == u"many")
            bad = sceneBytes("s").repeated(kMaxScenes + 1);
        writeBytes(file("Game.txt"), how == u"large" ? QByteArray() : bad);
        if (how == u"large") // sparse: no room taken on the disk
            QVERIFY(QFile(file("Game.txt")).resize(kMaxScriptBytes + 1));
        ScriptEditor editor(folder(), versions.path());
        QVERIFY(!editor.load().scriptNotice.isEmpty());
        QVERIFY(!editor.checkAdd().isEmpty());
        const GameVersion kept = editor.versions().list().first();
        QVERIFY(editor.restoreQuestion(kept).contains(u"现在无法使用的Game.txt"));

        const Notice repaired = editor.restoreVersion(kept);
        QCOMPARE(repaired.reloaded, Notice::Reload::Script);
        QCOMPARE(readBytes(file("Game.txt")), good);
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.CurRec(), 1);
        QVERIFY(editor.checkAdd().isEmpty()); // the game may be changed again
        const GameVersion unusable = editor.versions().list().first();
        QCOMPARE(int(unusable.status()), status);
        if (how != u"large")
            QCOMPARE(unusable.script, bad);
        // A version that cannot be used itself is refused, and nothing is written.
        QCOMPARE(editor.restoreVersion(unusable).title, QStringLiteral("提示"));
        QCOMPARE(readBytes(file("Game.txt")), good);
    }

    // Four scenes; the second shows the background 灯塔.jpg, the others bg1.jpg … bg4.jpg.
    static QByteArray storyBytes(const QStringList &notes, const QStringList &backgrounds)
    {
        QString text;
        for (qsizetype i = 0; i < notes.size(); ++i)
            text += notes.at(i) + QStringLiteral("\r\n") + backgrounds.at(i) +
                    QStringLiteral("\r\nm.png\r\n2\r\n0\r\n0\r\n0\r\n2\r\n");
        return Gbk::encode(text).bytes;
    }
    static QStringList story() { return {"灯塔亮了", "海边", "灯塔灭了", "灯塔"}; }
    static QStringList storyBackgrounds() { return {"bg1.jpg", "灯塔.jpg", "bg3.jpg", "bg4.jpg"}; }

    void bulkCommandsAndTheirUndo_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("notes"); // the texts after the command
        QTest::addColumn<QStringList>("backgrounds");
        QTest::addColumn<QString>("undoText");
        QTest::addColumn<int>("curRec");
        const QStringList bg = storyBackgrounds();
        QTest::newRow("replace in every scene")
            << "replace" << QStringList{"灯塔", "塔楼", "", ""}
            << QStringList{"塔楼亮了", "海边", "塔楼灭了", "塔楼"} << bg
            << "替换'灯塔'为'塔楼'(3个场景)" << 1;
        QTest::newRow("replace in the ticked scenes only")
            << "replace" << QStringList{"灯塔", "塔楼", "", "", "2", "1"}
            << QStringList{"灯塔亮了", "海边", "塔楼灭了", "灯塔"} << bg
            << "替换'灯塔'为'塔楼'(1个场景)" << 3;
        QTest::newRow("replace a whole scene text")
            << "replace" << QStringList{"灯塔", "", "whole", ""}
            << QStringList{"灯塔亮了", "海边", "灯塔灭了", ""} << bg << "替换'灯塔'为''(1个场景)"
            << 4;
        QTest::newRow("whole scene text, not a text or picture name that holds it")
            << "replace" << QStringList{"灯塔", "塔楼", "whole", "pictures"}
            << QStringList{"灯塔亮了", "海边", "灯塔灭了", "塔楼"} << bg
            << "替换'灯塔'为'塔楼'(1个场景)" << 4;
        QTest::newRow("whole scene text in the ticked scenes")
            << "replace" << QStringList{"灯塔", "塔楼", "whole", "", "0", "3"}
            << QStringList{"灯塔亮了", "海边", "灯塔灭了", "塔楼"} << bg
            << "替换'灯塔'为'塔楼'(1个场景)" << 4;
        QTest::newRow("replace in picture names too")
            << "replace" << QStringList{"灯塔", "塔楼", "", "pictures"}
            << QStringList{"塔楼亮了", "海边", "塔楼灭了", "塔楼"}
            << QStringList{"bg1.jpg", "塔楼.jpg", "bg3.jpg", "bg4.jpg"}
            << "替换'灯塔'为'塔楼'(4个场景)" << 1;
        QTest::newRow("paste lines after the second")
            << "texts" << QStringList{"1", "新一", "新二"}
            << QStringList{"灯塔亮了", "海边", "新一", "新二", "灯塔灭了", "灯塔"}
            << QStringList{"bg1.jpg", "灯塔.jpg", "灯塔.jpg", "灯塔.jpg", "bg3.jpg", "bg4.jpg"}
            << "粘贴为第3-4个场景" << 3;
        QTest::newRow("paste lines before the first")
            << "texts" << QStringList{"-1", "新"}
            << QStringList{"新", "灯塔亮了", "海边", "灯塔灭了", "灯塔"}
            << QStringList{"bg1.jpg", "bg1.jpg", "灯塔.jpg", "bg3.jpg", "bg4.jpg"}
            << "粘贴为第1个场景" << 1;
        QTest::newRow("paste whole scenes after the last")
            << "scenes" << QStringList{"3", "别的游戏"} << story() + QStringList{"别的游戏"}
            << storyBackgrounds() + QStringList{"x.jpg"} << "粘贴为第5个场景" << 5;
        QTest::newRow("cut two") << "cut" << QStringList{"1", "2"}
                                 << QStringList{"灯塔亮了", "灯塔"}
                                 << QStringList{"bg1.jpg", "bg4.jpg"} << "剪切第2-3个场景" << 2;
        QTest::newRow("import UTF-8 with a byte order mark, blank lines skipped")
            << "import" << QStringList{"0", "\xEF\xBB\xBF一\r\n\r\n   \r\n二\n", "UTF-8"}
            << QStringList{"灯塔亮了", "一", "二", "海边", "灯塔灭了", "灯塔"}
            << QStringList{"bg1.jpg", "bg1.jpg", "bg1.jpg", "灯塔.jpg", "bg3.jpg", "bg4.jpg"}
            << "导入为第2-3个场景" << 2;
        QTest::newRow("import GBK")
            << "import" << QStringList{"3", "三\r\n四", "GBK"} << story() + QStringList{"三", "四"}
            << storyBackgrounds() + QStringList{"bg4.jpg", "bg4.jpg"} << "导入为第5-6个场景" << 5;
    }
    void bulkCommandsAndTheirUndo()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, args);
        QFETCH(QStringList, notes);
        QFETCH(QStringList, backgrounds);
        QFETCH(QString, undoText);
        QFETCH(int, curRec);
        const QByteArray before = storyBytes(story(), storyBackgrounds());
        writeBytes(file("Game.txt"), before);
        ScriptEditor editor(folder());
        editor.load();
        editor.browseTo(1);
        Notice done;
        if (command == u"replace") {
            QList<int> positions;
            for (qsizetype k = 4; k < args.size(); ++k)
                positions.append(args.at(k).toInt());
            done = editor.replaceInScenes(
                {args.at(0), args.at(1), !args.at(2).isEmpty(), !args.at(3).isEmpty()}, positions);
        } else if (command == u"texts") {
            done = editor.pasteTexts(args.at(0).toInt(), args.mid(1));
        } else if (command == u"scenes") {
            done = editor.pasteScenes(
                args.at(0).toInt(),
                {sceneWith(args.at(1), QStringLiteral("x.jpg"), QStringLiteral("m.png"))});
        } else if (command == u"cut") {
            done = editor.cutScenes(args.at(0).toInt(), args.at(1).toInt());
        } else {
            const QByteArray bytes =
                args.at(2) == u"GBK" ? Gbk::encode(args.at(1)).bytes : args.at(1).toUtf8();
            writeBytes(file("chapter.txt"), bytes);
            const ScriptEditor::Import imported =
                editor.importText(args.at(0).toInt(), file("chapter.txt"));
            done = imported.notice;
            QVERIFY2(imported.done.contains(QStringLiteral("已按%1编码读入").arg(args.at(2))),
                     qPrintable(imported.done));
        }
        QVERIFY2(done.isEmpty(), qPrintable(done.text));
        const QByteArray after = storyBytes(notes, backgrounds);
        QCOMPARE(readBytes(file("Game.txt")), after);
        QVERIFY(listsEqualFile(editor));
        QCOMPARE(editor.CurRec(), curRec);
        QCOMPARE(editor.history().count(), 1);
        QCOMPARE(editor.history().undoText(), undoText);
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), before);
        QVERIFY(listsEqualFile(editor));
        QVERIFY(editor.redo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), after);
    }

    void bulkCommandsRefusedWriteNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("said"); // a part of the notice
        QTest::newRow("replace with a character GBK cannot hold") << "replace"
                                                                  << "塔🗼"
                                                                  << "🗼";
        QTest::newRow("paste a line GBK cannot hold") << "texts"
                                                      << "灯塔🗼"
                                                      << "🗼";
        QTest::newRow("replace what no scene holds") << "replace-missing"
                                                     << "月亮"
                                                     << "没有场景含有“月亮”";
        QTest::newRow("paste past the scene limit") << "limit"
                                                    << ""
                                                    << "上限4095个";
        QTest::newRow("paste a line past the size reading takes") << "huge"
                                                                  << ""
                                                                  << "将超过256MB";
        QTest::newRow("import a file that is no text") << "import"
                                                       << ""
                                                       << "既不是UTF-8也不是GBK";
        QTest::newRow("import a file that is not there") << "import-missing"
                                                         << ""
                                                         << "文件不存在";
    }
    void bulkCommandsRefusedWriteNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, argument);
        QFETCH(QString, said);
        const QByteArray before = command == u"limit" ? sceneBytes("s").repeated(kMaxScenes - 1)
                                                      : storyBytes(story(), storyBackgrounds());
        writeBytes(file("Game.txt"), before);
        ScriptEditor editor(folder());
        editor.load();
        Notice refused;
        if (command == u"replace")
            refused = editor.replaceInScenes({QStringLiteral("灯塔"), argument});
        else if (command == u"replace-missing")
            refused = editor.replaceInScenes({argument, QStringLiteral("x")});
        else if (command == u"texts")
            refused = editor.pasteTexts(0, {QStringLiteral("好"), argument});
        else if (command == u"limit")
            refused = editor.pasteTexts(0, {QStringLiteral("a"), QStringLiteral("b")});
        else if (command == u"huge") // two bytes a character in GBK
            refused = editor.pasteTexts(0, {QString(kMaxScriptBytes / 2, u'字')});
        else if (command == u"import-missing")
            refused = editor.importText(0, file("gone.txt")).notice;
        else {
            writeBytes(file("bad.txt"), QByteArray("\x81\x20\xff\xfe", 4));
            refused = editor.importText(0, file("bad.txt")).notice;
        }
        QVERIFY2(refused.text.contains(said), qPrintable(refused.text));
        QCOMPARE(readBytes(file("Game.txt")), before);
        QCOMPARE(editor.history().count(), 0);
        QVERIFY(listsEqualFile(editor));
    }

    void replacedPictureNamesMustNameAFile_data()
    {
        QTest::addColumn<QString>("with");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("a file of that name, other letter case")
            << "Tower" << QStringList{"Msg\\Tower.png"};
        QTest::newRow("no file of that name")
            << "moon" << QStringList{"BG\\moon.jpg", "Msg\\moon.png"};
        QTest::newRow("an empty name") << "" << QStringList{"BG\\.jpg", "Msg\\.png"};
    }
    void replacedPictureNamesMustNameAFile()
    {
        QFETCH(QString, with);
        QFETCH(QStringList, missing);
        writeBytes(file("BG/tower.jpg"), "picture");
        SceneLists scenes;
        scenes.append(sceneWith(QStringLiteral("a"), QStringLiteral("light.jpg"),
                                QStringLiteral("light.png")));
        scenes.append(
            sceneWith(QStringLiteral("b"), QStringLiteral("sea.jpg"), QStringLiteral("light.png")));
        const SceneReplace what{QStringLiteral("light"), with, false, true};
        const QList<SceneReplace::Change> changes = what.changes(scenes);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(SceneReplace::missingPictures(changes, folder()), missing);
    }

    void consecutiveMovesOfTheSameScenesAreOneStep()
    {
        QByteArray before;
        for (const char *s : {"a", "b", "c", "d", "e"})
            before += sceneBytes(s);
        writeBytes(file("Game.txt"), before);
        ScriptEditor editor(folder());
        editor.load();
        // Alt+Up three times: one step, undone at once.
        for (int at : {3, 2, 1})
            QVERIFY(editor.moveScenes(at, 1, at - 1).isEmpty());
        QCOMPARE(editor.scenes().NoteList, (QStringList{"d", "a", "b", "c", "e"}));
        QCOMPARE(editor.history().count(), 1);
        QCOMPARE(editor.history().undoText(), QStringLiteral("移动第4个场景"));
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), before);
        QVERIFY(editor.redo().isEmpty());
        // Other scenes moved next: a step of their own.
        QVERIFY(editor.moveScenes(3, 2, 2).isEmpty());
        QCOMPARE(editor.history().count(), 2);
        // Down and back up: the scenes are where they were, and no step is left for it.
        QVERIFY(editor.moveScenes(2, 2, 3).isEmpty());
        QCOMPARE(editor.history().count(), 1);
        QVERIFY(editor.undo().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), before);
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
