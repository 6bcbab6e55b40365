#include "game.h"

#include "messages.h"
#include "pictures.h"
#include "playertexts.h"
#include "windowplacement.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

using WindowPlacement::px;

PictureBox::PictureBox(QWidget *parent) : PictureHolder<QWidget>(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_picture.isNull())
        painter.drawImage(0, 0, m_picture);
}

AlphaImage::AlphaImage(QWidget *parent) : PictureHolder<QAbstractButton>(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void AlphaImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(kOpacity);
    painter.drawImage(0, 0, m_picture);
}

Game::Game(const GameFolder &folder, MusicDevice &music, MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, WindowPlacement::kFixedWindowFlags), m_messages(messages),
      m_bgPic(new PictureBox(this)), m_msgPic(new AlphaImage(m_bgPic)),
      m_gameNote(new QLabel(m_bgPic)), m_wordTimer(new QTimer(this)), m_logic(folder, *this, music)
{
    setObjectName(QStringLiteral("Game"));
    setWindowTitle(PlayerTexts::kInitialTitle);
    setFixedSize(kWidth, kHeight);

    m_bgPic->setObjectName(QStringLiteral("BgPic"));
    m_bgPic->setGeometry(0, 0, px(9615), px(7215));
    m_bgPic->setAccessibleName(QStringLiteral("背景"));

    m_msgPic->setObjectName(QStringLiteral("MsgPic"));
    m_msgPic->setGeometry(px(240), px(5040), px(9000), px(1800));
    m_msgPic->setAccessibleName(PlayerTexts::kNextAccessibleName);
    QImage placeholder(600, 120, QImage::Format_RGB32);
    placeholder.fill(Qt::white);
    m_msgPic->setPicture(placeholder);
    connect(m_msgPic, &QAbstractButton::clicked, this, [this] { m_logic.AdvanceScene(); });

    m_gameNote->setObjectName(QStringLiteral("GameNote"));
    m_gameNote->setGeometry(px(360), px(5280), px(8700), px(1380));
    m_gameNote->setText(PlayerTexts::kInitialCaption);
    m_gameNote->setTextFormat(Qt::PlainText);
    m_gameNote->setWordWrap(true);
    m_gameNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_gameNote->setAttribute(Qt::WA_TranslucentBackground);
    m_gameNote->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the box below
    setNoteColour(NoteColour{false, qRgb(0, 0, 0)});
    m_gameNote->raise();

    m_wordTimer->setObjectName(QStringLiteral("WordTimer"));
    m_wordTimer->setTimerType(Qt::PreciseTimer);
    m_wordTimer->setInterval(GameLogic::kDefaultInterval);
    connect(m_wordTimer, &QTimer::timeout, this, [this] { m_logic.RevealTick(); });
}

bool Game::start()
{
    return m_logic.start() != GameLogic::StartResult::EndProgram;
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
    m_bgPic->setPicture(picture);
}

void Game::setMsgPicture(const QImage &picture)
{
    m_msgPic->setPicture(picture);
}

void Game::setMsgTop(int twips)
{
    m_msgPic->move(m_msgPic->x(), px(twips));
}

void Game::setMsgEnabled(bool enabled)
{
    m_msgPic->setEnabled(enabled);
}

void Game::setMsgVisible(bool visible)
{
    m_msgPic->setVisible(visible);
}

void Game::setNoteCaption(const QString &caption)
{
    m_gameNote->setText(caption);
}

void Game::setNoteTop(int twips)
{
    m_gameNote->move(m_gameNote->x(), px(twips));
}

void Game::setNoteFontName(const QString &family)
{
    QFont f = m_gameNote->font();
    f.setFamily(family);
    m_gameNote->setFont(f);
}

void Game::setNoteStyle(bool bold, bool italic, bool underline)
{
    QFont f = m_gameNote->font();
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    m_gameNote->setFont(f);
}

void Game::setNoteSize(int points)
{
    QFont f = m_gameNote->font();
    f.setPointSize(points);
    m_gameNote->setFont(f);
}

void Game::setNoteColour(const NoteColour &colour)
{
    QPalette p = m_gameNote->palette();
    const QColor c = colour.systemButtonText ? QApplication::palette().color(QPalette::ButtonText)
                                             : QColor(colour.rgb);
    p.setColor(QPalette::WindowText, c);
    m_gameNote->setPalette(p);
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
