#include "picturepicker.h"

#include "editortexts.h"
#include "filepicker.h"
#include "gameset.h"
#include "messages.h"

#include <QDir>
#include <QFileInfo>

using namespace EditorTexts;

std::optional<QString> pickScenePicture(GameSet &form, ScriptEditor &editor,
                                        EditorPlatform &platform, ScriptEditor::PictureKind kind)
{
    const GameFiles &files = editor.files();
    const QString folder = files.pictureFolder(kind);
    const QString chosen = platform.picker.choose(
        &form, QFileInfo(folder).isDir() ? folder : editor.folder().path(), kPictureFilter);
    if (chosen.isEmpty())
        return std::nullopt; // cancelled: the box stays exactly as it was
    const QString name = ScriptEditor::pickedName(chosen);
    const QString folderName = QDir(folder).dirName();
    // The player looks only in BG or Msg: offer to copy a picture from elsewhere, and never
    // replace a different file of the same name unasked.
    switch (files.placement(kind, chosen)) {
    case GameFiles::Placement::InFolder:
    case GameFiles::Placement::SameThere: break;
    case GameFiles::Placement::Elsewhere:
        if (platform.messages.ask(&form, kPictureElsewhere.arg(name, folderName), kPictureTitle))
            form.tell(editor.copyPicture(kind, chosen));
        break;
    case GameFiles::Placement::OtherThere: {
        // The player finds another picture by this name, perhaps shown in other scenes too:
        // the second question names it and says how many scenes would change.
        const QString there = files.pictureThere(kind, chosen);
        if (platform.messages.ask(&form, kPictureElsewhere.arg(name, folderName), kPictureTitle) &&
            platform.messages.ask(&form,
                                  kPictureReplace.arg(name, folderName, QFileInfo(there).fileName())
                                      .arg(editor.scenesUsing(kind, there)),
                                  kPictureTitle))
            form.tell(editor.copyPicture(kind, chosen));
        break;
    }
    }
    return name;
}
