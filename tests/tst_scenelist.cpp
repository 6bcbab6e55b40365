// The scene list window: rows, find, go-to, the structure commands and the scene pictures.
#include "scenelistmodel.h"
#include "scenelisttexts.h"
#include "scenelistwindow.h"
#include "stage.h"
#include "testutil.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

/// The editor as the list sees it: records every call and, like the editor, refreshes the list
/// after each command. Moves are carried out, so repeated moves can be followed.
class FakeHost : public SceneListHost
{
public:
    explicit FakeHost(const QString &root) : folder(root) {}

    const SceneLists &scenes() const override { return lists; }
    const GameFolder &gameFolder() const override { return folder; }
    QString gameFont() const override { return {}; }
    int currentScene() const override { return current; }

    void showScene(int position) override
    {
        calls << QStringLiteral("show %1").arg(position);
        current = position;
    }
    void insertScene(int position, bool after) override
    {
        done(QStringLiteral("insert %1 %2").arg(position).arg(after ? "after" : "before"));
    }
    void duplicateScenes(int first, int count) override
    {
        done(QStringLiteral("duplicate %1 %2").arg(first).arg(count));
    }
    void moveScenes(int first, int count, int to) override
    {
        QList<SceneRec> taken;
        for (int k = 0; k < count; ++k) {
            taken.append(lists.scene(first));
            lists.remove(first);
        }
        SceneLists moved;
        for (int i = 0; i < lists.count(); ++i) {
            if (i == to)
                for (const SceneRec &rec : taken)
                    moved.append(rec);
            moved.append(lists.scene(i));
        }
        if (to == lists.count())
            for (const SceneRec &rec : taken)
                moved.append(rec);
        lists = moved;
        current = to;
        done(QStringLiteral("move %1 %2 %3").arg(first).arg(count).arg(to));
    }
    void removeScenes(int first, int count) override
    {
        done(QStringLiteral("remove %1 %2").arg(first).arg(count));
    }
    void cutScenes(int first, int count) override
    {
        done(QStringLiteral("cut %1 %2").arg(first).arg(count));
    }
    void pasteScenes(int after, const QList<SceneRec> &scenes) override
    {
        pasted = scenes;
        done(QStringLiteral("paste scenes %1 %2").arg(after).arg(scenes.size()));
    }
    void pasteTexts(int after, const QStringList &texts) override
    {
        pastedTexts = texts;
        done(QStringLiteral("paste lines %1 %2").arg(after).arg(texts.size()));
    }
    void importTextFile(int after) override { done(QStringLiteral("import %1").arg(after)); }
    void showReplace(const QString &find) override { done(QStringLiteral("replace ") + find); }
    void replaceInScenes(const SceneReplace &what, const QList<int> &) override
    {
        done(QStringLiteral("replace %1 with %2").arg(what.find, what.with));
    }
    void setSceneFields(const QList<int> &positions) override
    {
        QStringList rows;
        for (const int p : positions)
            rows << QString::number(p);
        done(QStringLiteral("fields ") + rows.join(u' '));
    }
    void undo() override { done(QStringLiteral("undo")); }
    void redo() override { done(QStringLiteral("redo")); }

    SceneLists lists;
    GameFolder folder;
    int current = -1;
    QStringList calls;
    QList<SceneRec> pasted;
    QStringList pastedTexts;
    SceneListWindow *window = nullptr;

private:
    void done(const QString &call)
    {
        calls << call;
        if (window)
            window->refresh();
    }
};

SceneRec scene(const QString &note, const char *bg = "bg.png", const char *msg = "box.png")
{
    return TestUtil::sceneWith(note, QString::fromLatin1(bg), QString::fromLatin1(msg));
}

void fill(FakeHost &host, int count)
{
    host.lists = SceneLists();
    for (int i = 0; i < count; ++i)
        host.lists.append(scene(QStringLiteral("场景%1").arg(i + 1)));
}

/// Types @p text into @p widget key by key, Chinese too.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QList<int> selectedRows(QListView *list)
{
    QList<int> rows;
    for (const QModelIndex &index : list->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class TestSceneList : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    /// A shown, active window over @p host, its list focused.
    std::unique_ptr<SceneListWindow> open(FakeHost &host)
    {
        auto window = std::make_unique<SceneListWindow>(host);
        host.window = window.get();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the scene list window did not become active");
        list(*window)->setFocus();
        host.calls.clear();
        return window;
    }
    static QListView *list(const SceneListWindow &w)
    {
        return w.findChild<QListView *>(QStringLiteral("scenes"));
    }
    static void selectRows(const SceneListWindow &w, int first, int last)
    {
        QItemSelectionModel *selection = list(w)->selectionModel();
        selection->setCurrentIndex(w.model()->index(first), QItemSelectionModel::ClearAndSelect);
        selection->select(QItemSelection(w.model()->index(first), w.model()->index(last)),
                          QItemSelectionModel::ClearAndSelect);
    }

private slots:
    void initTestCase()
    {
        QImage bg(Stage::kWidth, Stage::kHeight, QImage::Format_RGB32);
        bg.fill(QColor(30, 90, 200));
        QDir().mkpath(m_dir.filePath(QStringLiteral("BG")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("Msg")));
        QVERIFY(bg.save(m_dir.filePath(QStringLiteral("BG/bg.png"))));
        QVERIFY(bg.copy(0, 0, 600, 120).save(m_dir.filePath(QStringLiteral("Msg/box.png"))));
    }

    void rowsShowNumberAndTextOnOneLine()
    {
        FakeHost host(m_dir.path());
        const QString longText = QString(50, QChar(u'海'));
        host.lists.append(scene(QStringLiteral("灯塔又亮了。")));
        host.lists.append(scene(QStringLiteral("两行\r\n文字")));
        host.lists.append(scene(longText));
        SceneListModel model(host);
        QCOMPARE(model.rowCount(), 3);
        const auto text = [&model](int row, int role) {
            return model.data(model.index(row), role).toString();
        };
        QCOMPARE(text(0, Qt::DisplayRole), QStringLiteral("第1个: 灯塔又亮了。"));
        QCOMPARE(text(1, Qt::DisplayRole), QStringLiteral("第2个: 两行 文字"));
        QCOMPARE(text(2, Qt::DisplayRole),
                 QStringLiteral("第3个: ") + longText.left(SceneListModel::kShownChars) + u'…');
        QCOMPARE(text(2, Qt::AccessibleTextRole), QStringLiteral("第3个: ") + longText);
    }

    void findMatchesTextAndPictureNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("text") << "灯塔" << QList<int>{0, 2};
        QTest::newRow("text, other case") << "LIGHT" << QList<int>{2};
        QTest::newRow("background name") << "DUSK" << QList<int>{1, 2};
        QTest::newRow("message box name") << "round" << QList<int>{3};
        QTest::newRow("nothing") << "月亮" << QList<int>{};
        QTest::newRow("empty finds nothing") << "" << QList<int>{};
    }
    void findMatchesTextAndPictureNames()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, rows);
        FakeHost host(m_dir.path());
        host.lists.append(scene(QStringLiteral("灯塔")));
        host.lists.append(scene(QStringLiteral("海边"), "Dusk.jpg"));
        host.lists.append(scene(QStringLiteral("灯塔的light"), "dusk2.jpg"));
        host.lists.append(scene(QStringLiteral("船"), "bg.png", "Round.png"));
        SceneListModel model(host);
        QCOMPARE(model.find(text), rows);
    }

    void findBoxCountsAndEnterWalksThroughMatches()
    {
        FakeHost host(m_dir.path());
        fill(host, 8);
        for (int row : {1, 4, 6})
            host.lists.NoteList[row] = QStringLiteral("灯塔 %1").arg(row);
        host.current = 5;
        auto window = open(host);
        auto *find = window->findChild<QLineEdit *>(QStringLiteral("find"));
        auto *found = window->findChild<QLabel *>(QStringLiteral("found"));
        find->setFocus();
        type(find, QStringLiteral("灯塔"));
        QCOMPARE(found->text(), QStringLiteral("找到3个场景"));
        QCOMPARE(host.calls.last(), QStringLiteral("show 6")); // the first from the scene shown
        const QList<std::pair<Qt::KeyboardModifiers, int>> steps = {
            {Qt::NoModifier, 1},    {Qt::NoModifier, 4},    {Qt::NoModifier, 6},
            {Qt::ShiftModifier, 4}, {Qt::ShiftModifier, 1}, {Qt::ShiftModifier, 6}};
        for (const auto &[modifiers, row] : steps) {
            QTest::keyClick(find, Qt::Key_Return, modifiers);
            QCOMPARE(host.calls.last(), QStringLiteral("show %1").arg(row));
            QCOMPARE(selectedRows(list(*window)), QList<int>{row});
            QVERIFY(find->hasFocus());
        }
        find->clear();
        type(find, QStringLiteral("月亮"));
        QCOMPARE(found->text(), QStringLiteral("没有找到"));
        const qsizetype calls = host.calls.size();
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(host.calls.size(), calls);
    }

    void goToShowsTheSceneOfThatNumber()
    {
        FakeHost host(m_dir.path());
        fill(host, 12);
        auto window = open(host);
        auto *goTo = window->findChild<QLineEdit *>(QStringLiteral("goTo"));
        auto *note = window->findChild<QLabel *>(QStringLiteral("goToNote"));
        QTest::keyClick(list(*window), Qt::Key_1, Qt::NoModifier); // typed in the list
        QVERIFY(goTo->hasFocus());
        QTest::keyClick(goTo, Qt::Key_1, Qt::NoModifier);
        QTest::keyClick(goTo, Qt::Key_Return);
        QCOMPARE(host.calls, QStringList{QStringLiteral("show 10")});
        QCOMPARE(selectedRows(list(*window)), QList<int>{10});
        QVERIFY(list(*window)->hasFocus());
        goTo->setFocus();
        QTest::keyClicks(goTo, QStringLiteral("13"));
        QTest::keyClick(goTo, Qt::Key_Return);
        QCOMPARE(note->text(), QStringLiteral("没有第13个场景"));
        QCOMPARE(host.calls.size(), 1);
    }

    void commandsSendTheSelectedRun_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("command"); // an action's name, or keys typed in the list
        QTest::addColumn<QString>("call");
        QTest::newRow("insert before") << 2 << 3 << "insertBefore"
                                       << "insert 2 before";
        QTest::newRow("insert after") << 2 << 3 << "insertAfter"
                                      << "insert 3 after";
        QTest::newRow("copy") << 1 << 3 << "duplicate"
                              << "duplicate 1 3";
        QTest::newRow("Delete key") << 2 << 4 << "Delete"
                                    << "remove 2 3";
        QTest::newRow("Alt+Up") << 1 << 2 << "Alt+Up"
                                << "move 1 2 0";
        QTest::newRow("Alt+Up at the top") << 0 << 1 << "Alt+Up"
                                           << "";
        QTest::newRow("Alt+Down at the bottom") << 4 << 5 << "Alt+Down"
                                                << "";
        QTest::newRow("batch setting") << 1 << 3 << "setFields"
                                       << "fields 1 2 3";
        QTest::newRow("Ctrl+B") << 5 << 5 << "Ctrl+B"
                                << "fields 5";
        QTest::newRow("Ctrl+Z") << 0 << 0 << "Ctrl+Z"
                                << "undo";
        QTest::newRow("Ctrl+Y") << 0 << 0 << "Ctrl+Y"
                                << "redo";
    }
    void commandsSendTheSelectedRun()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, command);
        QFETCH(QString, call);
        FakeHost host(m_dir.path());
        fill(host, 6);
        auto window = open(host);
        selectRows(*window, first, last);
        host.calls.clear();
        if (auto *action = window->findChild<QAction *>(command))
            action->trigger();
        else
            QTest::keySequence(list(*window), QKeySequence(command));
        QCOMPARE(host.calls, call.isEmpty() ? QStringList() : QStringList{call});
    }

    void moveToAsksForTheNumber_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("answer"); // the number typed, 0 for 取消
        QTest::addColumn<QString>("call");
        QTest::newRow("two scenes to the top") << 3 << 4 << 1 << "move 3 2 0";
        QTest::newRow("one scene to the end") << 1 << 1 << 6 << "move 1 1 5";
        QTest::newRow("two scenes past the end: the last place") << 0 << 1 << 9 << "move 0 2 4";
        QTest::newRow("where they stand") << 2 << 2 << 3 << "";
        QTest::newRow("取消") << 2 << 3 << 0 << "";
    }
    void moveToAsksForTheNumber()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, answer);
        QFETCH(QString, call);
        FakeHost host(m_dir.path());
        fill(host, 6);
        auto window = open(host);
        selectRows(*window, first, last);
        host.calls.clear();
        QTimer::singleShot(0, [answer] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            if (answer == 0)
                return dialog->reject();
            dialog->setIntValue(answer);
            dialog->accept();
        });
        QTest::keyClick(list(*window), Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(host.calls, call.isEmpty() ? QStringList() : QStringList{call});
    }

    void clipboardCommandsSendScenesOrLines_data()
    {
        QTest::addColumn<QString>("clipboard"); // "copied": rows 1-2 copied with Ctrl+C
        QTest::addColumn<QString>("command");   // keys typed in the list, or an action's name
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("lines"); // the lines pasted
        QTest::newRow("Ctrl+V of copied rows") << "copied"
                                               << "Ctrl+V"
                                               << "paste scenes 4 2" << QStringList{};
        QTest::newRow("粘贴为新场景 of copied rows: their texts")
            << "copied"
            << "pasteAsScenes"
            << "paste lines 4 2" << QStringList{"场景2", "场景3"};
        QTest::newRow("Ctrl+V of lines, blank ones skipped")
            << "一\r\n\r\n \t\r\n二\r三"
            << "Ctrl+V"
            << "paste lines 4 3" << QStringList{"一", "二", "三"};
        QTest::newRow("Ctrl+V of nothing") << ""
                                           << "Ctrl+V"
                                           << "" << QStringList{};
        QTest::newRow("Ctrl+X") << ""
                                << "Ctrl+X"
                                << "cut 4 1" << QStringList{};
        QTest::newRow("import") << ""
                                << "importText"
                                << "import 4" << QStringList{};
        QTest::newRow("Ctrl+H") << ""
                                << "Ctrl+H"
                                << "replace " << QStringList{};
    }
    void clipboardCommandsSendScenesOrLines()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, command);
        QFETCH(QString, call);
        QFETCH(QStringList, lines);
        FakeHost host(m_dir.path());
        fill(host, 6);
        host.lists.BGList[2] = QStringLiteral("村\\own.png"); // a backslash travels too
        auto window = open(host);
        if (clipboard == u"copied") {
            selectRows(*window, 1, 2);
            QTest::keySequence(list(*window), QKeySequence(QStringLiteral("Ctrl+C")));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("场景2\n场景3\n"));
        } else {
            QGuiApplication::clipboard()->setText(clipboard);
        }
        selectRows(*window, 4, 4);
        host.calls.clear();
        if (auto *action = window->findChild<QAction *>(command))
            action->trigger();
        else
            QTest::keySequence(list(*window), QKeySequence(command));
        QCOMPARE(host.calls, call.isEmpty() ? QStringList() : QStringList{call});
        if (call.startsWith(QStringLiteral("paste scenes")))
            QCOMPARE(host.pasted, host.lists.scenes(1, 2)); // whole: 村\own.png came along
        QCOMPARE(host.pastedTexts, lines);
    }

    void clipboardKeysInTheFindBoxAreTheBoxs()
    {
        FakeHost host(m_dir.path());
        fill(host, 3);
        auto window = open(host);
        QGuiApplication::clipboard()->setText(QStringLiteral("灯塔"));
        auto *find = window->findChild<QLineEdit *>(QStringLiteral("find"));
        find->setFocus();
        host.calls.clear();
        QTest::keySequence(find, QKeySequence(QStringLiteral("Ctrl+V")));
        QCOMPARE(find->text(), QStringLiteral("灯塔"));
        QVERIFY(host.calls.filter(QStringLiteral("paste")).isEmpty());
    }

    void commandsAreOffForSelectionsWithGaps()
    {
        FakeHost host(m_dir.path());
        fill(host, 6);
        auto window = open(host);
        QItemSelectionModel *selection = list(*window)->selectionModel();
        selectRows(*window, 1, 1);
        selection->select(window->model()->index(3), QItemSelectionModel::Select);
        host.calls.clear();
        QTest::keyClick(list(*window), Qt::Key_Delete);
        QTest::keyClick(list(*window), Qt::Key_Down, Qt::AltModifier);
        QVERIFY(host.calls.isEmpty());
        for (const char *name : {"remove", "duplicate", "moveUp", "moveDown", "insertBefore"})
            QVERIFY2(!window->findChild<QAction *>(QLatin1String(name))->isEnabled(), name);
        // Setting fields takes every scene selected, gaps or not.
        QTest::keyClick(list(*window), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(host.calls, QStringList{"fields 1 3"});
    }

    void threeScenesMoveDownAndStaySelected()
    {
        FakeHost host(m_dir.path());
        fill(host, 6);
        host.current = 1;
        auto window = open(host);
        QListView *view = list(*window);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(selectedRows(view), (QList<int>{1, 2, 3}));
        host.calls.clear();
        QTest::keyClick(view, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(host.calls, QStringList{QStringLiteral("move 1 3 2")});
        QCOMPARE(selectedRows(view), (QList<int>{2, 3, 4}));
        QCOMPARE(window->model()->data(window->model()->index(2), Qt::DisplayRole).toString(),
                 QStringLiteral("第3个: 场景2"));
        QTest::keyClick(view, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(host.calls.last(), QStringLiteral("move 2 3 3"));
        QCOMPARE(selectedRows(view), (QList<int>{3, 4, 5}));
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("moveDown"))->isEnabled());
        QTest::keyClick(view, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(host.calls.last(), QStringLiteral("move 3 3 2"));
        QCOMPARE(host.lists.NoteList,
                 (QStringList{"场景1", "场景5", "场景2", "场景3", "场景4", "场景6"}));
    }

    void draggedScenesMoveWhereDropped_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");   // dropped before this row (-1: below the last)
        QTest::addColumn<bool>("onto"); // dropped onto the row instead
        QTest::addColumn<QString>("call");
        QTest::newRow("down, between") << 0 << 2 << 4 << false << "move 0 2 2";
        QTest::newRow("up, between") << 3 << 2 << 1 << false << "move 3 2 1";
        QTest::newRow("below the last") << 1 << 1 << -1 << false << "move 1 1 5";
        QTest::newRow("onto a scene below") << 0 << 2 << 3 << true << "move 0 2 2";
        QTest::newRow("onto a scene above") << 4 << 1 << 2 << true << "move 4 1 2";
        QTest::newRow("right after itself") << 1 << 2 << 3 << false << "";
        QTest::newRow("onto itself") << 1 << 2 << 2 << true << "";
    }
    void draggedScenesMoveWhereDropped()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(bool, onto);
        QFETCH(QString, call);
        FakeHost host(m_dir.path());
        fill(host, 6);
        SceneListModel model(host);
        QModelIndexList dragged;
        for (int k = first; k < first + count; ++k)
            dragged.append(model.index(k));
        std::unique_ptr<QMimeData> data(model.mimeData(dragged));
        QVERIFY(data);
        const bool dropped =
            onto ? model.dropMimeData(data.get(), Qt::MoveAction, -1, -1, model.index(row))
                 : model.dropMimeData(data.get(), Qt::MoveAction, row, 0, {});
        QCOMPARE(dropped, !call.isEmpty());
        QCOMPARE(host.calls, call.isEmpty() ? QStringList() : QStringList{call});

        // Rows dragged from another list (another game) are not moves here.
        SceneListModel other(host);
        std::unique_ptr<QMimeData> foreign(other.mimeData(dragged));
        QVERIFY(!model.dropMimeData(foreign.get(), Qt::MoveAction, 0, 0, {}));
        QVERIFY(!model.mimeData({model.index(0), model.index(2)})); // gaps: no drag
    }

    void scenePicturesAreDrawnOnceUntilTheSceneChanges()
    {
        FakeHost host(m_dir.path());
        host.lists.append(scene(QStringLiteral("一")));
        host.lists.append(scene(QStringLiteral("二")));
        SceneListModel model(host);
        const auto picture = [&model](int row) {
            return model.data(model.index(row), Qt::DecorationRole).value<QPixmap>().toImage();
        };
        const QImage first = picture(0);
        QCOMPARE(first.size(), QSize(Stage::kWidth, Stage::kHeight)
                                   .scaled(SceneThumbnails::kSize, Qt::KeepAspectRatio));
        QCOMPARE(first.pixelColor(4, 4), QColor(30, 90, 200)); // the background, as played
        picture(0);
        QCOMPARE(model.picturesDrawn(), 1);
        picture(1); // another text: another picture
        QCOMPARE(model.picturesDrawn(), 2);

        host.lists.BGList[0] = QStringLiteral("gone.png");
        QVERIFY(model.refresh());
        const QImage missing = picture(0);
        QCOMPARE(model.picturesDrawn(), 3);
        QVERIFY(missing.pixelColor(4, 4) != QColor(30, 90, 200));
        picture(1);
        QCOMPARE(model.picturesDrawn(), 3); // scene 2 did not change

        // The author replaces a picture under the same name.
        QImage red(Stage::kWidth, Stage::kHeight, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(m_dir.filePath(QStringLiteral("BG/gone.png"))));
        QVERIFY(!model.refresh()); // the scenes are as they were
        QCOMPARE(picture(0).pixelColor(4, 4), QColor(Qt::red));
        QCOMPARE(model.picturesDrawn(), 4);
        QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("BG/gone.png"))));
        QVERIFY(red.scaled(320, 240).save(m_dir.filePath(QStringLiteral("BG/gone.png"))));
        model.refresh();
        picture(0);
        QCOMPARE(model.picturesDrawn(), 5);
        model.refresh();
        picture(0);
        picture(1);
        QCOMPARE(model.picturesDrawn(), 5);
        QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("BG/gone.png"))));
    }

    void onlyVisibleScenesAreDrawn()
    {
        FakeHost host(m_dir.path());
        fill(host, 300);
        auto window = open(host);
        QTRY_VERIFY(window->model()->picturesDrawn() > 0);
        QVERIFY2(window->model()->picturesDrawn() < 30,
                 qPrintable(QString::number(window->model()->picturesDrawn())));
    }

    void listFollowsTheEditor()
    {
        FakeHost host(m_dir.path());
        fill(host, 5);
        host.current = 0;
        auto window = open(host);
        host.lists.remove(1);
        host.lists.NoteList[2] = QStringLiteral("改过的");
        host.current = 3;
        window->refresh();
        QCOMPARE(window->model()->rowCount(), 4);
        QCOMPARE(window->model()->data(window->model()->index(2), Qt::DisplayRole).toString(),
                 QStringLiteral("第3个: 改过的"));
        QCOMPARE(selectedRows(list(*window)), QList<int>{3});
        QCOMPARE(list(*window)->currentIndex().row(), 3);

        host.lists.append(scene(QStringLiteral("新的")));
        host.current = 4;
        window->refresh();
        QCOMPARE(window->model()->rowCount(), 5);
        QCOMPARE(selectedRows(list(*window)), QList<int>{4});
        QVERIFY(host.calls.isEmpty()); // following the editor does not steer it
    }
};

QTEST_MAIN(TestSceneList)
#include "tst_scenelist.moc"
