#pragma once

#include "editortexts.h"
#include "windowplacement.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

/// Controls of the editor's form, each named and placed by its geometry in twips.
namespace FormParts {

inline void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(WindowPlacement::px(left), WindowPlacement::px(top), WindowPlacement::px(width),
                   WindowPlacement::px(height));
}

inline QFont songTi(double points, bool underline = false)
{
    QFont f(EditorTexts::kLabelFont);
    f.setPointSizeF(points);
    f.setUnderline(underline);
    return f;
}

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A control with its name, placed by its twip geometry.
template <typename T>
T *placed(T *widget, const char *name, int left, int top, int width, int height)
{
    place(named(widget, name), left, top, width, height);
    return widget;
}

// A label with its caption; with a buddy, the buddy is announced by that caption.
inline QLabel *label(QWidget *frame, const char *name, const QString &caption, int left, int top,
                     QWidget *buddy = nullptr)
{
    QLabel *l = named(new QLabel(caption, frame), name);
    l->setFont(songTi(14.25));
    l->adjustSize();
    l->move(WindowPlacement::px(left), WindowPlacement::px(top));
    if (buddy) {
        l->setBuddy(buddy);
        buddy->setAccessibleName(caption);
    }
    return l;
}

inline QComboBox *combo(QWidget *frame, const char *name, const QStringList &entries, int start,
                        int left, int top, int width)
{
    QComboBox *c = placed(new QComboBox(frame), name, left, top, width, 300);
    c->addItems(entries);
    c->setCurrentIndex(start);
    return c;
}

inline QLineEdit *lineEdit(QWidget *frame, const char *name, int l, int t, int w, int h,
                           bool boxFont = true)
{
    QLineEdit *e = placed(new QLineEdit(frame), name, l, t, w, h);
    if (boxFont)
        e->setFont(songTi(12));
    return e;
}

} // namespace FormParts
