#include "noticelabel.h"

NoticeLabel::NoticeLabel(QWidget *window) : QLabel(window)
{
    setObjectName(QStringLiteral("Notice"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(0, 0, 0, 180); color: white; padding: 8px 16px; }"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void NoticeLabel::showFor(const QString &text, int milliseconds)
{
    const QRect window = parentWidget()->rect();
    setMaximumWidth(window.width() - 32);
    setText(text);
    adjustSize();
    move(window.center() - rect().center());
    show();
    raise();
    m_timer.start(milliseconds);
}
