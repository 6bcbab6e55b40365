#include "scenepreview.h"

#include "stage.h"
#include "windowtexts.h"

#include <QCloseEvent>

ScenePreview::ScenePreview(QWidget *parent) : QWidget(parent, Qt::Window), m_stage(new Stage(this))
{
    setObjectName(QStringLiteral("ScenePreview"));
    setWindowTitle(EditorTexts::kPreviewCaption);
    setAccessibleName(EditorTexts::kPreviewCaption);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setMinimumSize(Stage::kWidth / 4, Stage::kHeight / 4);
    resize(Stage::kWidth, Stage::kHeight);
    // The stage is a picture here: the preview takes no clicks on the message box.
    m_stage->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ScenePreview::showScene(const GameFolder &folder, const SceneRec &scene,
                             const QString &fontName)
{
    m_stage->showWhole(folder, scene, fontName);
}

void ScenePreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const qreal scale = qMin(qreal(width()) / Stage::kWidth, qreal(height()) / Stage::kHeight);
    m_stage->setScale(scale);
    m_stage->move((width() - m_stage->width()) / 2, (height() - m_stage->height()) / 2);
}

void ScenePreview::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}
