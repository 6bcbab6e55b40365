#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// How a step of publishing that writes files ended.
enum class PageStep
{
    Done,
    CannotWrite, ///< a file of the page could not be written
    Cancelled,
};

/// The files of a page as they are written into the folder it is made in, in the order they
/// were written (the service worker's version is made from them in that order).
class PageOutput
{
public:
    /// @p root is the folder the page is made in.
    explicit PageOutput(const QString &root) : m_root(root) {}

    const QString &root() const { return m_root; }
    /// The absolute path of the page's file @p name (a path below root(), "/" between folders).
    QString path(const QString &name) const { return m_root + u'/' + name; }
    /// Writes the new file @p name holding @p bytes, making its folder, and counts it among the
    /// page's files; false when it cannot be written whole (or already exists).
    bool put(const QString &name, const QByteArray &bytes);
    /// Counts the file @p name, written below root() by other means, among the page's files.
    void add(const QString &name) { m_names.append(name); }
    const QStringList &names() const { return m_names; }

private:
    QString m_root;
    QStringList m_names;
};
