// Saves on a real file system with no free block left. Mounting one needs root (CI runs the tests
// as root); anyone else gets a clear skip. The mount is detached whatever happens.
#include "scripteditor.h"
#include "scriptfile.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

using namespace TestUtil;

namespace {
const QByteArray kIni("\"name\",\"1.mid\",\"\",\"100\",\"0\"\r\n");
const QByteArray kScript = sceneBytes("one") + sceneBytes("two");
} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT
    QTemporaryDir m_mount;
    bool m_mounted = false;

    QString file(const char *name) const { return m_mount.filePath(QString::fromLatin1(name)); }
    GameFolder folder() const { return GameFolder(m_mount.path()); }

    // Takes every free block of the file system.
    void fill()
    {
        QFile filler(file("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    void expectUntouched(const ScriptEditor &editor)
    {
        QCOMPARE(readBytes(file("Game.txt")), kScript);
        QCOMPARE(readBytes(file("Game.ini")), kIni);
        QCOMPARE(editor.scenes(), LoadScript(folder()).scenes);
        QCOMPARE(QDir(m_mount.path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("filler"), QStringLiteral("Game.ini"),
                              QStringLiteral("Game.txt")}));
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("Skipped: mounting the small file system these tests fill needs root.");
        if (::mount("tmpfs", QFile::encodeName(m_mount.path()).constData(), "tmpfs",
                    MS_NOSUID | MS_NODEV, "size=64k") != 0)
            QSKIP(qPrintable(QStringLiteral("Skipped: cannot mount a tmpfs here (%1).")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        m_mounted = true;
    }
    void cleanupTestCase()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_mount.path()).constData(), MNT_DETACH);
    }
    void init()
    {
        QDir(m_mount.path()).removeRecursively();
        QDir().mkpath(m_mount.path());
        writeBytes(file("Game.txt"), kScript);
        writeBytes(file("Game.ini"), kIni);
        fill();
    }

    void fullDiskKeepsScenesOnModifyAndDelete()
    {
        ScriptEditor editor(folder());
        editor.load();
        editor.browse(ScriptEditor::Browse::First);
        SceneRec changed = editor.scenes().scene(0);
        changed[SceneField::Note] = QStringLiteral("a longer text than before");
        const Notice modified = editor.modifyScene(changed);
        QVERIFY2(modified.text.contains(QStringLiteral("磁盘空间不足")), qPrintable(modified.text));
        expectUntouched(editor);

        const Notice deleted = editor.deleteScene();
        QVERIFY2(deleted.text.contains(QStringLiteral("磁盘空间不足")), qPrintable(deleted.text));
        expectUntouched(editor);

        // The same steps succeed once there is room: the refusals came from the disk.
        QVERIFY(QFile::remove(file("filler")));
        QVERIFY(editor.deleteScene().isEmpty());
        QCOMPARE(readBytes(file("Game.txt")), sceneBytes("two"));
    }

    void fullDiskKeepsSettingsOnEverySave()
    {
        ScriptEditor editor(folder());
        editor.load();
        for (int f = 0; f < GameSettings::kFieldCount; ++f) {
            const Notice saved = editor.saveSetting(GameSettings::Field(f), QStringLiteral("10"));
            QVERIFY2(saved.text.contains(QStringLiteral("磁盘空间不足")), qPrintable(saved.text));
            expectUntouched(editor);
        }
        QVERIFY(QFile::remove(file("filler")));
        QVERIFY(editor.saveSetting(GameSettings::Name, QStringLiteral("new")).isEmpty());
        QCOMPARE(readBytes(file("Game.ini")),
                 QByteArray("\"new\",\"1.mid\",\"\",\"100\",\"0\"\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
