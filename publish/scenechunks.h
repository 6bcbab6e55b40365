#pragma once

#include "pageoutput.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>

/// The scenes' data in chunks of at most PageData::kChunkBytes (a longer scene stands alone):
/// the first goes into game.js, each other is a script of its own ("scenes/N.js", calling
/// TALE_SCENES(N, [...])) that the page loads as the reader nears it. A script, not a file to
/// fetch: a page opened from the disk may fetch nothing.
class SceneChunks
{
public:
    /// The chunks after the first are written into @p out.
    explicit SceneChunks(PageOutput &out) : m_out(out) {}

    /// Adds the data of the scene at @p position (the scenes come in order); false when the
    /// chunk it closes cannot be written.
    bool add(int position, const QByteArray &json);
    /// Closes the last chunk; false when it cannot be written.
    bool finish();

    /// The first chunk, as a script's array: "[{…},{…}]".
    const QByteArray &first() const { return m_first; }
    /// The position of each chunk's first scene.
    QJsonArray starts() const;
    /// Each chunk's size in bytes; 0 for the first, which game.js holds.
    const QJsonArray &bytes() const { return m_bytes; }

private:
    PageOutput &m_out;
    QByteArray m_first;
    QByteArray m_chunk;
    QList<int> m_starts{0};
    QJsonArray m_bytes{0};
};
