#pragma once

#include "batchchange.h"
#include "gamefolder.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class Stage;

/// The dialog "批量设置": the seven fields of a scene besides its text (background, box and
/// the five codes), each with a box to tick; the ticked ones are set in every chosen scene,
/// the others stay as each scene has them. It starts from the first chosen scene's values and
/// draws that scene as it will look. A picture name must name a file of the game, or the
/// dialog says which it does not and stays open.
class BatchDialog : public QDialog
{
    Q_OBJECT
public:
    /// @p positions (counted from 0, in order) are the chosen scenes of @p scenes; @p fontName
    /// the game's font for the preview.
    BatchDialog(const GameFolder &folder, const SceneLists &scenes, const QList<int> &positions,
                const QString &fontName, QWidget *parent = nullptr);

    /// The ticked fields with their values, in field order.
    SceneFieldValues values() const;

    /// "第2-3、5个": the numbers of @p positions, runs joined.
    static QString numbers(const QList<int> &positions);

    void accept() override;

private:
    struct Row
    {
        SceneField field;
        QCheckBox *tick;
        QComboBox *box;
        QString value() const;
    };
    /// One row for each field, in @p fields; a field whose value differs among the chosen
    /// scenes says so.
    void addRows(const SceneLists &scenes, const QList<int> &positions, QGridLayout *fields);
    void addRow(SceneField field, const QString &label, const QStringList &entries, bool differs);
    void showPreview();

    GameFolder m_folder;
    SceneRec m_first;
    QString m_fontName;
    QList<Row> m_rows;
    Stage *m_stage;
    QLabel *m_problem;
};
