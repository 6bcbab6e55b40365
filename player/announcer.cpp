#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

const QString Announcer::kNoticeName = QStringLiteral("SceneNotice");

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

// A plain widget has the role of a pane; a reader speaks it as it shows only as a notification.
QAccessibleInterface *noticeAccessible(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->objectName() == Announcer::kNoticeName)
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace
#endif

Announcer::Announcer(QWidget &window) : m_window(window)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    static const bool installed = [] {
        QAccessible::installFactory(noticeAccessible);
        return true;
    }();
    Q_UNUSED(installed);
#endif
}

void Announcer::announce(const QString &text)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(&m_window, text);
    QAccessible::updateAccessibility(&event);
#else
    delete m_notice;
    // Named before it exists for a reader, so the reader reads the text from the object itself.
    m_notice = new QWidget(&m_window);
    m_notice->setObjectName(kNoticeName);
    m_notice->setAccessibleName(text);
    m_notice->setGeometry(0, 0, 0, 0);
    m_notice->show();
#endif
}
