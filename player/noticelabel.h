#pragma once

#include <QLabel>
#include <QTimer>

/// A short note in the middle of its window for a moment, over whatever shows there ("已快速存档",
/// why a key did nothing). It takes no clicks, and unlike a tool tip it stays when the focus
/// moves or the pointer passes: a dialog that closes gives the window the focus back just as
/// the note appears.
class NoticeLabel : public QLabel
{
public:
    /// A note over @p window, which owns it; hidden until showFor().
    explicit NoticeLabel(QWidget *window);

    /// Shows @p text centred on the window for @p milliseconds; a new text replaces the one
    /// shown and starts the time again.
    void showFor(const QString &text, int milliseconds);

private:
    QTimer m_timer;
};
