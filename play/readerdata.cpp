#include "readerdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

WriteResult writeJson(const QString &path, const QJsonObject &object)
{
    // The folder is made on the first write only: a reader who never plays leaves nothing.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return WriteResult::failure(QStringLiteral("无法建立文件夹%1").arg(folder));
    return saveWholeFile(path, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

const QString kPlaceFile = QStringLiteral("place.json");
const QString kSettingsFile = QStringLiteral("settings.json");

QString slotFile(int n)
{
    return QStringLiteral("slot-%1.json").arg(n);
}

// Saves made before the picture went into the record kept it in a file of its own.
QString oldPictureFile(int n)
{
    return QStringLiteral("slot-%1.png").arg(n);
}

// Changes the settings file's @p change fields only, leaving what another window wrote.
WriteResult changeSettings(const QString &readerRoot, const QJsonObject &change)
{
    const QString path = QDir(readerRoot).filePath(kSettingsFile);
    QJsonObject settings = readJson(path);
    for (auto it = change.begin(); it != change.end(); ++it)
        settings.insert(it.key(), it.value());
    return writeJson(path, settings);
}

} // namespace

ReaderData::ReaderData(const QString &folder) : m_folder(folder)
{
    const QJsonObject place = readJson(path(kPlaceFile));
    m_lastScene = place.value(QStringLiteral("lastScene")).toInt(-1);
    m_seen = place.value(QStringLiteral("seen")).toString().toLatin1();
}

ReaderData::~ReaderData()
{
    keepPlace();
}

QString ReaderData::path(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

bool ReaderData::seen(int scene) const
{
    return scene >= 0 && scene < m_seen.size() && m_seen.at(scene) == '1';
}

bool ReaderData::sceneShown(int scene)
{
    if (scene < 0 || (scene == m_lastScene && seen(scene)))
        return false;
    m_lastScene = scene;
    if (m_seen.size() <= scene)
        m_seen.append(QByteArray(scene + 1 - m_seen.size(), '0'));
    m_seen[scene] = '1';
    m_placeChanged = true;
    return true;
}

WriteResult ReaderData::keepPlace()
{
    if (!m_placeChanged)
        return {};
    // Another window on the same game may have written scenes this one has not seen.
    const QByteArray seenElsewhere =
        readJson(path(kPlaceFile)).value(QStringLiteral("seen")).toString().toLatin1();
    if (m_seen.size() < seenElsewhere.size())
        m_seen.append(QByteArray(seenElsewhere.size() - m_seen.size(), '0'));
    for (qsizetype i = 0; i < seenElsewhere.size(); ++i) {
        if (seenElsewhere.at(i) == '1')
            m_seen[i] = '1';
    }
    const WriteResult written = writeJson(
        path(kPlaceFile), QJsonObject{{QStringLiteral("lastScene"), m_lastScene},
                                      {QStringLiteral("seen"), QString::fromLatin1(m_seen)}});
    m_placeChanged = !written;
    return written;
}

std::optional<SavedPlace> ReaderData::slot(int n) const
{
    const QJsonObject o = readJson(path(slotFile(n)));
    if (!o.contains(QStringLiteral("scene")))
        return std::nullopt;
    SavedPlace place;
    place.scene = o.value(QStringLiteral("scene")).toInt();
    place.sceneCount = o.value(QStringLiteral("sceneCount")).toInt();
    place.text = o.value(QStringLiteral("text")).toString();
    place.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate);
    if (o.contains(QStringLiteral("picture"))) {
        place.picture =
            QByteArray::fromBase64(o.value(QStringLiteral("picture")).toString().toLatin1());
    } else if (QFile old(path(oldPictureFile(n))); old.open(QIODevice::ReadOnly)) {
        place.picture = old.readAll();
    }
    return place;
}

WriteResult ReaderData::save(int n, const SavedPlace &place)
{
    const WriteResult written = writeJson(
        path(slotFile(n)),
        QJsonObject{{QStringLiteral("scene"), place.scene},
                    {QStringLiteral("sceneCount"), place.sceneCount},
                    {QStringLiteral("text"), place.text},
                    {QStringLiteral("time"), place.time.toString(Qt::ISODate)},
                    {QStringLiteral("picture"), QString::fromLatin1(place.picture.toBase64())}});
    if (written)
        QFile::remove(path(oldPictureFile(n))); // the record holds its own picture now
    return written;
}

ReaderSettings ReaderData::readSettings(const QString &readerRoot)
{
    const QJsonObject o = readJson(QDir(readerRoot).filePath(kSettingsFile));
    ReaderSettings s;
    s.textSpeed = qBound(25, o.value(QStringLiteral("textSpeed")).toInt(s.textSpeed), 400);
    s.autoSpeed = qBound(25, o.value(QStringLiteral("autoSpeed")).toInt(s.autoSpeed), 400);
    s.volume = qBound(0, o.value(QStringLiteral("volume")).toInt(s.volume), 100);
    s.mute = o.value(QStringLiteral("mute")).toBool(s.mute);
    s.skipAll = o.value(QStringLiteral("skipAll")).toBool(s.skipAll);
    s.fullScreen = o.value(QStringLiteral("fullScreen")).toBool(s.fullScreen);
    return s;
}

WriteResult ReaderData::writeSettings(const QString &readerRoot, const ReaderSettings &s)
{
    return changeSettings(readerRoot, QJsonObject{{QStringLiteral("textSpeed"), s.textSpeed},
                                                  {QStringLiteral("autoSpeed"), s.autoSpeed},
                                                  {QStringLiteral("volume"), s.volume},
                                                  {QStringLiteral("mute"), s.mute},
                                                  {QStringLiteral("skipAll"), s.skipAll}});
}

WriteResult ReaderData::keepFullScreen(const QString &readerRoot, bool fullScreen)
{
    if (readSettings(readerRoot).fullScreen == fullScreen)
        return {};
    return changeSettings(readerRoot, QJsonObject{{QStringLiteral("fullScreen"), fullScreen}});
}
