#include "backlogview.h"

#include "playertexts.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

QRect buttonIn(const QRect &row)
{
    constexpr int kWidth = 84, kHeight = 26, kMargin = 10;
    return QRect(row.right() - kMargin - kWidth, row.center().y() - kHeight / 2, kWidth, kHeight);
}

// Draws each entry as the list's style does, then its button in the room kept at its right.
class EntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QRect button = buttonIn(option.rect);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QColor(255, 255, 255, 200), 1));
        painter->setBrush(QColor(255, 255, 255, 40));
        painter->drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        QFont font = option.font;
        font.setPointSizeF(10);
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(button, Qt::AlignCenter, PlayerTexts::kBacklogBack);
        painter->restore();
    }
};

} // namespace

BacklogView::BacklogView(QWidget *parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("Backlog"));
    setAccessibleName(PlayerTexts::kBacklogName);
    setAccessibleDescription(PlayerTexts::kBacklogHelp);
    setWordWrap(true);
    setStyleSheet(QStringLiteral("QListWidget { background: rgba(0, 0, 0, 200); color: white; "
                                 "font-size: 12pt; border: none; } QListWidget::item { "
                                 "padding: 6px %1px 6px 6px; }")
                      .arg(kButtonRoom));
    setItemDelegate(new EntryDelegate(this));
}

void BacklogView::fill(const QList<GameLogic::BacklogEntry> &entries)
{
    clear();
    for (const GameLogic::BacklogEntry &entry : entries) {
        auto *item =
            new QListWidgetItem(PlayerTexts::kBacklogEntry.arg(entry.scene + 1).arg(entry.text));
        item->setData(Qt::UserRole, entry.scene);
        addItem(item);
    }
    setCurrentRow(count() - 1);
    scrollToBottom();
}

QRect BacklogView::backButton(int row) const
{
    return buttonIn(visualItemRect(item(row)));
}

void BacklogView::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (QListWidgetItem *entry = itemAt(at); entry && backButton(row(entry)).contains(at)) {
            setCurrentItem(entry);
            emit backChosen(entry->data(Qt::UserRole).toInt());
            return;
        }
    }
    emit closeAsked();
}

void BacklogView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event); // a quick second click is a click as well
}

void BacklogView::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() < 0 &&
        verticalScrollBar()->value() == verticalScrollBar()->maximum())
        emit closeAsked();
    else
        QListWidget::wheelEvent(event);
}

void BacklogView::keyPressEvent(QKeyEvent *event)
{
    // Enter chooses the entry here: passed on, the key would reach the box behind the list and
    // take the reader one scene past the one gone back to.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (QListWidgetItem *entry = currentItem())
            emit backChosen(entry->data(Qt::UserRole).toInt());
        return;
    }
    QListWidget::keyPressEvent(event);
}
