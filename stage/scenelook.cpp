#include "scenelook.h"

#include <cmath>

namespace SceneLook {
namespace {

// These tables are what games made for this player have always shown, and they do not follow
// every label of the editor's choice lists: style 6 is bold, italic and underline together,
// style 7 has no entry (the text keeps the style it had), colour 4 (蓝色) paints cyan and
// colour 6 (黄色) paints black. Existing games look as their authors saw them, so they stay.
constexpr std::array<int, 3> kNoteTops = {480, 2520, 5280};
constexpr std::array<int, 3> kMsgTops = {240, 2280, 5040};
struct Style
{
    bool bold, italic, underline;
};
constexpr std::array<Style, 7> kStyles = {{{false, false, false},
                                           {true, false, false},
                                           {false, true, false},
                                           {false, false, true},
                                           {true, true, false},
                                           {true, false, true},
                                           {true, true, true}}};
constexpr std::array<int, 6> kSizes = {14, 16, 18, 20, 22, 24};
const std::array<NoteColour, 7> kColours = {{{true, 0},
                                             {false, qRgb(255, 255, 255)},
                                             {false, qRgb(255, 0, 0)},
                                             {false, qRgb(0, 255, 0)},
                                             {false, qRgb(0, 255, 255)},
                                             {false, qRgb(128, 0, 128)},
                                             {false, qRgb(0, 0, 0)}}};

int entriesOf(SceneField field)
{
    switch (field) {
    case SceneField::FontWZ: return int(kNoteTops.size());
    case SceneField::MsgWZ: return int(kMsgTops.size());
    case SceneField::FontSet: return int(kStyles.size());
    case SceneField::FontSize: return int(kSizes.size());
    case SceneField::FontColor: return int(kColours.size());
    default: return 0;
    }
}

} // namespace

std::optional<int> exactEntry(SceneField field, const QString &code)
{
    for (int k = 0; k < entriesOf(field); ++k) {
        if (code == QString::number(k))
            return k;
    }
    return std::nullopt;
}

std::optional<double> codeValue(const QString &code)
{
    bool ok = false;
    const double value = code.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> entryFor(SceneField field, double value)
{
    for (int k = 0; k < entriesOf(field); ++k) {
        if (value == k)
            return k;
    }
    return std::nullopt;
}

void apply(StageSurface &stage, SceneField field, int entry)
{
    switch (field) {
    case SceneField::FontWZ: stage.setNoteTop(kNoteTops[entry]); break;
    case SceneField::MsgWZ: stage.setMsgTop(kMsgTops[entry]); break;
    case SceneField::FontSet:
        stage.setNoteStyle(kStyles[entry].bold, kStyles[entry].italic, kStyles[entry].underline);
        break;
    case SceneField::FontSize: stage.setNoteSize(kSizes[entry]); break;
    case SceneField::FontColor: stage.setNoteColour(kColours[entry]); break;
    default: break;
    }
}

NoteColour noteColour(int entry)
{
    return kColours.at(entry);
}

void applyExact(StageSurface &stage, const SceneRec &scene)
{
    for (SceneField field : kCodeFields) {
        if (const auto k = exactEntry(field, scene[field]))
            apply(stage, field, *k);
    }
}

} // namespace SceneLook
