#include "slotwindow.h"

#include "playertexts.h"
#include "readerdata.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QToolButton>

namespace {

// A slot: its picture, its number and scene, the time and the text's start.
QToolButton *slotButton(QWidget *parent, int n, const std::optional<SavedPlace> &place, bool saving)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("slot%1").arg(n));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(SlotWindow::kThumbWidth, SlotWindow::kThumbHeight));
    button->setMinimumWidth(SlotWindow::kThumbWidth + 12);
    QString text = SlotWindow::slotName(n);
    if (place) {
        QPixmap picture;
        picture.loadFromData(place->picture, "PNG");
        button->setIcon(picture);
        text +=
            u' ' + PlayerTexts::kSlotScene.arg(place->scene + 1) + u'\n' +
            place->time.toString(PlayerTexts::kSlotTime) + u'\n' +
            button->fontMetrics().elidedText(place->text, Qt::ElideRight, SlotWindow::kThumbWidth);
    } else {
        QPixmap empty(SlotWindow::kThumbWidth, SlotWindow::kThumbHeight);
        empty.fill(Qt::darkGray);
        button->setIcon(empty);
        text += u'\n' + PlayerTexts::kEmptySlot;
        button->setEnabled(saving);
    }
    button->setText(text);
    button->setAccessibleName(QString(text).replace(u'\n', u' '));
    return button;
}

} // namespace

SlotWindow::SlotWindow(const ReaderData &reader, bool saving, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Slots"));
    setWindowTitle(saving ? PlayerTexts::kSaveTitle : PlayerTexts::kLoadTitle);
    auto *grid = new QGridLayout(this);
    QList<int> order;
    for (int n = 1; n <= ReaderData::kSlots; ++n)
        order.append(n);
    if (!saving)
        order.append(ReaderData::kQuickSlot);
    for (int i = 0; i < order.size(); ++i) {
        const int n = order.at(i);
        QToolButton *button = slotButton(this, n, reader.slot(n), saving);
        connect(button, &QToolButton::clicked, this, [this, n] {
            m_chosen = n;
            accept();
        });
        grid->addWidget(button, i / 4, i % 4);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, grid->rowCount(), 0, 1, 4);
}

QString SlotWindow::slotName(int n)
{
    return n == ReaderData::kQuickSlot ? PlayerTexts::kQuickSlotName
                                       : PlayerTexts::kSlotName.arg(n);
}

QByteArray SlotWindow::thumbnail(QWidget &scene)
{
    const QImage picture = scene.grab().toImage().scaled(
        kThumbWidth, kThumbHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}
