#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// Where a page is published: the folder OUT and OUT.zip beside it. Both are made in a working
/// folder of their own beside OUT (".publish-" and six letters, locked while in use) and moved
/// into place at the end, so OUT and OUT.zip are each either the earlier one or the new one,
/// never a part of either. A page of ours holds the marker file kMarker and its zip carries the
/// archive comment kZipComment: publishing again replaces such a page whole, and leaves anything
/// else at OUT as it is. Files and folders get the permissions the umask allows; the zip's
/// entries are readable by all and writable by their owner only.
class PageFolder
{
public:
    enum class Place
    {
        Free,        ///< nothing there, or an empty folder
        EarlierPage, ///< a page published earlier (its folder, its zip or both)
        Taken,       ///< something else: nothing may be written there
    };
    /// The marker file in a published folder.
    static const QString kMarker;
    static const QByteArray kZipComment;

    /// What stands at @p out and @p out.zip; for Taken, @p why says what, for the author.
    static Place placeOf(const QString &out, QString *why = nullptr);
    /// Where to suggest publishing when the author has not said: @p wanted when nothing or a page
    /// published earlier stands there, otherwise the first of "wanted-2", "wanted-3", … that is
    /// free.
    static QString suggestion(const QString &wanted);
    /// @p name made a file name that Windows can unpack as well: the characters it refuses
    /// (<>:"|?*, \, control characters) and a dot or blank at the end become "_", and a device
    /// name (CON, NUL, COM1, …) gets "_" before it.
    static QString portableName(const QString &name);
    /// Removes working folders in @p parent left by a publish that could not clean up (it was
    /// killed): those whose lock no process holds. Folders still in use stay.
    static void removeStrays(const QString &parent);

    /// @p out must be absolute.
    explicit PageFolder(const QString &out);
    /// Removes the working folder with what is left in it (after commit(): the earlier page).
    ~PageFolder();
    PageFolder(const PageFolder &) = delete;
    PageFolder &operator=(const PageFolder &) = delete;

    /// Removes strays beside OUT and makes the working folder; false, with error(), when the
    /// folder beside OUT cannot be written.
    bool open();
    /// The folder the page's files are written into.
    QString root() const { return m_work + QStringLiteral("/page"); }

    enum class ZipResult
    {
        Written,
        Failed, ///< error() says why
        Cancelled,
    };
    /// Writes the zip of the files @p names (paths below root()) under one top folder named like
    /// OUT, reading each file as it goes. @p cancelled is asked now and then; @p progress gets
    /// the share done in percent. Either may be empty.
    ZipResult writeZip(QStringList names, const std::function<bool()> &cancelled,
                       const std::function<void(int)> &progress);
    /// Moves the page and its zip into place, each replacing an earlier one of ours. False, with
    /// error(), when something not ours now stands there or a move fails; both are then as they
    /// were.
    bool commit();
    const QString &error() const { return m_error; }

private:
    QString zipPart() const { return m_work + QStringLiteral("/page.zip"); }

    QString m_out;
    QString m_work;
    int m_lock = -1;
    QString m_error;
};
