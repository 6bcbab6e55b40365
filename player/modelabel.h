#pragma once

#include "gamelogic.h"

#include <QLabel>

/// The note `Mode` in the top right corner of its window that names auto or skip while either
/// runs ("自动播放", "快进"). It takes no clicks.
class ModeLabel : public QLabel
{
public:
    /// A note over @p window, which owns it; hidden until showMode().
    explicit ModeLabel(QWidget *window);

    /// Names @p mode in the corner, or hides when it is Normal.
    void showMode(GameLogic::Mode mode);
};
