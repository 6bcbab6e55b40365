#include "pagescenes.h"

#include "gamelogic.h"
#include "lookrecorder.h"
#include "musicdevice.h"
#include "notelayout.h"
#include "pictures.h"
#include "playtexts.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "stage.h"

#include <QGlyphRun>
#include <QHash>
#include <QLabel>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>

namespace {

bool sameFace(const QRawFont &a, const QRawFont &b)
{
    return a.familyName() == b.familyName() && a.styleName() == b.styleName();
}

// The stretches of @p line (of the layout of @p text) that each face draws; a character drawn
// without a glyph of its own (a line feed) goes with the stretch before it.
QList<PageRun> runsOf(const QTextLine &line, const QString &text)
{
    const QList<QGlyphRun> glyphs = line.glyphRuns();
    if (glyphs.isEmpty())
        return {};
    if (std::all_of(glyphs.begin(), glyphs.end(), [&](const QGlyphRun &run) {
            return sameFace(run.rawFont(), glyphs.first().rawFont());
        }))
        return {{0, glyphs.first().rawFont(), line.x()}};
    QList<PageRun> runs;
    const int start = line.textStart();
    for (int i = start; i < start + line.textLength(); ++i) {
        if (text.at(i).isLowSurrogate())
            continue;
        const QList<QGlyphRun> here = line.glyphRuns(i, text.at(i).isHighSurrogate() ? 2 : 1);
        if (here.isEmpty())
            continue;
        if (runs.isEmpty() || !sameFace(runs.last().font, here.first().rawFont()))
            runs.append({i - start, here.first().rawFont(), line.cursorToX(i)});
    }
    if (!runs.isEmpty())
        runs.first().start = 0;
    return runs;
}

int px(int twips)
{
    return twips / Stage::kTwipsPerPixel;
}

class SilentMusic : public MusicDevice
{
public:
    void sendCommand(const QString &) override {}
};

// A window that shows nothing: it keeps what the player's logic asks for, so each scene can be
// taken down as it would show. Pictures are stood for by a one-pixel image carrying their path.
class RecordingSurface : public GameSurface, public LookRecorder
{
public:
    RecordingSurface(const QHash<QString, bool> &pictures, const PlayerLook &look)
        : LookRecorder(look.labelFont, look.buttonText), m_pictures(pictures)
    {
    }

    StageSurface &stage() override { return *this; }
    QImage loadPicture(const QString &path) override
    {
        if (path.isEmpty() || !m_pictures.value(path))
            return {};
        QImage stand(1, 1, QImage::Format_RGB32);
        stand.setText(QStringLiteral("path"), path);
        return stand;
    }
    void setTitle(const QString &title) override { m_title = title; }
    void setMsgEnabled(bool enabled) override { m_boxEnabled = enabled; }
    void setMsgVisible(bool) override {}
    void setNoteVisible(bool) override {}
    void setTimerInterval(int) override {}
    void setWaitTimer(int) override {}
    void setTimerEnabled(bool enabled) override { m_timer = enabled; }
    void showMessage(const QString &text, const QString &) override { m_message = text; }
    void describe(const QString &description) override { m_description = description; }

    void setBackground(const QImage &picture) override
    {
        m_background = picture.text(QStringLiteral("path"));
    }
    void setMsgPicture(const QImage &picture) override
    {
        m_box = picture.text(QStringLiteral("path"));
    }

    PageScene scene(const QString &text) const
    {
        PageScene s;
        s.text = text;
        s.background = m_background;
        s.box = m_box;
        s.boxTop = px(boxTop());
        s.textTop = px(textTop());
        s.lines = PageScenes::wrap(text, font(), px(Stage::kTextWidth));
        s.pixelSize = QRawFont::fromFont(font()).pixelSize();
        s.bold = font().bold();
        s.italic = font().italic();
        s.underline = font().underline();
        s.colour = colour();
        s.reveal = m_timer;
        s.waitsReveal = m_timer && !m_boxEnabled;
        return s;
    }

    QString m_title;
    QString m_message;
    QString m_description;
    QString m_background;
    QString m_box;
    bool m_timer = false;

private:
    const QHash<QString, bool> &m_pictures;
    bool m_boxEnabled = true;
};

// Every picture a scene of @p scenes names must be on the page: the game paths of those that
// are missing or do not decode go into @p missing. Gives whether each picture looked at (by
// its absolute path) can be shown; the closing picture is among them, though it may be missing:
// the player ends on a plain background then.
QHash<QString, bool> lookAtPictures(const GameFolder &folder, const SceneLists &scenes,
                                    QStringList &missing)
{
    QHash<QString, bool> pictures;
    const auto look = [&](const QString &gamePath) {
        const QString path = folder.resolve(gamePath);
        if (path.isEmpty())
            return false;
        auto found = pictures.find(path);
        if (found == pictures.end())
            found = pictures.insert(path, !Pictures::load(path).isNull());
        return *found;
    };
    for (int i = 0; i < scenes.count(); ++i) {
        for (const QString &gamePath :
             {PlayerTexts::kBackgroundFolder + scenes.at(SceneField::BG, i),
              PlayerTexts::kMessageBoxFolder + scenes.at(SceneField::Msg, i)}) {
            if (!look(gamePath) && !missing.contains(gamePath))
                missing.append(gamePath);
        }
    }
    if (missing.isEmpty())
        look(PlayerTexts::kClosingPicture);
    return pictures;
}

} // namespace

PlayerLook PlayerLook::ofDesktop()
{
    return {QLabel().font(), Stage::buttonTextColour().rgb(), Stage::windowColour().rgb()};
}

PageScenes::PageScenes(const GameFolder &folder, const PlayerLook &look)
    : m_folder(folder), m_look(look)
{
}

QList<PageLine> PageScenes::wrap(const QString &text, const QFont &font, int width)
{
    QList<PageLine> lines;
    NoteLayout::layOut(text, font, width, [&](const QTextLine &line, const QString &laid) {
        QString part = text.mid(line.textStart(), line.textLength());
        if (part.endsWith(u'\n'))
            part.chop(1);
        lines.append({part, line.x(), line.y() + line.ascent(), runsOf(line, laid)});
    });
    return lines;
}

PageScenes::Result PageScenes::run()
{
    const bool hasSettings = m_folder.exists(kSettingsFileName);
    ScriptLoad load = LoadScript(m_folder);
    if (!load.usable()) {
        m_message = load.message;
        return Result::Damaged;
    }
    if (!GameLogic::nothingToPlay(load, hasSettings).isEmpty())
        return Result::NoGame;
    const SceneLists &scenes = load.scenes;
    const QHash<QString, bool> pictures = lookAtPictures(m_folder, scenes, m_missing);
    if (!m_missing.isEmpty())
        return Result::MissingPictures;

    RecordingSurface surface(pictures, m_look);
    SilentMusic music;
    GameLogic logic(m_folder, surface, music);
    if (logic.start() != GameLogic::StartResult::Playing) {
        m_message = surface.m_message;
        return Result::Damaged;
    }
    m_game.title = surface.m_title;
    if (hasSettings)
        readSettings();
    m_game.interval = logic.interval();
    m_game.windowColour = m_look.window;
    m_game.scenes.append(surface.scene(scenes.at(SceneField::Note, 0)));
    m_game.nameLines = wrap(m_game.name, surface.font(), 1 << 20);
    for (;;) {
        // The next click comes once the text is whole (or could, where skipping is allowed).
        while (surface.m_timer)
            logic.RevealTick();
        logic.AdvanceScene();
        if (logic.ended())
            break;
        m_game.scenes.append(surface.scene(scenes.at(SceneField::Note, logic.SceneIndex())));
    }
    m_game.closing = surface.m_background;
    m_game.endingText = surface.m_description;
    return Result::Done;
}

void PageScenes::readSettings()
{
    if (const auto settings = ReadSettings(m_folder).settings) {
        m_game.name = settings->GameName;
        m_game.clickCutsReveal = settings->SkipCode == u"0";
        if (!settings->BGMName.isEmpty())
            m_game.music = m_folder.resolve(PlayerTexts::kMusicFolder + settings->BGMName);
    }
}
