#include "helplinks.h"

#include "editortexts.h"
#include "startup.h"

#include <QUrl>

using namespace EditorTexts;

HelpLinks HelpLinks::onForum(const QString &host)
{
    return {host + kForumPath, host + kTutorialPath, host + kContentsPath, host + kPublishPath,
            host + kHelpPath};
}

HelpLinks HelpLinks::inGuide(const QString &guideFile)
{
    if (guideFile.isEmpty())
        return {};
    const auto section = [&guideFile](const char *name) {
        QUrl url = QUrl::fromLocalFile(guideFile);
        url.setFragment(QString::fromLatin1(name));
        return url.toString();
    };
    return {section("sharing"), section("making"), section("contents"), section("web"),
            section("questions")};
}

HelpLinks HelpLinks::configured()
{
    const QString host = QStringLiteral(TALE_FORUM_HOST);
    if (!host.isEmpty())
        return onForum(host);
    return inGuide(Startup::dataPath(QStringLiteral("guide/index.html")));
}
