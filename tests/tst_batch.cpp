// 批量设置 played as an author plays it: scenes chosen in the list, the dialog, the file after it
// and after its undo; and from the form.
#include "batchdialog.h"
#include "editorfakes.h"
#include "gameset.h"
#include "scenelistwindow.h"
#include "stage.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace TestUtil;

namespace {

struct Messages : MessageBoxes
{
    void show(QWidget *, const QString &text, const QString &) override { shown.append(text); }
    UnsavedChoice askUnsaved(QWidget *, const QString &text, const QString &) override
    {
        asked.append(text);
        return UnsavedChoice::Cancel;
    }
    QStringList shown, asked;
};

void picture(const QString &path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    image.save(path);
}

// Runs @p play on the dialog once it is open, while @p open waits in its exec().
void withDialog(const std::function<void()> &open, const std::function<void(BatchDialog &)> &play)
{
    bool played = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<BatchDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, [&] { withDialog({}, play); });
            return;
        }
        play(*dialog);
        played = true;
        if (dialog->isVisible())
            dialog->reject();
    });
    if (open)
        open();
    QVERIFY(played);
}

QComboBox *valueOf(const BatchDialog &dialog, SceneField field)
{
    return dialog.findChild<QComboBox *>(QStringLiteral("value%1").arg(int(field)));
}

void ok(BatchDialog &dialog)
{
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        picture(file("BG/light.png"), QSize(638, 482), QColor(200, 220, 240));
        picture(file("BG/night.png"), QSize(638, 482), QColor(10, 10, 30));
        picture(file("Msg/box.png"), QSize(600, 120), Qt::white);
    }

    void scenesChosenInTheListChangeTogetherAndUndoAsOne()
    {
        QByteArray opened;
        for (const char *s : {"a", "b", "c", "d", "e"})
            opened += sceneBytes(s, "light.png", "box.png");
        writeBytes(file("Game.txt"), opened);
        Messages messages;
        ScriptedPicker picker;
        RecordingWeb web;
        GameSet window(GameFolder(m_dir.path()), {messages, picker, web});
        window.start();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // From the form with no list open: the list opens, to choose the scenes in.
        messages.shown.clear(); // what start-up said of the missing Game.ini
        window.findChild<QAction *>(QStringLiteral("batchAction"))->trigger();
        SceneListWindow *list = window.sceneList();
        QVERIFY(list && list->isVisible());
        QCOMPARE(messages.shown, QStringList{"请先在场景列表中选择要修改的场景。"});

        // Scenes 2 and 4, a gap between.
        auto *view = list->findChild<QListView *>(QStringLiteral("scenes"));
        QItemSelectionModel *selection = view->selectionModel();
        selection->setCurrentIndex(list->model()->index(1), QItemSelectionModel::ClearAndSelect);
        selection->setCurrentIndex(list->model()->index(3), QItemSelectionModel::Select);
        withDialog([&] { QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier); },
                   [&](BatchDialog &dialog) {
                       QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("scenes"))->text(),
                                QStringLiteral("要修改的2个场景:第2、4个"));
                       auto *stage = dialog.findChild<Stage *>(QStringLiteral("preview"));
                       QCOMPARE(stage->GameNote()->text(), QStringLiteral("b"));
                       // A name that is no picture of the game keeps the dialog open.
                       valueOf(dialog, SceneField::BG)->setCurrentText(QStringLiteral("moon.png"));
                       ok(dialog);
                       QVERIFY(dialog.isVisible());
                       QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("problem"))->text(),
                                QStringLiteral("BG文件夹中没有图片“moon.png”。"));
                       valueOf(dialog, SceneField::BG)->setCurrentText(QStringLiteral("night.png"));
                       valueOf(dialog, SceneField::FontColor)->setCurrentIndex(1);
                       // The preview shows the first scene as it will be: white on the night.
                       QCOMPARE(stage->BgPic()->picture().pixelColor(5, 5), QColor(10, 10, 30));
                       QCOMPARE(stage->GameNote()->palette().color(QPalette::WindowText),
                                QColor(Qt::white));
                       QVERIFY(!dialog.findChild<QCheckBox *>(QStringLiteral("tick2"))
                                    ->isChecked()); // the box stays each scene's own
                       ok(dialog);
                       QVERIFY(!dialog.isVisible());
                   });
        const QByteArray changed = sceneBytes("a", "light.png", "box.png") +
                                   sceneBytes("b", "night.png", "box.png", "2", "0", "0", "1") +
                                   sceneBytes("c", "light.png", "box.png") +
                                   sceneBytes("d", "night.png", "box.png", "2", "0", "0", "1") +
                                   sceneBytes("e", "light.png", "box.png");
        QCOMPARE(readBytes(file("Game.txt")), changed);
        QCOMPARE(window.findChild<QAction *>(QStringLiteral("undoAction"))->text(),
                 QStringLiteral("撤销 批量设置2个场景的背景图、颜色设置"));
        QCOMPARE(list->selectedPositions(), (QList<int>{1, 3})); // the list keeps the choice

        list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(readBytes(file("Game.txt")), opened);

        // From the form, for the list's selection; giving up changes nothing.
        withDialog([&] { window.findChild<QAction *>(QStringLiteral("batchAction"))->trigger(); },
                   [&](BatchDialog &dialog) {
                       valueOf(dialog, SceneField::FontSize)->setCurrentIndex(5);
                       dialog.reject();
                   });
        QCOMPARE(readBytes(file("Game.txt")), opened);
        QVERIFY(window.findChild<QAction *>(QStringLiteral("redoAction"))->isEnabled());

        // A scene waiting for OK? with a text not stored: the author is asked first, and 取消
        // keeps it without opening the dialog.
        window.findChild<QPushButton *>(QStringLiteral("SetRec"))->click();
        window.findChild<QPlainTextEdit *>(QStringLiteral("NoteText"))
            ->setPlainText(QStringLiteral("还没保存的文字"));
        const auto opens = std::make_shared<bool>(false);
        QTimer::singleShot(0, [opens] {
            if (auto *dialog = qobject_cast<BatchDialog *>(QApplication::activeModalWidget())) {
                *opens = true;
                dialog->reject();
            }
        });
        window.findChild<QAction *>(QStringLiteral("batchAction"))->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!*opens);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(window.findChild<QPlainTextEdit *>(QStringLiteral("NoteText"))->toPlainText(),
                 QStringLiteral("还没保存的文字"));
        QCOMPARE(readBytes(file("Game.txt")), opened);
    }

    void sceneNumbersJoinRuns_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("one") << QList<int>{4} << "第5个";
        QTest::newRow("a run and one") << QList<int>{0, 1, 2, 6} << "第1-3、7个";
        QList<int> many;
        for (int i = 0; i < 20; ++i)
            many.append(2 * i);
        QTest::newRow("many, cut") << many << "第1、3、5、7、9、11、13、15…个";
    }
    void sceneNumbersJoinRuns()
    {
        QFETCH(QList<int>, positions);
        QFETCH(QString, numbers);
        QCOMPARE(BatchDialog::numbers(positions), numbers);
    }
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
