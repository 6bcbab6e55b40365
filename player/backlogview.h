#pragma once

#include "gamelogic.h"

#include <QListWidget>

/// The backlog over the scene: the texts of the scenes read, newest at the bottom, a list a
/// screen reader reads as one. Each entry has a "回到这里" button at its right; a click anywhere
/// else, the right button, or the wheel turned down past the newest asks to close it, and
/// Enter on an entry chooses it.
class BacklogView : public QListWidget
{
    Q_OBJECT
public:
    /// The room at the right of each entry that its button stands in, in pixels.
    static constexpr int kButtonRoom = 104;

    explicit BacklogView(QWidget *parent);
    /// Shows @p entries, the newest chosen and in view.
    void fill(const QList<GameLogic::BacklogEntry> &entries);
    /// Where the button of the entry in @p row stands, in the viewport's coordinates.
    QRect backButton(int row) const;

signals:
    /// The reader chose to go back to list position @p scene.
    void backChosen(int scene);
    void closeAsked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
