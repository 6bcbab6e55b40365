#pragma once

#include "gamecheck.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

/// The window "检查游戏": the problems GameCheck found, one a line. Activating a line that
/// names a scene, or "转到" beside the list, asks the editor to show that scene.
class CheckWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CheckWindow(QWidget *parent = nullptr);
    /// Lists @p problems; with @p windowsNames, offers to rename the files named in code page
    /// 936 bytes.
    void showResult(GameCheck::Verdict verdict, const QList<GameProblem> &problems,
                    bool windowsNames = false);

signals:
    /// The author asked to see scene @p number (counted from 1).
    void sceneChosen(int number);
    /// The author asked to give the files named in code page 936 bytes their proper names.
    void renameRequested();

private:
    QLabel *m_summary;
    QPushButton *m_rename;
    QPushButton *m_goTo; ///< shows the scene of the chosen line
    QListWidget *m_list;
};
