#pragma once

#include "scenereplace.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class SceneListHost;

/// The window "替换": what to find and what to put in its place, in the scene texts and
/// optionally in the picture names, and the list of the scenes it changes with each text before
/// and after, each row ticked. "全部替换" replaces in them all, "替换选中的场景" in the ticked
/// rows; each is one step of the editor's history. A picture name that would name no file once
/// replaced is named below the list; a character the game's encoding cannot hold keeps both
/// buttons off. Double-clicking a row shows that scene in the editor.
class ReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ReplaceDialog(SceneListHost &host, QWidget *parent = nullptr);

    /// Finds again in the host's scenes (after any change of the story).
    void refresh();
    /// Starts from @p find (the text selected, or what was looked for last).
    void startWith(const QString &find);
    SceneReplace replacement() const;

private:
    void replace(bool all);
    QList<int> tickedPositions() const;

    SceneListHost &m_host;
    QLineEdit *m_find, *m_with;
    QCheckBox *m_wholeText, *m_pictures;
    QTreeWidget *m_scenes;
    QLabel *m_summary;
    QPushButton *m_replaceTicked, *m_replaceAll;
};
