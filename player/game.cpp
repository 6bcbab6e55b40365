#include "game.h"

#include "messages.h"
#include "pictures.h"
#include "playertexts.h"
#include "windowplacement.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

Game::Game(const GameFolder &folder, MusicDevice &music, MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, WindowPlacement::kFixedWindowFlags), m_messages(messages),
      m_stage(new Stage(this)), m_wordTimer(new QTimer(this)), m_logic(folder, *this, music)
{
    setObjectName(QStringLiteral("Game"));
    setWindowTitle(PlayerTexts::kInitialTitle);
    setFixedSize(kWidth, kHeight);

    AlphaImage *box = m_stage->MsgPic();
    box->setAccessibleName(PlayerTexts::kNextAccessibleName);
    connect(box, &QAbstractButton::clicked, this, [this] { m_logic.AdvanceScene(); });

    m_wordTimer->setObjectName(QStringLiteral("WordTimer"));
    m_wordTimer->setTimerType(Qt::PreciseTimer);
    m_wordTimer->setInterval(GameLogic::kDefaultInterval);
    connect(m_wordTimer, &QTimer::timeout, this, [this] { m_logic.RevealTick(); });
}

bool Game::start(int first)
{
    return m_logic.start(first) != GameLogic::StartResult::EndProgram;
}

QImage Game::loadPicture(const QString &path)
{
    return Pictures::load(path);
}

void Game::setTitle(const QString &title)
{
    setWindowTitle(title);
}

void Game::setBackground(const QImage &picture)
{
    m_stage->setBackground(picture);
}

void Game::setMsgPicture(const QImage &picture)
{
    m_stage->setMsgPicture(picture);
}

void Game::setMsgTop(int twips)
{
    m_stage->setMsgTop(twips);
}

void Game::setMsgEnabled(bool enabled)
{
    m_stage->MsgPic()->setEnabled(enabled);
}

void Game::setMsgVisible(bool visible)
{
    m_stage->MsgPic()->setVisible(visible);
}

void Game::setNoteCaption(const QString &caption)
{
    m_stage->setNoteCaption(caption);
}

void Game::setNoteTop(int twips)
{
    m_stage->setNoteTop(twips);
}

void Game::setNoteFontName(const QString &family)
{
    m_stage->setNoteFontName(family);
}

void Game::setNoteStyle(bool bold, bool italic, bool underline)
{
    m_stage->setNoteStyle(bold, italic, underline);
}

void Game::setNoteSize(int points)
{
    m_stage->setNoteSize(points);
}

void Game::setNoteColour(const NoteColour &colour)
{
    m_stage->setNoteColour(colour);
}

void Game::setTimerInterval(int milliseconds)
{
    m_wordTimer->setInterval(milliseconds);
}

void Game::setTimerEnabled(bool enabled)
{
    if (enabled)
        m_wordTimer->start();
    else
        m_wordTimer->stop();
}

void Game::showMessage(const QString &text, const QString &title)
{
    m_messages.show(isVisible() ? this : nullptr, text, title);
}
