#include "pagesite.h"

#include "pagefiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace PageSite {

QByteArray gameScript(const QJsonObject &head, const QByteArray &firstScenes)
{
    QByteArray script = QJsonDocument(head).toJson(QJsonDocument::Compact);
    script.chop(1);
    script = "window.TALE_GAME=" + script + ",\"scenes\":" + firstScenes + "};\n";
    script.replace("</", "<\\/");
    return script;
}

QByteArray manifest(const QString &name)
{
    const auto icon = [](int size) {
        return QJsonObject{{QStringLiteral("src"), QStringLiteral("icon-%1.png").arg(size)},
                           {QStringLiteral("sizes"), QStringLiteral("%1x%1").arg(size)},
                           {QStringLiteral("type"), QStringLiteral("image/png")}};
    };
    const QJsonObject manifest{{QStringLiteral("name"), name},
                               {QStringLiteral("short_name"), name.left(12)},
                               {QStringLiteral("start_url"), QStringLiteral("./index.html")},
                               {QStringLiteral("scope"), QStringLiteral("./")},
                               {QStringLiteral("display"), QStringLiteral("standalone")},
                               {QStringLiteral("background_color"), QStringLiteral("#000000")},
                               {QStringLiteral("theme_color"), QStringLiteral("#000000")},
                               {QStringLiteral("lang"), QStringLiteral("zh-CN")},
                               {QStringLiteral("icons"), QJsonArray{icon(192), icon(512)}}};
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented);
}

QByteArray page(const QHash<QByteArray, QByteArray> &values)
{
    QByteArray page = PageFiles::page();
    for (const QByteArray &name :
         {QByteArray("TITLE"), QByteArray("NAME"), QByteArray("ID"), QByteArray("DESCRIPTION"),
          QByteArray("IMAGE"), QByteArray("DATA_BYTES")})
        page.replace("{{" + name + "}}", values.value(name));
    return page;
}

std::optional<QByteArray> serviceWorker(const QString &id, const PageOutput &out)
{
    QCryptographicHash version(QCryptographicHash::Sha1);
    for (const QString &name : out.names()) {
        QFile file(out.path(name));
        if (!file.open(QIODevice::ReadOnly) || !version.addData(&file))
            return std::nullopt;
        version.addData(name.toUtf8());
    }
    const QString cache = QStringLiteral("tale-") + id + u'-' +
                          QString::fromLatin1(version.result().toHex().left(12));
    return "self.TALE_CACHE=" +
           QJsonDocument(QJsonArray{cache}).toJson(QJsonDocument::Compact).mid(1).chopped(1) +
           ";self.TALE_FILES=" +
           QJsonDocument(QJsonArray::fromStringList(out.names())).toJson(QJsonDocument::Compact) +
           ";\n" + PageFiles::serviceWorker();
}

} // namespace PageSite
