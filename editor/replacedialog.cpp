#include "replacedialog.h"

#include "editortexts.h"
#include "gbk.h"
#include "scenelisthost.h"
#include "windowtexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace EditorTexts;

namespace {

QString oneLine(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

// Characters shown before the first match, so that it stands near the start of its column.
constexpr qsizetype kLeadIn = 6;

// @p rec's text from a little before @p from (where the first match starts in the text before
// the replacement, which the text after shares), and its pictures.
QString shownChange(const SceneRec &rec, bool pictures, qsizetype from)
{
    QString out = oneLine(rec[SceneField::Note]);
    if (from > kLeadIn)
        out = u'…' + out.mid(from - kLeadIn);
    if (pictures)
        out += QStringLiteral("  [%1 | %2]").arg(rec[SceneField::BG], rec[SceneField::Msg]);
    return out;
}

} // namespace

ReplaceDialog::ReplaceDialog(SceneListHost &host, QWidget *parent)
    : QDialog(parent), m_host(host), m_find(new QLineEdit(this)), m_with(new QLineEdit(this)),
      m_wholeText(new QCheckBox(kReplaceWholeText, this)),
      m_pictures(new QCheckBox(kReplacePictures, this)), m_scenes(new QTreeWidget(this)),
      m_summary(new QLabel(this)), m_replaceTicked(new QPushButton(kReplaceTicked, this)),
      m_replaceAll(new QPushButton(kReplaceAll, this))
{
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(kReplaceCaption);
    setAccessibleName(kReplaceCaption);
    resize(640, 480);
    m_find->setObjectName(QStringLiteral("replaceFind"));
    m_find->setAccessibleName(kReplaceFindName);
    m_with->setObjectName(QStringLiteral("replaceWith"));
    m_with->setAccessibleName(kReplaceWithName);
    m_wholeText->setObjectName(QStringLiteral("wholeText"));
    m_pictures->setObjectName(QStringLiteral("pictures"));
    m_scenes->setObjectName(QStringLiteral("replaceScenes"));
    m_scenes->setAccessibleName(kReplaceListName);
    m_scenes->setHeaderLabels({kReplaceSceneColumn, kReplaceBeforeColumn, kReplaceAfterColumn});
    m_scenes->setRootIsDecorated(false);
    m_scenes->setUniformRowHeights(true);
    m_scenes->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_scenes->setColumnWidth(0, 90);
    m_scenes->setColumnWidth(1, 260);
    m_summary->setObjectName(QStringLiteral("replaceSummary"));
    m_summary->setWordWrap(true);
    m_replaceTicked->setObjectName(QStringLiteral("replaceTicked"));
    m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
    m_replaceAll->setDefault(true);

    QDialogButtonBox *buttons = layOut();

    for (QLineEdit *box : {m_find, m_with})
        connect(box, &QLineEdit::textChanged, this, &ReplaceDialog::refresh);
    for (QCheckBox *box : {m_wholeText, m_pictures})
        connect(box, &QCheckBox::toggled, this, &ReplaceDialog::refresh);
    connect(m_replaceTicked, &QPushButton::clicked, this, [this] { replace(false); });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] { replace(true); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_scenes, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        m_host.showScene(item->data(0, Qt::UserRole).toInt());
    });
    connect(m_scenes, &QTreeWidget::itemChanged, this, &ReplaceDialog::ticked);
}

QDialogButtonBox *ReplaceDialog::layOut()
{
    auto *fields = new QFormLayout;
    fields->addRow(kReplaceFind, m_find);
    fields->addRow(kReplaceWith, m_with);
    auto *options = new QHBoxLayout;
    options->addWidget(m_wholeText);
    options->addWidget(m_pictures);
    options->addStretch(1);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_replaceTicked, QDialogButtonBox::ActionRole);
    buttons->addButton(m_replaceAll, QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(options);
    layout->addWidget(m_scenes, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    return buttons;
}

void ReplaceDialog::startWith(const QString &find)
{
    if (!isVisible())
        m_unticked.clear(); // opened anew: every scene found is ticked
    if (!find.isEmpty())
        m_find->setText(find);
    m_find->setFocus(Qt::OtherFocusReason);
    m_find->selectAll();
    refresh();
}

SceneReplace ReplaceDialog::replacement() const
{
    return {m_find->text(), m_with->text(), m_wholeText->isChecked(), m_pictures->isChecked()};
}

void ReplaceDialog::refresh()
{
    const SceneLists &scenes = m_host.scenes();
    if (scenes != m_listed) {
        // The story changed: the unticked scenes are followed to where they stand now.
        const QList<int> followed = followScenes(m_listed, scenes, m_unticked);
        m_unticked.clear();
        for (const int position : followed) {
            if (position >= 0)
                m_unticked.append(position);
        }
        m_listed = scenes;
    }
    const SceneReplace what = replacement();
    const QList<SceneReplace::Change> changes = what.changes(scenes);
    m_filling = true;
    m_scenes->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(changes.size());
    for (const SceneReplace::Change &c : changes) {
        const qsizetype from = what.wholeText ? 0 : c.before[SceneField::Note].indexOf(what.find);
        auto *item = new QTreeWidgetItem({kReplaceRow.arg(c.position + 1),
                                          shownChange(c.before, what.pictures, from),
                                          shownChange(c.after, what.pictures, from)});
        item->setToolTip(1, c.before[SceneField::Note]);
        item->setToolTip(2, c.after[SceneField::Note]);
        item->setData(0, Qt::UserRole, c.position);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, m_unticked.contains(c.position) ? Qt::Unchecked : Qt::Checked);
        items.append(item);
    }
    m_scenes->addTopLevelItems(items);
    m_filling = false;

    QStringList summary;
    const Gbk::Encoded encoded = Gbk::encode(what.with);
    if (what.find.isEmpty())
        summary.append(kReplaceNothingYet);
    else if (changes.isEmpty())
        summary.append(kNothingReplaced.arg(what.find));
    else
        summary.append(kReplaceCount.arg(changes.size()));
    if (!encoded.ok())
        summary.append(kReplaceUnencodable.arg(encoded.unencodable));
    if (const QStringList missing = SceneReplace::missingPictures(changes, m_host.gameFolder());
        !missing.isEmpty())
        summary.append(kReplaceMissingPictures.arg(missing.join(QStringLiteral("、"))));
    m_summary->setText(summary.join(u'\n'));
    const bool possible = !changes.isEmpty() && encoded.ok();
    m_replaceTicked->setEnabled(possible);
    m_replaceAll->setEnabled(possible);
}

void ReplaceDialog::ticked(QTreeWidgetItem *item)
{
    if (m_filling)
        return;
    const int position = item->data(0, Qt::UserRole).toInt();
    m_unticked.removeAll(position);
    if (item->checkState(0) != Qt::Checked)
        m_unticked.append(position);
}

QList<int> ReplaceDialog::tickedPositions() const
{
    QList<int> out;
    for (int i = 0; i < m_scenes->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_scenes->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            out.append(item->data(0, Qt::UserRole).toInt());
    }
    return out;
}

void ReplaceDialog::replace(bool all)
{
    QList<int> positions;
    if (!all) {
        positions = tickedPositions();
        if (positions.isEmpty())
            return;
    }
    m_host.replaceInScenes(replacement(), positions);
    refresh();
}
