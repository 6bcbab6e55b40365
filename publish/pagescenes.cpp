#include "pagescenes.h"

#include "gamelogic.h"
#include "musicdevice.h"
#include "notelayout.h"
#include "pictures.h"
#include "playertexts.h"
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
class RecordingSurface : public GameSurface, public StageSurface
{
public:
    RecordingSurface(const QHash<QString, bool> &pictures, const PlayerLook &look)
        : m_pictures(pictures), m_look(look), m_font(look.labelFont)
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
    void setMsgTop(int twips) override { m_boxTop = px(twips); }
    void setNoteCaption(const QString &) override {}
    void setNoteTop(int twips) override { m_textTop = px(twips); }
    void setNoteFontName(const QString &family) override { m_font.setFamily(family); }
    void setNoteStyle(bool bold, bool italic, bool underline) override
    {
        m_font.setBold(bold);
        m_font.setItalic(italic);
        m_font.setUnderline(underline);
    }
    void setNoteSize(int points) override { m_font.setPointSize(points); }
    void setNoteColour(const NoteColour &colour) override
    {
        m_colour = colour.systemButtonText ? m_look.buttonText : colour.rgb;
    }

    PageScene scene(const QString &text) const
    {
        PageScene s;
        s.text = text;
        s.background = m_background;
        s.box = m_box;
        s.boxTop = m_boxTop;
        s.textTop = m_textTop;
        s.lines = PageScenes::wrap(text, m_font, px(Stage::kTextWidth));
        s.pixelSize = QRawFont::fromFont(m_font).pixelSize();
        s.bold = m_font.bold();
        s.italic = m_font.italic();
        s.underline = m_font.underline();
        s.colour = m_colour;
        s.reveal = m_timer;
        s.waitsReveal = m_timer && !m_boxEnabled;
        return s;
    }

    const QFont &font() const { return m_font; }

    QString m_title;
    QString m_message;
    QString m_description;
    QString m_background;
    QString m_box;
    bool m_timer = false;

private:
    const QHash<QString, bool> &m_pictures;
    const PlayerLook &m_look;
    bool m_boxEnabled = true;
    int m_boxTop = px(5040);
    int m_textTop = px(5280);
    QFont m_font;
    QRgb m_colour = qRgb(0, 0, 0);
};

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

    // Every picture a scene names must be on the page; the closing picture may be missing, as
    // the player ends on a plain background then.
    QHash<QString, bool> pictures;
    const auto look = [&](const QString &gamePath) {
        const QString path = m_folder.resolve(gamePath);
        if (path.isEmpty())
            return false;
        auto found = pictures.find(path);
        if (found == pictures.end())
            found = pictures.insert(path, !Pictures::load(path).isNull());
        return *found;
    };
    const SceneLists &scenes = load.scenes;
    for (int i = 0; i < scenes.count(); ++i) {
        for (const QString &gamePath :
             {PlayerTexts::kBackgroundFolder + scenes.at(SceneField::BG, i),
              PlayerTexts::kMessageBoxFolder + scenes.at(SceneField::Msg, i)}) {
            if (!look(gamePath) && !m_missing.contains(gamePath))
                m_missing.append(gamePath);
        }
    }
    if (!m_missing.isEmpty())
        return Result::MissingPictures;
    look(PlayerTexts::kClosingPicture);

    RecordingSurface surface(pictures, m_look);
    SilentMusic music;
    GameLogic logic(m_folder, surface, music);
    if (logic.start() != GameLogic::StartResult::Playing) {
        m_message = surface.m_message;
        return Result::Damaged;
    }
    m_game.title = surface.m_title;
    if (hasSettings) {
        if (const auto settings = ReadSettings(m_folder).settings) {
            m_game.name = settings->GameName;
            m_game.clickCutsReveal = settings->SkipCode == u"0";
            if (!settings->BGMName.isEmpty())
                m_game.music = m_folder.resolve(PlayerTexts::kMusicFolder + settings->BGMName);
        }
    }
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
