#pragma once

#include "pageoutput.h"

#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

/// The pictures of a page: each picture the scenes show once, in the page's folder of its kind
/// under its own name where Windows allows it (PageFolder::portableName), or one near it
/// ("b-2.jpg"). A picture a browser shows as the player does is copied as it is (a JPEG turned
/// by its Exif tag with the tag set to "as stored"); any other is written again as PNG, as the
/// player decodes it.
class PagePictures
{
public:
    /// The pictures go into @p out. @p cancelled is asked while a picture is copied; @p copying
    /// is told how many pictures were copied before each new one. Either may be empty.
    PagePictures(PageOutput &out, std::function<bool()> cancelled,
                 std::function<void(int copied)> copying);

    /// Puts the picture at @p path (absolute; empty for none) into the page's folder @p folder
    /// ("BG" or "Msg"), unless it is there already; @p index gets its place in names(), -1 for
    /// none. On CannotWrite or Cancelled nothing of it is counted among the page's files.
    PageStep add(const QString &path, const QString &folder, int *index);

    /// The pictures' names in the page, in the order they were added.
    const QStringList &names() const { return m_names; }
    /// The size of each picture of names() in the page, in bytes.
    QJsonArray bytes() const;

private:
    QString nameFor(const QString &path, const QString &folder) const;

    PageOutput &m_out;
    std::function<bool()> m_cancelled;
    std::function<void(int)> m_copying;
    QHash<QString, int> m_index; ///< absolute path → index in m_names
    QStringList m_names;
    QSet<QString> m_taken; ///< m_names in lower case
};
