#include "batchdialog.h"

#include "batchtexts.h"
#include "editortexts.h"
#include "stage.h"
#include "vocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace T = BatchTexts;

namespace {

constexpr qreal kPreviewScale = 0.5;

bool isCode(SceneField field)
{
    return field != SceneField::BG && field != SceneField::Msg;
}

QString pictureFolder(SceneField field)
{
    return field == SceneField::BG ? QStringLiteral("BG") : QStringLiteral("Msg");
}

// The pictures of the game's folder @p name (found in any letter case), by name.
QStringList picturesIn(const GameFolder &folder, const QString &name)
{
    const QDir root(folder.path());
    for (const QString &entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QStringList found;
        const QStringList files =
            QDir(root.filePath(entry)).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString &file : files) {
            const QString suffix = QFileInfo(file).suffix().toLower();
            if (QStringList{"bmp", "jpg", "jpeg", "gif", "png"}.contains(suffix))
                found.append(file);
        }
        return found;
    }
    return {};
}

} // namespace

QString BatchDialog::Row::value() const
{
    return isCode(field) ? Vocabulary::storedCode(box->currentIndex())
                         : box->currentText().trimmed();
}

BatchDialog::BatchDialog(const GameFolder &folder, const SceneLists &scenes,
                         const QList<int> &positions, const QString &fontName, QWidget *parent)
    : QDialog(parent), m_folder(folder), m_first(scenes.scene(positions.value(0))),
      m_fontName(fontName), m_stage(new Stage(this)), m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("BatchDialog"));
    setWindowTitle(T::kCaption);
    auto *layout = new QVBoxLayout(this);
    auto *which = new QLabel(T::kScenes.arg(positions.size()).arg(numbers(positions)), this);
    which->setObjectName(QStringLiteral("scenes"));
    which->setWordWrap(true);
    layout->addWidget(which);
    auto *hint = new QLabel(T::kHint, this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto *fields = new QGridLayout;
    auto *body = new QHBoxLayout;
    body->addLayout(fields);
    auto *preview = new QVBoxLayout;
    auto *previewLabel = new QLabel(T::kPreview.arg(positions.value(0) + 1), this);
    preview->addWidget(previewLabel);
    m_stage->setObjectName(QStringLiteral("preview"));
    m_stage->setScale(kPreviewScale);
    preview->addWidget(m_stage);
    preview->addStretch(1);
    body->addLayout(preview);
    layout->addLayout(body);

    addRows(scenes, positions, fields);

    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &BatchDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BatchDialog::reject);
    layout->addWidget(buttons);
    showPreview();
}

void BatchDialog::addRows(const SceneLists &scenes, const QList<int> &positions,
                          QGridLayout *fields)
{
    const auto differs = [&](SceneField field) {
        for (const int i : positions) {
            if (scenes.at(field, i) != m_first[field])
                return true;
        }
        return false;
    };
    using namespace EditorTexts;
    const std::array<std::pair<SceneField, QString>, 7> rows = {{
        {SceneField::BG, kBackground},
        {SceneField::Msg, kMessageBox},
        {SceneField::MsgWZ, kBoxPosition},
        {SceneField::FontWZ, kTextPosition},
        {SceneField::FontSet, kTextStyle},
        {SceneField::FontSize, kTextSize},
        {SceneField::FontColor, kTextColour},
    }};
    for (const auto &[field, label] : rows)
        addRow(field, label,
               isCode(field) ? Vocabulary::choicesFor(field)
                             : picturesIn(m_folder, pictureFolder(field)),
               differs(field));
    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        fields->addWidget(m_rows.at(r).tick, int(r), 0);
        fields->addWidget(m_rows.at(r).box, int(r), 1);
    }
    fields->setRowStretch(int(m_rows.size()), 1);
}

void BatchDialog::addRow(SceneField field, const QString &label, const QStringList &entries,
                         bool differs)
{
    auto *tick = new QCheckBox(differs ? label + T::kDiffers : label, this);
    auto *value = new QComboBox(this);
    tick->setObjectName(QStringLiteral("tick%1").arg(int(field)));
    value->setObjectName(QStringLiteral("value%1").arg(int(field)));
    value->setAccessibleName(label);
    value->addItems(entries);
    if (isCode(field)) {
        bool ok = false;
        const int code = m_first[field].toInt(&ok);
        value->setCurrentIndex(ok && code < entries.size() ? code : -1);
    } else {
        value->setEditable(true);
        value->setInsertPolicy(QComboBox::NoInsert);
        value->setCurrentText(m_first[field]);
    }
    // Choosing a value ticks its field; the preview follows either.
    const auto changed = [this, tick] {
        tick->setChecked(true);
        m_problem->clear();
        showPreview();
    };
    connect(value, &QComboBox::currentTextChanged, this, changed);
    connect(tick, &QCheckBox::toggled, this, &BatchDialog::showPreview);
    m_rows.append({field, tick, value});
}

SceneFieldValues BatchDialog::values() const
{
    SceneFieldValues chosen;
    for (const Row &row : m_rows) {
        if (row.tick->isChecked())
            chosen.append({row.field, row.value()});
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    return chosen;
}

void BatchDialog::showPreview()
{
    SceneRec rec = m_first;
    for (const auto &[field, value] : values())
        rec[field] = value;
    m_stage->showWhole(m_folder, rec, m_fontName);
}

void BatchDialog::accept()
{
    const SceneFieldValues chosen = values();
    if (chosen.isEmpty()) {
        m_problem->setText(T::kNothingChosen);
        return;
    }
    for (const auto &[field, value] : chosen) {
        const QString folder = pictureFolder(field);
        if (!isCode(field) && (value.isEmpty() || !m_folder.exists(folder + u'\\' + value))) {
            m_problem->setText(T::kNoPicture.arg(folder, value));
            return;
        }
    }
    QDialog::accept();
}

QString BatchDialog::numbers(const QList<int> &positions)
{
    QStringList runs;
    for (qsizetype k = 0; k < positions.size();) {
        qsizetype end = k;
        while (end + 1 < positions.size() && positions.at(end + 1) == positions.at(end) + 1)
            ++end;
        runs.append(
            end == k ? QString::number(positions.at(k) + 1)
                     : QStringLiteral("%1-%2").arg(positions.at(k) + 1).arg(positions.at(end) + 1));
        k = end + 1;
    }
    constexpr qsizetype kShownRuns = 8;
    if (runs.size() > kShownRuns)
        return T::kNumbersCut.arg(runs.mid(0, kShownRuns).join(u'、'));
    return T::kNumbers.arg(runs.join(u'、'));
}
