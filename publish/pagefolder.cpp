#include "pagefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

const QString PageFolder::kMarker = QStringLiteral(".scriptwell-page");
const QByteArray PageFolder::kZipComment = QByteArrayLiteral("scriptwell page");

namespace {

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

bool isOurZip(const QString &path)
{
    int error = 0;
    zip_t *zip = zip_open(local(path).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return false;
    int length = 0;
    const char *comment = zip_get_archive_comment(zip, &length, ZIP_FL_ENC_RAW);
    const bool ours = comment && QByteArray(comment, length) == PageFolder::kZipComment;
    zip_discard(zip);
    return ours;
}

// Moves @p from to @p to, which must not exist.
bool moveNew(const QString &from, const QString &to)
{
    if (::renameat2(AT_FDCWD, local(from).constData(), AT_FDCWD, local(to).constData(),
                    RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: the check and the move are two steps there.
    return !QFileInfo::exists(to) && !QFileInfo(to).isSymLink() &&
           std::rename(local(from).constData(), local(to).constData()) == 0;
}

// Swaps @p a and @p b in one step where the file system can.
bool exchange(const QString &a, const QString &b)
{
    if (::renameat2(AT_FDCWD, local(a).constData(), AT_FDCWD, local(b).constData(),
                    RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    const QString aside = a + QStringLiteral(".old");
    if (std::rename(local(b).constData(), local(aside).constData()) != 0)
        return false;
    if (std::rename(local(a).constData(), local(b).constData()) != 0) {
        std::rename(local(aside).constData(), local(b).constData());
        return false;
    }
    return std::rename(local(aside).constData(), local(a).constData()) == 0;
}

} // namespace

PageFolder::Place PageFolder::placeOf(const QString &out, QString *why)
{
    const auto taken = [why](const QString &text) {
        if (why)
            *why = text;
        return Place::Taken;
    };
    const QString shown = QDir::toNativeSeparators(out);
    Place place = Place::Free;
    const QFileInfo folder(out);
    if (folder.isSymLink())
        return taken(QStringLiteral("“%1”是一个链接，没有改动它；请另选一个文件夹名").arg(shown));
    if (folder.exists()) {
        if (!folder.isDir())
            return taken(
                QStringLiteral("“%1”是一个文件，没有改动它；请另选一个文件夹名").arg(shown));
        if (QFileInfo(out + u'/' + kMarker).isFile())
            place = Place::EarlierPage;
        else if (!folder.isReadable() ||
                 !QDir(out).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                    QDir::System))
            return taken(
                QStringLiteral("“%1”已经存在，不是发布的网页，没有改动它；请另选一个文件夹名")
                    .arg(shown));
    }
    const QString zip = out + QStringLiteral(".zip");
    const QFileInfo archive(zip);
    if (archive.isSymLink() || (archive.exists() && !(archive.isFile() && isOurZip(zip))))
        return taken(QStringLiteral("“%1”已经存在，不是发布的网页的压缩包，没有改动它；"
                                    "请另选一个文件夹名")
                         .arg(QDir::toNativeSeparators(zip)));
    if (archive.exists())
        place = Place::EarlierPage;
    return place;
}

QString PageFolder::suggestion(const QString &wanted)
{
    QString place = wanted;
    for (int k = 2; placeOf(place) == Place::Taken && k < 1000; ++k)
        place = wanted + u'-' + QString::number(k);
    return place;
}

QString PageFolder::portableName(const QString &name)
{
    static const QString kRefused = QStringLiteral("<>:\"|?*\\/");
    QString portable;
    for (const QChar c : name)
        portable += c.unicode() < 0x20 || kRefused.contains(c) ? u'_' : c;
    if (portable.isEmpty() || portable.endsWith(u'.') || portable.endsWith(u' '))
        portable = portable.isEmpty() ? QStringLiteral("_") : portable.chopped(1) + u'_';
    static const QSet<QString> kDevices = [] {
        QSet<QString> devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                              QStringLiteral("NUL")};
        for (int i = 1; i <= 9; ++i) {
            devices.insert(QStringLiteral("COM%1").arg(i));
            devices.insert(QStringLiteral("LPT%1").arg(i));
        }
        return devices;
    }();
    if (kDevices.contains(portable.section(u'.', 0, 0).trimmed().toUpper()))
        portable.prepend(u'_');
    return portable;
}

void PageFolder::removeStrays(const QString &parent)
{
    const QFileInfoList entries = QDir(parent).entryInfoList(
        {QStringLiteral(".publish-*")},
        QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        // Only a folder with our lock is ours; the lock is held for as long as its publish runs.
        const int lock = ::open(local(entry.filePath() + QStringLiteral("/lock")).constData(),
                                O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (lock < 0)
            continue;
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0)
            QDir(entry.filePath()).removeRecursively();
        ::close(lock);
    }
}

PageFolder::PageFolder(const QString &out) : m_out(out) {}

PageFolder::~PageFolder()
{
    if (!m_work.isEmpty())
        QDir(m_work).removeRecursively();
    if (m_lock >= 0)
        ::close(m_lock);
}

bool PageFolder::open()
{
    const QString parent = QFileInfo(m_out).absolutePath();
    if (!QDir().mkpath(parent)) {
        m_error = QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(parent));
        return false;
    }
    removeStrays(parent);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 20 && m_work.isEmpty(); ++attempt) {
        QString name = QStringLiteral(".publish-");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(36)]);
        // mkdir, unlike a temporary folder, gives the permissions the umask allows: the page
        // keeps them when it moves into place.
        if (QDir(parent).mkdir(name))
            m_work = parent + u'/' + name;
        else if (!QFileInfo::exists(parent + u'/' + name))
            break;
    }
    if (m_work.isEmpty()) {
        m_error = QStringLiteral("无法在“%1”中写入").arg(QDir::toNativeSeparators(parent));
        return false;
    }
    // The lock is taken before it gets its name, so a stray-finder never sees it free.
    const QString lock = m_work + QStringLiteral("/lock");
    m_lock = ::open(local(lock + QStringLiteral(".new")).constData(),
                    O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_lock < 0 || ::flock(m_lock, LOCK_EX) != 0 ||
        std::rename(local(lock + QStringLiteral(".new")).constData(), local(lock).constData()) !=
            0 ||
        !QDir(m_work).mkdir(QStringLiteral("page"))) {
        m_error = QStringLiteral("无法在“%1”中写入").arg(QDir::toNativeSeparators(parent));
        return false;
    }
    return true;
}

namespace {

// The folders holding @p names (paths below the page's root), each once, in order; the root
// (an empty name) first.
QStringList foldersOf(const QStringList &names)
{
    QStringList folders{QString()};
    for (const QString &name : names) {
        const QString folder = name.section(u'/', 0, -2);
        if (!folder.isEmpty() && !folders.contains(folder + u'/'))
            folders.append(folder + u'/');
    }
    folders.sort();
    return folders;
}

// Adds the entry @p path to @p zip: a folder, or the file @p file read when the zip is closed.
bool addEntry(zip_t *zip, const QString &path, const QString &file = {})
{
    const bool folder = file.isEmpty();
    const QByteArray name = path.toUtf8();
    zip_int64_t index = -1;
    if (folder) {
        index = zip_dir_add(zip, name.constData(), ZIP_FL_ENC_UTF_8);
    } else {
        zip_source_t *source = zip_source_file(zip, local(file).constData(), 0, -1);
        index = source ? zip_file_add(zip, name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0 && source)
            zip_source_free(source);
    }
    if (index < 0)
        return false;
    // Readable by all, writable by the owner only, whoever unpacks it.
    const zip_uint32_t mode = folder ? 040755 : 0100644;
    zip_file_set_external_attributes(zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                     (mode << 16) | (folder ? 0x10 : 0));
    if (!folder) {
        static const QStringList kPacked = {QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                            QStringLiteral("png"),  QStringLiteral("gif"),
                                            QStringLiteral("mp3"),  QStringLiteral("ogg"),
                                            QStringLiteral("flac"), QStringLiteral("woff2")};
        const bool packed = kPacked.contains(QFileInfo(path).suffix().toLower());
        zip_set_file_compression(zip, zip_uint64_t(index), packed ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 9);
    }
    return true;
}

// What closing a zip asks now and then: whether to stop, and tells: how far it is.
struct Watch
{
    const std::function<bool()> &cancelled;
    const std::function<void(int)> &progress;

    void watch(zip_t *zip)
    {
        zip_register_cancel_callback_with_state(
            zip,
            [](zip_t *, void *state) -> int {
                const auto *w = static_cast<Watch *>(state);
                return w->cancelled && w->cancelled() ? 1 : 0;
            },
            nullptr, this);
        zip_register_progress_callback_with_state(
            zip, 0.01,
            [](zip_t *, double done, void *state) {
                const auto *w = static_cast<Watch *>(state);
                if (w->progress)
                    w->progress(int(done * 100));
            },
            nullptr, this);
    }
};

} // namespace

PageFolder::ZipResult PageFolder::writeZip(QStringList names,
                                           const std::function<bool()> &cancelled,
                                           const std::function<void(int)> &progress)
{
    const auto failed = [this] {
        m_error = QStringLiteral("无法写入“%1.zip”").arg(QDir::toNativeSeparators(m_out));
        QFile::remove(zipPart());
        return ZipResult::Failed;
    };
    int error = 0;
    zip_t *zip = zip_open(local(zipPart()).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return failed();
    zip_set_archive_comment(zip, kZipComment.constData(), zip_uint16_t(kZipComment.size()));
    // One top folder: a zip unpacked where it lies makes one folder, not a heap of files.
    const QString top = portableName(QFileInfo(m_out).fileName()) + u'/';
    names.sort();
    bool added = true;
    for (const QString &folder : foldersOf(names))
        added = added && addEntry(zip, top + folder);
    for (const QString &name : std::as_const(names))
        added = added && addEntry(zip, top + name, root() + u'/' + name);
    if (!added) {
        zip_discard(zip);
        return failed();
    }
    Watch watch{cancelled, progress};
    watch.watch(zip);
    // The files are read here, one at a time.
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        if (cancelled && cancelled()) {
            QFile::remove(zipPart());
            return ZipResult::Cancelled;
        }
        return failed();
    }
    return ZipResult::Written;
}

bool PageFolder::commit()
{
    const QString zip = m_out + QStringLiteral(".zip");
    if (placeOf(m_out, &m_error) == Place::Taken)
        return false;
    // Each move swaps the new one with the earlier one, which stays in the working folder and
    // goes with it.
    const bool zipThere = QFileInfo::exists(zip);
    if (!(zipThere ? exchange(zipPart(), zip) : moveNew(zipPart(), zip))) {
        m_error = QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(zip));
        return false;
    }
    const bool folderThere = QFileInfo::exists(m_out);
    if (!(folderThere ? exchange(root(), m_out) : moveNew(root(), m_out))) {
        if (zipThere)
            exchange(zipPart(), zip);
        else
            std::rename(local(zip).constData(), local(zipPart()).constData());
        m_error = QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(m_out));
        return false;
    }
    return true;
}
