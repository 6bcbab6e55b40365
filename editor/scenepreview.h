#pragma once

#include "gamefolder.h"
#include "scenerec.h"

#include <QWidget>

class Stage;

/// The window "预览": a scene drawn as the player draws it, scaled to the window's size with
/// its proportions kept, centred on black.
class ScenePreview : public QWidget
{
    Q_OBJECT
public:
    explicit ScenePreview(QWidget *parent = nullptr);

    /// Draws @p scene of the game in @p folder, its text in @p fontName (the player's default
    /// when empty). Missing pictures are drawn as labelled areas.
    void showScene(const GameFolder &folder, const SceneRec &scene, const QString &fontName);
    Stage *stage() const { return m_stage; }

signals:
    /// The window was closed by the user.
    void closed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Stage *m_stage;
};
