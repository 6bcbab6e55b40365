#pragma once

#include <QPointer>
#include <QString>

class QWidget;

/// Has a screen reader say a text once, as it appears, wherever the keyboard focus stands.
///
/// With Qt 6.8 and later this is an accessibility announcement from the window. Earlier Qt
/// sends a description or name change with the object in place of the text, which screen
/// readers such as Orca 43 cannot speak; there a small notification (accessible role
/// QAccessible::Notification, named with the text) appears in the window for each text, and
/// screen readers speak a notification as it shows. Each text gets a notification of its own,
/// so the same words twice are said twice and no reader's cached name can be stale.
class Announcer
{
public:
    /// Announces from @p window, which must outlive the announcer.
    explicit Announcer(QWidget &window);

    /// Says @p text once. Call it once the window shows.
    void announce(const QString &text);

    /// The object name of the notifications, for those who look for them.
    static const QString kNoticeName;

private:
    QWidget &m_window;
    QPointer<QWidget> m_notice; ///< the notification of the last text, before Qt 6.8
};
