#include "stage.h"

#include "pictures.h"
#include "stagepaint.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace {

using StagePaint::px;

const QString kInitialCaption = QStringLiteral("GameNote");

} // namespace

PictureBox::PictureBox(QWidget *parent) : PictureHolder<QWidget>(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    StagePaint::paintBackground(painter, size(), m_picture, m_scale);
}

AlphaImage::AlphaImage(QWidget *parent) : PictureHolder<QAbstractButton>(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void AlphaImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    StagePaint::paintBox(painter, m_picture, m_scale);
}

Stage::Stage(QWidget *parent)
    : QWidget(parent), m_bgPic(new PictureBox(this)), m_msgPic(new AlphaImage(m_bgPic)),
      m_gameNote(new QLabel(m_bgPic))
{
    // The stage's own colours, whatever window it stands in (the preview's is black): the
    // row below the background shows the desktop's window colour, as it always has.
    QPalette own = palette();
    own.setColor(QPalette::Window, windowColour());
    setPalette(own);
    setAutoFillBackground(true);
    m_bgPic->setObjectName(QStringLiteral("BgPic"));
    m_bgPic->setAccessibleName(QStringLiteral("背景"));
    m_msgPic->setObjectName(QStringLiteral("MsgPic"));
    m_gameNote->setObjectName(QStringLiteral("GameNote"));
    m_gameNote->setTextFormat(Qt::PlainText);
    m_gameNote->setWordWrap(true);
    m_gameNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_gameNote->setAttribute(Qt::WA_TranslucentBackground);
    m_gameNote->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the box below
    m_gameNote->raise();
    m_initialFont = m_gameNote->font();
    reset();
}

QColor Stage::buttonTextColour()
{
    return QApplication::palette().color(QPalette::ButtonText);
}

QColor Stage::windowColour()
{
    return QApplication::palette().color(QPalette::Window);
}

void Stage::reset()
{
    QImage white(600, 120, QImage::Format_RGB32);
    white.fill(Qt::white);
    m_msgPic->setPicture(white);
    m_bgPic->setPicture(QImage());
    m_gameNote->setText(kInitialCaption);
    m_msgTop = StagePaint::kFirstBoxTop;
    m_noteTop = StagePaint::kFirstTextTop;
    m_font = m_initialFont;
    setNoteColour(NoteColour{false, qRgb(0, 0, 0)});
    place();
}

void Stage::setScale(qreal scale)
{
    m_scale = scale;
    m_bgPic->setScale(scale);
    m_msgPic->setScale(scale);
    place();
}

void Stage::place()
{
    const qreal s = m_scale;
    setFixedSize(qRound(kWidth * s), qRound(kHeight * s));
    m_bgPic->setGeometry(0, 0, px(kBackgroundWidth, s), px(kBackgroundHeight, s));
    m_msgPic->setGeometry(px(kBoxLeft, s), px(m_msgTop, s), px(kBoxWidth, s), px(kBoxHeight, s));
    m_gameNote->setGeometry(px(kTextLeft, s), px(m_noteTop, s), px(kTextWidth, s),
                            px(kTextHeight, s));
    applyFont();
}

void Stage::applyFont()
{
    QFont scaled = m_font;
    if (m_scale != 1)
        scaled.setPointSizeF(m_font.pointSizeF() * m_scale);
    m_gameNote->setFont(scaled);
}

QImage Stage::missingPicture(QSize size, const QString &gamePath)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(96, 96, 104));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(200, 200, 210), 2, Qt::DashLine));
    painter.drawRect(QRect(QPoint(1, 1), size - QSize(2, 2)));
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("缺少图片: ") + gamePath);
    return image;
}

void Stage::showWhole(const GameFolder &folder, const SceneRec &scene, const QString &fontName)
{
    reset();
    if (!fontName.isEmpty())
        setNoteFontName(fontName);
    const QString msgPath = QStringLiteral("Msg\\") + scene[SceneField::Msg];
    const QString bgPath = QStringLiteral("BG\\") + scene[SceneField::BG];
    const QImage box = Pictures::load(folder.resolve(msgPath));
    setMsgPicture(box.isNull() ? missingPicture(QSize(600, 120), msgPath) : box);
    const QImage background = Pictures::load(folder.resolve(bgPath));
    setBackground(background.isNull() ? missingPicture(QSize(kWidth, kHeight), bgPath)
                                      : background);
    setNoteCaption(scene[SceneField::Note]);
    SceneLook::applyExact(*this, scene);
}

void Stage::setBackground(const QImage &picture)
{
    m_bgPic->setPicture(picture);
}

void Stage::setMsgPicture(const QImage &picture)
{
    m_msgPic->setPicture(picture);
}

void Stage::setMsgTop(int twips)
{
    m_msgTop = twips;
    m_msgPic->move(m_msgPic->x(), px(twips, m_scale));
}

void Stage::setNoteCaption(const QString &caption)
{
    m_gameNote->setText(caption);
}

void Stage::setNoteTop(int twips)
{
    m_noteTop = twips;
    m_gameNote->move(m_gameNote->x(), px(twips, m_scale));
}

void Stage::setNoteFontName(const QString &family)
{
    m_font.setFamily(family);
    applyFont();
}

void Stage::setNoteStyle(bool bold, bool italic, bool underline)
{
    m_font.setBold(bold);
    m_font.setItalic(italic);
    m_font.setUnderline(underline);
    applyFont();
}

void Stage::setNoteSize(int points)
{
    m_font.setPointSize(points);
    applyFont();
}

void Stage::setNoteColour(const NoteColour &colour)
{
    QPalette p = m_gameNote->palette();
    const QColor c = colour.systemButtonText ? buttonTextColour() : QColor(colour.rgb);
    p.setColor(QPalette::WindowText, c);
    m_gameNote->setPalette(p);
}
