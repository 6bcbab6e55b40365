#pragma once

#include "scenereplace.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SceneListHost;

/// The window "替换": what to find and what to put in its place, in the scene texts and
/// optionally in the picture names, and the list of the scenes it changes with each text before
/// and after (from a little before the first match, so the match is in view), each row ticked.
/// "全部替换" replaces in them all, "替换选中的场景" in the ticked rows; each is one step of the
/// editor's history. A row the author unticked stays unticked while its scene is there, whatever
/// changes the story meanwhile. A picture name that would name no file once replaced is named
/// below the list; a character the game's encoding cannot hold keeps both buttons off.
/// Double-clicking a row shows that scene in the editor.
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
    /// Places the parts; returns the row of buttons.
    QDialogButtonBox *layOut();
    void replace(bool all);
    QList<int> tickedPositions() const;
    /// The author ticked or unticked @p item.
    void ticked(QTreeWidgetItem *item);

    SceneListHost &m_host;
    SceneLists m_listed;    ///< the story as the rows were last found in it
    QList<int> m_unticked;  ///< the scenes of m_listed the author unticked
    bool m_filling = false; ///< the rows are being made: no tick is the author's
    QLineEdit *m_find, *m_with;
    QCheckBox *m_wholeText, *m_pictures;
    QTreeWidget *m_scenes;
    QLabel *m_summary;
    QPushButton *m_replaceTicked, *m_replaceAll;
};
