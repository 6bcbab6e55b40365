#include "modelabel.h"

#include "playertexts.h"

ModeLabel::ModeLabel(QWidget *window) : QLabel(window)
{
    setObjectName(QStringLiteral("Mode"));
    setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(0, 0, 0, 160); color: white; padding: 3px 8px; }"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void ModeLabel::showMode(GameLogic::Mode mode)
{
    if (mode == GameLogic::Mode::Normal) {
        hide();
        return;
    }
    setText(mode == GameLogic::Mode::Auto ? PlayerTexts::kAutoOn : PlayerTexts::kSkipOn);
    adjustSize();
    move(parentWidget()->width() - width() - 8, 8);
    show();
    raise();
}
