#include "gamecheck.h"

#include "pictures.h"
#include "scenelook.h"
#include "scenereading.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "vocabulary.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QPalette>

#include <algorithm>

namespace {

constexpr QSize kBackgroundSize(638, 482);
constexpr QSize kBoxSize(600, 120);
// Below this contrast ratio a text is hard to read (WCAG's least for large text).
constexpr double kLeastContrast = 3.0;
// The characters of the cut-off text a warning shows.
constexpr int kCutShown = 16;

QString fieldLabel(SceneField field)
{
    switch (field) {
    case SceneField::FontWZ: return QStringLiteral("字体位置");
    case SceneField::FontSet: return QStringLiteral("字体设置");
    case SceneField::FontSize: return QStringLiteral("字号设置");
    case SceneField::FontColor: return QStringLiteral("颜色设置");
    default: return QStringLiteral("对话框位置");
    }
}

// The colours the colour list's labels name, and the ones the player paints instead of some.
struct NamedColour
{
    const char16_t *name;
    QRgb rgb;
};
constexpr NamedColour kColourNames[] = {
    {u"黑色", qRgb(0, 0, 0)},     {u"白色", qRgb(255, 255, 255)}, {u"红色", qRgb(255, 0, 0)},
    {u"绿色", qRgb(0, 255, 0)},   {u"蓝色", qRgb(0, 0, 255)},     {u"紫色", qRgb(128, 0, 128)},
    {u"黄色", qRgb(255, 255, 0)}, {u"青色", qRgb(0, 255, 255)},
};

QString colourName(QRgb rgb)
{
    for (const NamedColour &named : kColourNames) {
        if (named.rgb == rgb)
            return QString::fromUtf16(named.name);
    }
    return QColor(rgb).name();
}

// The music formats the player plays, told by their first bytes.
bool playable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.startsWith("MThd") || head.startsWith("OggS") || head.startsWith("fLaC") ||
           head.startsWith("ID3") || (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE") ||
           (head.size() >= 2 && uchar(head[0]) == 0xff && (uchar(head[1]) & 0xe0) == 0xe0);
}

// Whether @p family names an installed font, by any of its names (文泉驿微米黑 is
// WenQuanYi Micro Hei): a family the system lacks resolves to the same font as a made-up name.
bool fontInstalled(const QString &family)
{
    if (QFontDatabase::hasFamily(family))
        return true;
    const QString fallback = QFontInfo(QFont(QStringLiteral("\u0001no such font"))).family();
    return QFontInfo(QFont(family)).family() != fallback;
}

} // namespace

QString GameProblem::line() const
{
    return (scene > 0 ? QStringLiteral("第%1个: ").arg(scene) : QStringLiteral("游戏: ")) + text;
}

GameCheck::GameCheck(const GameFolder &folder) : m_folder(folder) {}

const GameCheck::Picture &GameCheck::picture(const QString &gamePath, QSize expected)
{
    if (const auto found = m_pictures.constFind(gamePath); found != m_pictures.constEnd())
        return *found;
    Picture p;
    p.path = m_folder.resolve(gamePath);
    if (p.path.isEmpty()) {
        p.problem = QStringLiteral("找不到图片%1").arg(gamePath);
    } else {
        QImageReader reader(p.path);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > Pictures::kMaxPixels)
            p.problem = QStringLiteral("图片%1太大(%2×%3),无法显示")
                            .arg(gamePath)
                            .arg(size.width())
                            .arg(size.height());
        else if (p.image = Pictures::load(p.path); p.image.isNull())
            p.problem =
                QStringLiteral("图片%1无法读取(已损坏或不是BMP、JPEG、GIF、PNG)").arg(gamePath);
        else if (p.image.size() != expected)
            p.problem = QStringLiteral("图片%1的大小是%2×%3,应为%4×%5")
                            .arg(gamePath)
                            .arg(p.image.width())
                            .arg(p.image.height())
                            .arg(expected.width())
                            .arg(expected.height());
    }
    return *m_pictures.insert(gamePath, p);
}

void GameCheck::checkSettings(QString &fontName)
{
    if (!m_folder.exists(kSettingsFileName)) {
        add(0, QStringLiteral("没有Game.ini:游戏名称、音乐、字体和文字速度都将是默认值"));
        return;
    }
    const SettingsRead read = ReadSettings(m_folder);
    if (!read.settings) {
        add(0, QStringLiteral("Game.ini无法使用:%1").arg(read.error));
        return;
    }
    fontName = read.settings->GameFont;
    if (const QString music = read.settings->BGMName; !music.isEmpty()) {
        const QString gamePath = QStringLiteral("Music\\") + music;
        const QString path = m_folder.resolve(gamePath);
        if (path.isEmpty())
            add(0, QStringLiteral("找不到音乐%1").arg(gamePath));
        else if (!playable(path))
            add(0, QStringLiteral("音乐%1无法播放(不是MIDI、OGG、MP3、WAV或FLAC)").arg(gamePath));
    }
    if (!fontName.isEmpty() && !fontInstalled(fontName))
        add(0, QStringLiteral("没有安装字体“%1”,将使用默认字体").arg(fontName));
}

void GameCheck::checkText(int scene, const QString &text, const QString &fontName)
{
    // What the player's label can draw: the game's font and the fonts Qt falls back on for it.
    if (!m_metrics)
        m_metrics.emplace(fontName.isEmpty() ? QFont() : QFont(fontName));
    QString missing;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (QChar::isSpace(c) || missing.contains(character))
            continue;
        if (!m_metrics->inFontUcs4(c))
            missing += character;
    }
    if (!missing.isEmpty())
        add(scene, QStringLiteral("字体“%1”无法显示这些字:%2")
                       .arg(fontName.isEmpty() ? QFont().family() : fontName, missing));
}

void GameCheck::checkColour(int scene, int entry)
{
    // The desktop's text colour is what 黑色 has always meant.
    const NoteColour painted = SceneLook::noteColour(entry);
    if (painted.systemButtonText)
        return;
    const QString label = Vocabulary::fontColours().at(entry);
    if (const QString shown = colourName(painted.rgb); shown != label)
        warn(scene, QStringLiteral("文字颜色“%1”在游戏中显示为%2").arg(label, shown));
}

void GameCheck::checkReading(SceneReading &reading, int scene, const SceneRec &rec,
                             const Picture &background, const Picture &box)
{
    if (const SceneReading::Fit fit = reading.fit(rec); !fit.fits()) {
        const QString lines = fit.lines - fit.shown == 1
                                  ? QString::number(fit.lines)
                                  : QStringLiteral("%1至%2").arg(fit.shown + 1).arg(fit.lines);
        QString cut = fit.cut.simplified();
        if (cut.size() > kCutShown)
            cut = cut.left(kCutShown) + u'…';
        warn(scene, QStringLiteral("文字放不下,第%1行不会显示:“%2”").arg(lines, cut));
    }
    // A picture that cannot be shown is a problem of its own; its stand-in says nothing.
    if (background.image.isNull() || box.image.isNull())
        return;
    const double ratio =
        reading.contrast(rec, background.image, box.image, background.path + u'|' + box.path);
    if (ratio < kLeastContrast)
        warn(scene, QStringLiteral("文字颜色与背后画面的对比度只有%1:1(至少应为3:1),不易看清")
                        .arg(QString::number(ratio, 'f', 1)));
}

void GameCheck::checkCodes(int scene, const SceneRec &rec)
{
    for (SceneField field : SceneLook::kCodeFields) {
        const QString code = rec[field];
        bool ok = false;
        const int value = code.toInt(&ok);
        if (!ok || value < 0 || value >= Vocabulary::choicesFor(field).size())
            add(scene, QStringLiteral("%1的代码“%2”不在选项中,编辑器无法显示它")
                           .arg(fieldLabel(field), code));
        else if (field == SceneField::FontColor)
            checkColour(scene, value);
    }
}

GameCheck::Verdict GameCheck::run()
{
    m_problems.clear();
    if (!m_folder.exists(kScriptFileName) && !m_folder.exists(kSettingsFileName))
        return Verdict::NoGame;

    // Names only this program can read: the player finds them, every other program not.
    for (const GameFolder::WindowsName &file : m_folder.windowsNames())
        add(0, QStringLiteral("%1的文件名是Windows中文编码(GBK)的字节,其他程序看不到这个名字;"
                              "在检查窗口中点“改正文件名”可以给它改名")
                   .arg(file.gamePath));

    QString fontName;
    checkSettings(fontName);
    const ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        add(0, script.message);
        return Verdict::Problems;
    }
    if (script.status == ScriptStatus::Missing)
        add(0, QStringLiteral("没有Game.txt:游戏还没有场景"));
    else if (script.scenes.count() == 0)
        add(0, QStringLiteral("Game.txt中还没有场景"));

    const SceneLists &scenes = script.scenes;
    SceneReading reading(QFont(), fontName,
                         QGuiApplication::palette().color(QPalette::ButtonText).rgb());
    for (int i = 0; i < scenes.count(); ++i) {
        const int number = i + 1;
        Picture shown[2]; // copies: a later picture may move the cached ones
        for (const auto &[field, folder, size] :
             {std::tuple{SceneField::BG, QStringLiteral("BG\\"), kBackgroundSize},
              std::tuple{SceneField::Msg, QStringLiteral("Msg\\"), kBoxSize}}) {
            Picture &p = shown[field == SceneField::Msg];
            p = picture(folder + scenes.at(field, i), size);
            if (!p.problem.isEmpty())
                add(number, p.problem);
        }
        checkCodes(number, scenes.scene(i));
        checkText(number, scenes.at(SceneField::Note, i), fontName);
        checkReading(reading, number, scenes.scene(i), shown[0], shown[1]);
    }

    if (const Picture &closing = picture(QStringLiteral("BG/over.jpg"), kBackgroundSize);
        closing.path.isEmpty())
        add(0, QStringLiteral("没有结束画面BG/over.jpg:最后一幕之后将显示黑色画面"));
    else if (!closing.problem.isEmpty())
        add(0, closing.problem);
    if (m_problems.isEmpty())
        return Verdict::Fine;
    const bool onlyWarnings = std::all_of(m_problems.cbegin(), m_problems.cend(),
                                          [](const GameProblem &p) { return p.warning; });
    return onlyWarnings ? Verdict::Warnings : Verdict::Problems;
}
