#include "sceneform.h"

#include "vocabulary.h"

namespace {

// The code lists in the order of SceneForm::choices.
constexpr std::array<SceneField, SceneForm::kChoiceCount> kChoiceFields = {
    SceneField::FontWZ, SceneField::FontSet, SceneField::FontSize, SceneField::FontColor,
    SceneField::MsgWZ};

} // namespace

SettingsForm SettingsForm::of(const GameSettings &settings)
{
    return {settings.GameName, settings.BGMName, settings.GameFont,
            Vocabulary::speedForInterval(settings.WordInterval),
            Vocabulary::skipForCode(settings.SkipCode)};
}

GameSettings SettingsForm::settings() const
{
    return {name, music, font, Vocabulary::intervalForSpeed(speed), Vocabulary::storedCode(skip)};
}

void SettingsForm::take(const SettingsForm &typed, GameSettings::Field field)
{
    switch (field) {
    case GameSettings::Name: name = typed.name; break;
    case GameSettings::Music: music = typed.music; break;
    case GameSettings::Font: font = typed.font; break;
    case GameSettings::Interval: speed = typed.speed; break;
    case GameSettings::Skip: skip = typed.skip; break;
    }
}

QString ShownScene::storableText(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar c : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                    QChar(QChar::ParagraphSeparator)})
        out.replace(c, u' ');
    return out;
}

const SceneForm &ShownScene::show(const SceneRec &rec)
{
    m_rec = rec;
    m_form.text = rec[SceneField::Note];
    m_form.background = rec[SceneField::BG];
    m_form.messageBox = rec[SceneField::Msg];
    for (int k = 0; k < SceneForm::kChoiceCount; ++k) {
        bool ok = false;
        const int code = rec[kChoiceFields[k]].toInt(&ok);
        m_form.choices[k] =
            ok && code >= 0 && code < Vocabulary::choicesFor(kChoiceFields[k]).size() ? code : -1;
    }
    return m_form;
}

SceneRec ShownScene::sceneFrom(const SceneForm &form, bool keepUntouchedCodes) const
{
    SceneRec rec;
    rec[SceneField::Note] = storableText(form.text);
    // A text box shows a stored lone CR or LF as a line break; unedited, the text goes back
    // exactly as it was read.
    if (keepUntouchedCodes && rec[SceneField::Note] == storableText(m_rec[SceneField::Note]))
        rec[SceneField::Note] = m_rec[SceneField::Note];
    rec[SceneField::BG] = form.background;
    rec[SceneField::Msg] = form.messageBox;
    for (int k = 0; k < SceneForm::kChoiceCount; ++k) {
        const bool untouched = keepUntouchedCodes && form.choices[k] == m_form.choices[k];
        rec[kChoiceFields[k]] =
            untouched ? m_rec[kChoiceFields[k]] : Vocabulary::storedCode(form.choices[k]);
    }
    return rec;
}
