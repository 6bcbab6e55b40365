#include "gamelogic.h"

#include "musicdevice.h"
#include "playtexts.h"
#include "scriptfile.h"
#include "storednumber.h"

GameLogic::GameLogic(const GameFolder &folder, GameSurface &surface, MusicDevice &music)
    : m_folder(folder), m_surface(surface), m_music(music)
{
}

GameLogic::StartResult GameLogic::start(int first, std::optional<ScriptLoad> script)
{
    // 1. Settings and title. A Game.ini that cannot be read counts as none.
    std::optional<GameSettings> settings;
    if (m_folder.exists(kSettingsFileName))
        settings = ReadSettings(m_folder).settings;
    if (settings) {
        m_surface.setTitle(settings->GameName);
        m_musicPath = PlayerTexts::kMusicFolder + settings->BGMName;
        m_skipCode = settings->SkipCode;
    } else {
        m_surface.setTitle(PlayerTexts::kDefaultTitle);
    }

    // 2. Music.
    startMusic();

    // 3. Text speed. The timer cannot tick at 0 or less: such texts appear at once instead.
    if (settings && !settings->WordInterval.isEmpty()) {
        const int ms = StoredNumber::intervalMs(settings->WordInterval);
        m_gameInterval = ms <= 0 ? 0 : qMin(ms, kMaxInterval);
        applySpeed();
    } else if (m_readerSettings.textSpeed != 100) {
        applySpeed();
    }

    // 4. Font.
    if (settings && !settings->GameFont.isEmpty())
        m_surface.stage().setNoteFontName(settings->GameFont);

    // 5. Scenes.
    ScriptLoad load = script ? std::move(*script) : LoadScript(m_folder);
    if (!load.usable()) {
        m_surface.showMessage(load.message, kScriptWarningTitle);
        return StartResult::NoScenes;
    }
    if (const QString nothing = nothingToPlay(load, settings.has_value()); !nothing.isEmpty()) {
        m_surface.showMessage(nothing, PlayerTexts::kMissingPictureTitle);
        return StartResult::NoGame;
    }
    m_scenes = std::move(load.scenes);

    // 6. The first scene, whole.
    m_sceneIndex = first;
    if (!PresentScene(first, Form::StartUp))
        return StartResult::EndProgram;
    return StartResult::Playing;
}

QString GameLogic::nothingToPlay(const ScriptLoad &script, bool hasSettings)
{
    if (!script.usable() || script.scenes.count() > 0)
        return {};
    return script.status == ScriptStatus::Missing && !hasSettings ? PlayerTexts::kNoGame
                                                                  : PlayerTexts::kNoScenes;
}

bool GameLogic::PresentScene(int i, Form form)
{
    if (form == Form::StartUp)
        return presentFirst(i);
    const QString bgPath = PlayerTexts::kBackgroundFolder + m_scenes.at(SceneField::BG, i);
    const QString msgPath = PlayerTexts::kMessageBoxFolder + m_scenes.at(SceneField::Msg, i);
    const QString note = m_scenes.at(SceneField::Note, i);
    m_surface.stage().setNoteCaption(QString());
    const QImage background = m_surface.loadPicture(m_folder.resolve(bgPath));
    if (background.isNull())
        return false;
    m_surface.stage().setBackground(background);
    // A message-box picture that does not load leaves the box as it was.
    if (const QImage box = m_surface.loadPicture(m_folder.resolve(msgPath)); !box.isNull())
        m_surface.stage().setMsgPicture(box);

    bool revealing = false;
    if (skipShowsAtOnce(i) || note == m_scenes.at(SceneField::Note, i - 1) || m_interval == 0) {
        // Shown whole; a reveal still running from a click that cut it short stops here, or it
        // would type the old count's prefix over this text.
        stopReveal();
        m_surface.stage().setNoteCaption(note);
        m_surface.setMsgEnabled(true);
    } else {
        revealing = true;
        m_revealCount = 0;
        m_revealing = true;
        m_surface.setTimerEnabled(true);
        if (m_skipCode != u"0")
            m_surface.setMsgEnabled(false);
    }

    for (SceneField field : SceneLook::kCodeFields) {
        const QString code = m_scenes.at(field, i);
        const bool position = field == SceneField::FontWZ || field == SceneField::MsgWZ;
        if (position && code == m_scenes.at(field, i - 1))
            continue; // positions are set only when their code changes
        const auto value = SceneLook::codeValue(code);
        if (!value)
            return false;
        if (auto k = SceneLook::entryFor(field, *value))
            SceneLook::apply(m_surface.stage(), field, *k);
    }
    m_surface.describe(note);
    record(i);
    if (!revealing)
        textComplete();
    return true;
}

bool GameLogic::presentFirst(int i)
{
    const QString bgPath = PlayerTexts::kBackgroundFolder + m_scenes.at(SceneField::BG, i);
    const QString msgPath = PlayerTexts::kMessageBoxFolder + m_scenes.at(SceneField::Msg, i);
    const QString note = m_scenes.at(SceneField::Note, i);
    // Both pictures are decoded before either is shown, so that the first frame is the
    // finished scene. A picture that exists but cannot be decoded is as good as missing here.
    // (A thread for the background won nothing measurable: the two decodes are short, and a
    // second thread only competes with the start's others for the processors.)
    const QImage box = m_surface.loadPicture(m_folder.resolve(msgPath));
    const QImage background =
        box.isNull() ? QImage() : m_surface.loadPicture(m_folder.resolve(bgPath));
    for (const QString &path : {msgPath, bgPath}) {
        const QImage &picture = path == msgPath ? box : background;
        if (picture.isNull()) {
            m_surface.showMessage(PlayerTexts::kMissingPicture + path,
                                  PlayerTexts::kMissingPictureTitle);
            return false;
        }
        if (path == msgPath)
            m_surface.stage().setMsgPicture(picture);
        else
            m_surface.stage().setBackground(picture);
    }
    m_surface.stage().setNoteCaption(note);
    SceneLook::applyExact(m_surface.stage(), m_scenes.scene(i));
    m_surface.describe(note);
    record(i);
    textComplete();
    return true;
}

bool GameLogic::skipShowsAtOnce(int i)
{
    // Skip shows a text at once when the scene was seen before, or when the reader skips
    // everything and the game lets a click cut its typing short; it stops at the first scene
    // not yet seen otherwise.
    if (m_mode != Mode::Skip)
        return false;
    if (m_reader && m_reader->seen(i))
        return true;
    if (!m_readerSettings.skipAll) {
        setMode(Mode::Normal);
        return false;
    }
    return m_skipCode == u"0";
}

void GameLogic::RevealTick()
{
    if (!m_revealing)
        return;
    ++m_revealCount;
    const QString text = m_scenes.at(SceneField::Note, m_sceneIndex);
    if (text.size() < m_revealCount) {
        m_surface.stage().setNoteCaption(text);
        m_surface.setMsgEnabled(true);
        stopReveal();
        textComplete();
    } else {
        m_surface.stage().setNoteCaption(text.left(m_revealCount));
    }
}

void GameLogic::AdvanceScene()
{
    // The reader's click takes over from auto; skip runs on while Ctrl is held or S set it.
    if (m_mode == Mode::Auto)
        setMode(Mode::Normal);
    nextScene();
}

void GameLogic::nextScene()
{
    if (m_ended)
        return;
    ++m_sceneIndex;
    if (!PresentScene(m_sceneIndex, Form::Advance))
        ShowClosing();
}

void GameLogic::ShowClosing()
{
    // No text may type on over the closing picture.
    stopReveal();
    // A missing or broken closing picture still ends the game, on a plain background.
    m_surface.stage().setBackground(
        m_surface.loadPicture(m_folder.resolve(PlayerTexts::kClosingPicture)));
    m_surface.stage().setNoteCaption(QString());
    m_surface.setMsgVisible(false);
    m_surface.describe(PlayerTexts::kEndingDescription);
    m_music.sendCommand(QStringLiteral("close ") + m_musicPath);
    m_ended = true;
    setMode(Mode::Normal);
}

void GameLogic::stopReveal()
{
    m_revealCount = 0;
    if (m_revealing) {
        m_revealing = false;
        m_surface.setTimerEnabled(false);
    }
}

void GameLogic::startMusic()
{
    if (m_musicPath.isEmpty())
        return;
    m_music.sendCommand(QStringLiteral("Open \"") + m_musicPath + QStringLiteral(" \" alias File"));
    m_music.sendCommand(QStringLiteral("play ") + m_musicPath);
}

void GameLogic::setReaderSettings(const ReaderSettings &settings)
{
    const bool speedChanged = settings.textSpeed != m_readerSettings.textSpeed;
    m_readerSettings = settings;
    if (speedChanged)
        applySpeed();
    applyVolume();
}

void GameLogic::applySpeed()
{
    // A game that shows its texts at once keeps doing so whatever the reader's speed.
    if (m_gameInterval <= 0) {
        m_interval = 0;
        return;
    }
    const int speed = qMax(1, m_readerSettings.textSpeed);
    m_interval = qBound(1, int(qint64(m_gameInterval) * 100 / speed), kMaxInterval);
    m_surface.setTimerInterval(m_interval);
}

void GameLogic::applyVolume()
{
    const int volume = m_readerSettings.mute ? 0 : qBound(0, m_readerSettings.volume, 100);
    m_music.sendCommand(QStringLiteral("volume %1").arg(volume));
}

void GameLogic::setMode(Mode mode)
{
    if (m_ended)
        mode = Mode::Normal;
    if (mode == m_mode)
        return;
    m_mode = mode;
    m_surface.setWaitTimer(-1);
    m_surface.modeChanged();
    if (mode != Mode::Normal && !m_revealing)
        textComplete();
}

void GameLogic::textComplete()
{
    if (m_ended || m_scenes.count() == 0)
        return;
    if (m_mode == Mode::Auto) {
        const int length = m_scenes.at(SceneField::Note, m_sceneIndex).size();
        const int speed = qMax(1, m_readerSettings.autoSpeed);
        m_surface.setWaitTimer(int(qint64(autoPause(length)) * 100 / speed));
    } else if (m_mode == Mode::Skip) {
        m_surface.setWaitTimer(kSkipPause);
    }
}

void GameLogic::WaitElapsed()
{
    if (m_mode == Mode::Normal || m_revealing || m_ended)
        return;
    nextScene();
}

void GameLogic::setBoxHidden(bool hidden)
{
    if (hidden == m_boxHidden || (hidden && m_ended))
        return;
    m_boxHidden = hidden;
    m_surface.setMsgVisible(!hidden);
    m_surface.setNoteVisible(!hidden);
}

void GameLogic::record(int scene)
{
    if (m_backlog.size() >= kBacklogMax)
        m_backlog.removeFirst();
    m_backlog.append({scene, m_scenes.at(SceneField::Note, scene)});
    if (m_reader && m_reader->sceneShown(scene))
        m_surface.placeChanged();
}

bool GameLogic::goToScene(int i)
{
    if (i < 0 || i >= m_scenes.count())
        return false;
    setMode(Mode::Normal);
    setBoxHidden(false);
    stopReveal();
    if (m_ended) {
        m_ended = false;
        startMusic();
    }
    m_surface.setMsgVisible(true);
    m_surface.setMsgEnabled(true);
    m_sceneIndex = i;
    if (!PresentScene(i, Form::StartUp)) {
        ShowClosing();
        return false;
    }
    return true;
}

std::optional<SavedPlace> GameLogic::currentPlace() const
{
    if (m_ended || m_scenes.count() == 0)
        return std::nullopt;
    return SavedPlace{m_sceneIndex, int(m_scenes.count()),
                      m_scenes.at(SceneField::Note, m_sceneIndex).left(kSavedTextLength),
                      QDateTime::currentDateTime(), QByteArray()};
}

bool GameLogic::loadPlace(const SavedPlace &place)
{
    const int count = int(m_scenes.count());
    if (count == 0)
        return false;
    const int scene = qBound(0, place.scene, count - 1);
    if (scene != place.scene)
        m_surface.showMessage(PlayerTexts::kSavedSceneGone.arg(place.scene + 1).arg(count),
                              PlayerTexts::kMissingPictureTitle);
    return goToScene(scene);
}

int GameLogic::continueScene(const ReaderData &reader, int sceneCount)
{
    return qBound(0, reader.lastScene(), qMax(0, sceneCount - 1));
}
