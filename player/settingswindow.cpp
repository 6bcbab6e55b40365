#include "settingswindow.h"

#include "playertexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSlider>

namespace {

QComboBox *speedBox(QWidget *parent, int value)
{
    auto *box = new QComboBox(parent);
    const std::pair<QString, int> speeds[] = {{PlayerTexts::kSpeedSlow, 50},
                                              {PlayerTexts::kSpeedNormal, 100},
                                              {PlayerTexts::kSpeedFast, 200},
                                              {PlayerTexts::kSpeedFaster, 400}};
    for (const auto &[name, speed] : speeds)
        box->addItem(name, speed);
    box->setCurrentIndex(qMax(0, box->findData(value)));
    return box;
}

QCheckBox *checkBox(QWidget *parent, const QString &text, bool checked)
{
    auto *box = new QCheckBox(text, parent);
    box->setChecked(checked);
    return box;
}

} // namespace

SettingsWindow::SettingsWindow(const ReaderSettings &settings, bool fullScreen, QWidget *parent)
    : QDialog(parent), m_textSpeed(speedBox(this, settings.textSpeed)),
      m_autoSpeed(speedBox(this, settings.autoSpeed)), m_volume(new QSlider(Qt::Horizontal, this)),
      m_mute(checkBox(this, PlayerTexts::kMute, settings.mute)),
      m_skipAll(checkBox(this, PlayerTexts::kSkipAll, settings.skipAll)),
      m_fullScreen(checkBox(this, PlayerTexts::kFullScreen, fullScreen))
{
    setObjectName(QStringLiteral("ReaderSettings"));
    setWindowTitle(PlayerTexts::kSettingsTitle);
    m_volume->setRange(0, 100);
    m_volume->setValue(settings.volume);
    auto *form = new QFormLayout(this);
    form->addRow(PlayerTexts::kTextSpeed, m_textSpeed);
    form->addRow(PlayerTexts::kAutoSpeed, m_autoSpeed);
    form->addRow(PlayerTexts::kVolume, m_volume);
    form->addRow(QString(), m_mute);
    form->addRow(QString(), m_skipAll);
    form->addRow(QString(), m_fullScreen);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ReaderSettings SettingsWindow::chosen(ReaderSettings before) const
{
    before.textSpeed = m_textSpeed->currentData().toInt();
    before.autoSpeed = m_autoSpeed->currentData().toInt();
    before.volume = m_volume->value();
    before.mute = m_mute->isChecked();
    before.skipAll = m_skipAll->isChecked();
    return before;
}

bool SettingsWindow::fullScreen() const
{
    return m_fullScreen->isChecked();
}
