#include "webpages.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopWebPageOpener::open(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address));
}
