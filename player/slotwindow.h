#pragma once

#include <QDialog>

class ReaderData;

/// The slots window `Slots` of 存档 and 读档: each slot as a button with the small picture of
/// its save, its number and scene, the time and the start of the text. Saving offers the
/// reader's slots, empty ones included; loading offers the slots that hold a save and the
/// quick save after them.
class SlotWindow : public QDialog
{
    Q_OBJECT
public:
    /// Shows the slots of @p reader, which must outlive the window, for saving or loading.
    SlotWindow(const ReaderData &reader, bool saving, QWidget *parent);

    /// The slot the reader chose; -1 until one was.
    int chosen() const { return m_chosen; }

    /// The name of slot @p n as the reader sees it ("第3个", "快速存档").
    static QString slotName(int n);

    /// The small picture a save keeps of @p scene as it is drawn now, as PNG.
    static QByteArray thumbnail(QWidget &scene);
    static constexpr int kThumbWidth = 160;
    static constexpr int kThumbHeight = 121;

private:
    int m_chosen = -1;
};
