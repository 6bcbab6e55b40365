#include "publishing.h"

#include "editorplatform.h"
#include "gameset.h"
#include "windowtexts.h"

#include <cstdio>

// The publisher needs a font subsetter, WOFF2, a zip library, an MP3 encoder and a MIDI
// renderer that this build does not hold yet: publishing says so at once, before anything is
// asked, and leaves the game as it is.
namespace Publishing {

void fromWindow(EditorPlatform &, GameSet &form, const GameFolder &)
{
    form.tell({EditorTexts::kPublishNotBuilt, EditorTexts::kWebPublishCaption});
}

int fromCommandLine(int, char *[], const QString &, const QString &)
{
    std::fputs(("scriptwell: " + EditorTexts::kPublishNotBuilt + u'\n').toUtf8().constData(),
               stderr);
    return 1;
}

} // namespace Publishing

QString EditorPlatform::askPublishFolder(QWidget *, const QString &)
{
    return {};
}
