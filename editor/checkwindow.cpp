#include "checkwindow.h"

#include "editortexts.h"
#include "windowtexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

CheckWindow::CheckWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_summary(new QLabel(this)),
      m_rename(new QPushButton(EditorTexts::kRenameWindowsNames, this)),
      m_goTo(new QPushButton(EditorTexts::kCheckGoTo, this)), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("CheckWindow"));
    setWindowTitle(EditorTexts::kCheckCaption);
    resize(560, 360);
    m_list->setObjectName(QStringLiteral("problems"));
    m_list->setAccessibleName(EditorTexts::kCheckCaption);
    const int line = fontMetrics().height();
    m_list->setIconSize(QSize(line, line));
    m_summary->setBuddy(m_list);
    m_summary->setWordWrap(true); // narrow beside the editor on a small screen
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    m_rename->setObjectName(QStringLiteral("rename"));
    m_rename->hide();
    m_goTo->setObjectName(QStringLiteral("goTo"));
    m_goTo->setAccessibleName(EditorTexts::kCheckGoToName);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_goTo);
    buttons->addWidget(m_rename);
    layout->addLayout(buttons);
    const auto sceneOf = [](const QListWidgetItem *item) {
        return item ? item->data(Qt::UserRole).toInt() : 0;
    };
    connect(m_list, &QListWidget::currentItemChanged, this,
            [this, sceneOf](QListWidgetItem *item) { m_goTo->setEnabled(sceneOf(item) > 0); });
    connect(m_goTo, &QPushButton::clicked, this, [this, sceneOf] {
        if (const int scene = sceneOf(m_list->currentItem()); scene > 0)
            emit sceneChosen(scene);
    });
    connect(m_rename, &QPushButton::clicked, this, &CheckWindow::renameRequested);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (const int scene = item->data(Qt::UserRole).toInt(); scene > 0)
            emit sceneChosen(scene);
    });
}

void CheckWindow::showResult(GameCheck::Verdict verdict, const QList<GameProblem> &problems,
                             bool windowsNames)
{
    m_list->clear();
    m_rename->setVisible(windowsNames);
    const auto warnings = std::count_if(problems.cbegin(), problems.cend(),
                                        [](const GameProblem &p) { return p.warning; });
    const auto faults = problems.size() - warnings;
    switch (verdict) {
    case GameCheck::Verdict::Fine: m_summary->setText(EditorTexts::kCheckFine); break;
    case GameCheck::Verdict::NoGame: m_summary->setText(EditorTexts::kCheckNoGame); break;
    case GameCheck::Verdict::Warnings:
        m_summary->setText(EditorTexts::kCheckWarnings.arg(warnings));
        break;
    case GameCheck::Verdict::Problems:
        m_summary->setText(warnings > 0
                               ? EditorTexts::kCheckProblemsAndWarnings.arg(faults).arg(warnings)
                               : EditorTexts::kCheckProblems.arg(faults));
        break;
    }
    const QIcon problemIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    for (const GameProblem &problem : problems) {
        auto *item = new QListWidgetItem(problem.warning ? warningIcon : problemIcon,
                                         problem.line(), m_list);
        item->setData(Qt::UserRole, problem.scene);
    }
    m_list->setCurrentRow(0);
}
