#include "readercommands.h"

#include "backlogview.h"
#include "game.h"
#include "messages.h"
#include "playertexts.h"
#include "settingswindow.h"
#include "slotwindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

QList<ReaderCommands::Entry> ReaderCommands::table()
{
    using namespace PlayerTexts;
    using C = Command;
    using R = ReaderCommands;
    const QKeySequence ctrlS(Qt::CTRL | Qt::Key_S), ctrlO(Qt::CTRL | Qt::Key_O);
    const QKeySequence ctrlP(Qt::CTRL | Qt::Key_P), ctrlQ(Qt::CTRL | Qt::Key_Q);
    // A command that moves or hides the scene is closed in the look-back list, and its key
    // closes the list: the scene stays still while the reader looks back. What acts on the
    // scene shown has nothing to act on at the ending.
    // clang-format off
    //   command      menu entry      keys           passed keys      look back ending line above
    return {
        {C::Save,      kMenuSave,      {ctrlS},       {},               true,  false, false,
         &R::save},
        {C::Load,      kMenuLoad,      {ctrlO},       {},               true,  true,  false,
         &R::load},
        {C::QuickSave, kMenuQuickSave, {Qt::Key_F5},  {},               true,  false, false,
         &R::quickSave},
        {C::QuickLoad, kMenuQuickLoad, {Qt::Key_F9},  {},               true,  true,  false,
         &R::quickLoad},
        {C::LookBack,  kMenuBacklog,   {Qt::Key_L},   {Qt::Key_PageUp}, false, true,  true,
         &R::showBacklog},
        {C::Auto,      kMenuAuto,      {Qt::Key_A},   {},               false, false, false,
         &R::toggleAuto},
        {C::Skip,      kMenuSkip,      {Qt::Key_S},   {},               false, false, false,
         &R::toggleSkip},
        {C::Hide,      kMenuHide,      {Qt::Key_H},   {},               false, false, false,
         &R::toggleBox},
        {C::Settings,  kMenuSettings,  {ctrlP},       {},               true,  true,  true,
         &R::openSettings},
        {C::Restart,   kMenuRestart,   {},            {},               true,  true,  false,
         &R::restart},
        {C::Quit,      kMenuQuit,      {ctrlQ},       {},               true,  true,  false,
         &R::quit},
        {C::Mute,      QString(),      {Qt::Key_M},   {},               true,  true,  false,
         &R::toggleMute},
    };
    // clang-format on
}

ReaderCommands::ReaderCommands(Game &game, MessageBoxes &messages)
    : QObject(&game), m_game(game), m_logic(game.logic()), m_messages(messages), m_table(table())
{
    for (const Entry &entry : std::as_const(m_table)) {
        Q_ASSERT(entry.command == Command(m_actions.size())); // action() finds it by its place
        auto *action = new QAction(entry.name, &game);
        action->setShortcuts(entry.keys);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, [this, entry] {
            emit aboutToRun();
            if (!entry.inLookBack && backlogOpen())
                closeBacklog();
            else
                (this->*entry.run)();
        });
        game.addAction(action);
        m_actions.append(action);
    }
}

QAction *ReaderCommands::action(Command command) const
{
    return m_actions.at(int(command));
}

QAction *ReaderCommands::forPassedKey(const QKeyEvent &event) const
{
    const QKeySequence key(event.keyCombination());
    for (int i = 0; i < m_table.size(); ++i) {
        if (m_table.at(i).passedKeys.contains(key))
            return m_actions.at(i);
    }
    return nullptr;
}

void ReaderCommands::addToMenu()
{
    m_menu = new QMenu(&m_game);
    m_menu->setObjectName(QStringLiteral("ReaderMenu"));
    for (int i = 0; i < m_table.size(); ++i) {
        if (m_table.at(i).name.isEmpty())
            continue;
        if (m_table.at(i).newGroup)
            m_menu->addSeparator();
        m_menu->addAction(m_actions.at(i));
    }
    // Closed at the ending only while the menu shows: their keys still answer there.
    connect(m_menu, &QMenu::aboutToHide, this, [this] {
        for (QAction *action : std::as_const(m_actions))
            action->setEnabled(true);
    });
}

void ReaderCommands::openMenu(const QPoint &where)
{
    if (!m_menu)
        addToMenu();
    // The menu stops auto and skip, and closes the look-back list: the reader has turned to
    // something else, and what it starts plays on the scene.
    m_logic.setMode(GameLogic::Mode::Normal);
    closeBacklog();
    for (int i = 0; i < m_table.size(); ++i)
        m_actions.at(i)->setEnabled(m_table.at(i).atEnding || !m_logic.ended());
    m_menu->popup(where);
}

bool ReaderCommands::saveSlot(int n)
{
    const std::optional<SavedPlace> place = m_logic.currentPlace();
    if (!place) {
        tell(PlayerTexts::kNothingToSave);
        return false;
    }
    ReaderData *reader = m_game.readerData();
    if (!reader)
        return false;
    SavedPlace saved = *place;
    saved.picture = SlotWindow::thumbnail(*m_game.sceneView());
    if (const WriteResult written = reader->save(n, saved); !written) {
        tell(PlayerTexts::kCannotSave.arg(written.error));
        return false;
    }
    m_game.notice(n == ReaderData::kQuickSlot ? PlayerTexts::kQuickSaved
                                              : PlayerTexts::kSavedToSlot.arg(n));
    return true;
}

void ReaderCommands::tell(const QString &text)
{
    m_messages.show(m_game.isVisible() ? &m_game : nullptr, text, PlayerTexts::kSaveTitle);
}

bool ReaderCommands::loadSlot(int n)
{
    const ReaderData *reader = m_game.readerData();
    const std::optional<SavedPlace> place = reader ? reader->slot(n) : std::nullopt;
    if (!place)
        return false;
    closeBacklog();
    if (n == ReaderData::kQuickSlot)
        m_game.notice(PlayerTexts::kQuickLoaded); // said before the scene it opens
    m_logic.loadPlace(*place);
    return true;
}

void ReaderCommands::quickLoad()
{
    if (!loadSlot(ReaderData::kQuickSlot))
        m_game.notice(PlayerTexts::kNoQuickSave);
}

void ReaderCommands::chooseSlot(bool saving)
{
    const ReaderData *reader = m_game.readerData();
    if (!reader)
        return;
    m_game.readerActed();
    m_logic.setMode(GameLogic::Mode::Normal);
    SlotWindow window(*reader, saving, &m_game);
    if (window.exec() != QDialog::Accepted || window.chosen() < 0)
        return;
    const int chosen = window.chosen();
    if (!saving) {
        loadSlot(chosen);
        return;
    }
    if (reader->slot(chosen) &&
        !m_messages.ask(&m_game, PlayerTexts::kOverwriteSlot.arg(SlotWindow::slotName(chosen)),
                        PlayerTexts::kSaveTitle))
        return;
    saveSlot(chosen);
}

void ReaderCommands::openSettings()
{
    m_game.readerActed();
    m_logic.setMode(GameLogic::Mode::Normal);
    SettingsWindow settings(m_logic.readerSettings(), m_game.isFullScreen(), &m_game);
    if (settings.exec() != QDialog::Accepted)
        return;
    m_game.applyReaderSettings(settings.chosen(m_logic.readerSettings()));
    if (settings.fullScreen() != m_game.isFullScreen())
        m_game.toggleFullScreen();
}

void ReaderCommands::showBacklog()
{
    if (!m_backlog) {
        m_backlog = new BacklogView(&m_game);
        connect(m_backlog, &BacklogView::backChosen, this, &ReaderCommands::backToScene);
        connect(m_backlog, &BacklogView::closeAsked, this, &ReaderCommands::closeBacklog);
    }
    m_game.readerActed();
    m_logic.setMode(GameLogic::Mode::Normal);
    m_backlog->fill(m_logic.backlog());
    m_backlog->setGeometry(m_game.rect());
    m_backlog->show();
    m_backlog->raise();
    m_backlog->scrollToBottom();
    m_backlog->setFocus();
}

void ReaderCommands::backToScene(int scene)
{
    if (m_messages.ask(&m_game, PlayerTexts::kBackToSceneQuestion.arg(scene + 1),
                       PlayerTexts::kBacklogName)) {
        closeBacklog();
        m_logic.goToScene(scene);
    }
}

bool ReaderCommands::backlogOpen() const
{
    return m_backlog && m_backlog->isVisible();
}

void ReaderCommands::closeBacklog()
{
    if (!backlogOpen())
        return;
    m_backlog->hide();
    m_game.MsgPic()->setFocus();
}

void ReaderCommands::toggleAuto()
{
    toggleMode(GameLogic::Mode::Auto, PlayerTexts::kAutoOn);
}

void ReaderCommands::toggleSkip()
{
    toggleMode(GameLogic::Mode::Skip, PlayerTexts::kSkipOn);
}

void ReaderCommands::toggleMode(GameLogic::Mode mode, const QString &said)
{
    const bool on = m_logic.mode() != mode;
    m_logic.setMode(on ? mode : GameLogic::Mode::Normal);
    m_game.announce(on ? said : PlayerTexts::kModeOff);
}

void ReaderCommands::toggleBox()
{
    m_logic.setBoxHidden(!m_logic.boxHidden());
}

void ReaderCommands::restart()
{
    if (m_messages.ask(&m_game, PlayerTexts::kRestartQuestion, PlayerTexts::kMenuRestart))
        m_logic.goToScene(0);
}

void ReaderCommands::quit()
{
    m_game.close();
}

void ReaderCommands::toggleMute()
{
    ReaderSettings settings = m_logic.readerSettings();
    settings.mute = !settings.mute;
    m_game.applyReaderSettings(settings);
    m_game.announce(settings.mute ? PlayerTexts::kMuted : PlayerTexts::kUnmuted);
}
