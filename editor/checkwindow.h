#pragma once

#include "gamecheck.h"

#include <QWidget>

class QLabel;
class QListWidget;

/// The window "检查游戏": the problems GameCheck found, one a line. Activating a line that
/// names a scene asks the editor to show that scene.
class CheckWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CheckWindow(QWidget *parent = nullptr);
    void showResult(GameCheck::Verdict verdict, const QList<GameProblem> &problems);

signals:
    /// The author asked to see scene @p number (counted from 1).
    void sceneChosen(int number);

private:
    QLabel *m_summary;
    QListWidget *m_list;
};
