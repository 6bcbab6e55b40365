#include "scenechunks.h"

#include "pagedata.h"

bool SceneChunks::add(int position, const QByteArray &json)
{
    if (!m_chunk.isEmpty() && m_chunk.size() + json.size() > PageData::kChunkBytes) {
        if (!finish())
            return false;
        m_starts.append(position);
    }
    if (!m_chunk.isEmpty())
        m_chunk += ',';
    m_chunk += json;
    return true;
}

bool SceneChunks::finish()
{
    const qsizetype k = m_starts.size() - 1;
    if (k == 0) {
        m_first = '[' + m_chunk + ']';
    } else {
        QByteArray script = "TALE_SCENES(" + QByteArray::number(k) + ",[" + m_chunk + "]);\n";
        script.replace("</", "<\\/"); // never the end of a script, wherever it stands
        if (!m_out.put(QStringLiteral("scenes/%1.js").arg(k), script))
            return false;
        m_bytes.append(script.size());
    }
    m_chunk.clear();
    return true;
}

QJsonArray SceneChunks::starts() const
{
    QJsonArray starts;
    for (const int start : m_starts)
        starts.append(start);
    return starts;
}
