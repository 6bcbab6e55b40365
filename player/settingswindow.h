#pragma once

#include "readerdata.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSlider;

/// The reader's settings window `ReaderSettings` (设置): the speeds of the text and of auto, the
/// music's volume and mute, skip over unseen scenes, and full screen. It only asks; whoever
/// opened it applies what was chosen once it is accepted.
class SettingsWindow : public QDialog
{
    Q_OBJECT
public:
    /// Shows @p settings, and full screen as the window @p parent stands (@p fullScreen).
    SettingsWindow(const ReaderSettings &settings, bool fullScreen, QWidget *parent);

    /// @p before with what the reader chose here; its full screen stays as it was.
    ReaderSettings chosen(ReaderSettings before) const;
    /// Whether the reader asked for full screen.
    bool fullScreen() const;

private:
    QComboBox *m_textSpeed;
    QComboBox *m_autoSpeed;
    QSlider *m_volume;
    QCheckBox *m_mute;
    QCheckBox *m_skipAll;
    QCheckBox *m_fullScreen;
};
