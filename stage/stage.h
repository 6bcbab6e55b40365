#pragma once

#include "gamefolder.h"
#include "scenelook.h"
#include "stagepaint.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

class QLabel;

/// A widget of kind @p Base that holds one picture, drawn from its top-left corner at the
/// stage's scale, and repaints when it changes.
template <typename Base>
class PictureHolder : public Base
{
public:
    using Base::Base;
    void setPicture(const QImage &picture)
    {
        m_picture = picture;
        this->update();
    }
    const QImage &picture() const { return m_picture; }
    void setScale(qreal scale)
    {
        m_scale = scale;
        this->update();
    }

protected:
    QImage m_picture;
    qreal m_scale = 1;
};

/// Shows a picture unscaled from its top-left corner; a plain black field without one.
class PictureBox : public PictureHolder<QWidget>
{
public:
    explicit PictureBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

/// The message box: a picture drawn at 40 % opacity over what lies below, pressable.
class AlphaImage : public PictureHolder<QAbstractButton>
{
public:
    static constexpr qreal kOpacity = StagePaint::kBoxOpacity;
    explicit AlphaImage(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

/// A scene as the player shows it: the background `BgPic`, the message box `MsgPic` and the
/// scene text `GameNote`, on a 638×482 canvas. The player's window and the editor's preview
/// both draw scenes through it, so both show the same pixels. At a scale above 1 everything is
/// drawn larger, the text laid out again at the larger size.
class Stage : public QWidget, public StageSurface
{
    Q_OBJECT
public:
    static constexpr int kWidth = 638;
    static constexpr int kHeight = 482;
    /// Where the parts stand, in twips (15 per pixel): the background's size, the box's left
    /// edge and size, the text area's left edge and size. Their tops come from the codes.
    static constexpr int kBackgroundWidth = StagePaint::kBackgroundWidth;
    static constexpr int kBackgroundHeight = StagePaint::kBackgroundHeight;
    static constexpr int kBoxLeft = StagePaint::kBoxLeft;
    static constexpr int kBoxWidth = StagePaint::kBoxWidth;
    static constexpr int kBoxHeight = StagePaint::kBoxHeight;
    static constexpr int kTextLeft = StagePaint::kTextLeft;
    static constexpr int kTextWidth = StagePaint::kTextWidth;
    static constexpr int kTextHeight = StagePaint::kTextHeight;
    static constexpr int kTwipsPerPixel = StagePaint::kTwipsPerPixel;
    /// The colour of the text coloured "system button text" (colour code 0) on this desktop.
    static QColor buttonTextColour();
    /// The colour of the row below the background: the desktop's window colour.
    static QColor windowColour();

    explicit Stage(QWidget *parent = nullptr);

    PictureBox *BgPic() const { return m_bgPic; }
    AlphaImage *MsgPic() const { return m_msgPic; }
    QLabel *GameNote() const { return m_gameNote; }

    /// Draws the stage @p scale times its size (1: 638×482); the widget takes that size.
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }

    /// Back to the look before any scene: the white box, "GameNote", the default font.
    void reset();
    /// Shows @p scene whole, as the player shows its first scene, with the text in @p fontName
    /// (the default font when empty). A picture that does not load is drawn as a grey area
    /// naming it ("缺少图片: BG\…"), never as an error.
    void showWhole(const GameFolder &folder, const SceneRec &scene, const QString &fontName);
    /// A plain labelled area of @p size standing for the missing picture @p gamePath.
    static QImage missingPicture(QSize size, const QString &gamePath);

    void setBackground(const QImage &picture) override;
    void setMsgPicture(const QImage &picture) override;
    void setMsgTop(int twips) override;
    void setNoteCaption(const QString &caption) override;
    void setNoteTop(int twips) override;
    void setNoteFontName(const QString &family) override;
    void setNoteStyle(bool bold, bool italic, bool underline) override;
    void setNoteSize(int points) override;
    void setNoteColour(const NoteColour &colour) override;

private:
    void place();
    void applyFont();

    PictureBox *m_bgPic;
    AlphaImage *m_msgPic;
    QLabel *m_gameNote;
    qreal m_scale = 1;
    int m_msgTop = StagePaint::kFirstBoxTop;
    int m_noteTop = StagePaint::kFirstTextTop;
    QFont m_font;        ///< the text's font at scale 1
    QFont m_initialFont; ///< the font before any scene
};
