#include "publishing.h"

#include "editorplatform.h"
#include "gameset.h"
#include "messages.h"
#include "pagefolder.h"
#include "publishdialog.h"
#include "publisher.h"
#include "webpages.h"
#include "windowtexts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

using namespace EditorTexts;

namespace Publishing {

void fromWindow(EditorPlatform &platform, GameSet &form, const GameFolder &folder)
{
    // Beside the game, named after it: the page published there before, or a free name.
    const QDir game(folder.path());
    const QString out = platform.choosePublishFolder(
        &form, PageFolder::suggestion(QDir::cleanPath(game.absoluteFilePath(
                   QStringLiteral("../") + game.dirName() + QStringLiteral("-网页")))));
    if (out.isEmpty())
        return;
    QString why;
    switch (PageFolder::placeOf(out, &why)) {
    case PageFolder::Place::Free: break;
    case PageFolder::Place::EarlierPage:
        if (!platform.messages.ask(
                &form,
                kReplacePageQuestion.arg(QDir::toNativeSeparators(out),
                                         QFileInfo(out).fileName() + QStringLiteral(".zip")),
                kWebPublishCaption))
            return;
        break;
    case PageFolder::Place::Taken: form.tell({why, kWebPublishCaption}); return;
    }
    Publisher publisher(folder, out);
    const Publisher::Status status = PublishProgress(publisher, &form).run();
    if (status == Publisher::Status::Cancelled)
        return; // as the author asked: nothing was written
    if (status != Publisher::Status::Published) {
        form.tell({publisher.message(), kWebPublishCaption});
        return;
    }
    qint64 bytes = 0;
    for (const Publisher::File &file : publisher.files())
        bytes += file.bytes;
    QString done = kPublishDone.arg(QDir::toNativeSeparators(QDir(out).absolutePath()))
                       .arg((bytes + 1023) / 1024)
                       .arg(QDir::toNativeSeparators(publisher.zipPath()));
    for (const QString &warning : publisher.warnings())
        done += u'\n' + warning;
    form.tell({done, kWebPublishCaption});
    platform.web.open(QUrl::fromLocalFile(QDir(out).absolutePath()).toString());
}

// Publishes the game in @p folder as a web page in @p out without a window; returns the exit
// status and prints what was written, with each file's size.
int fromCommandLine(int argc, char *argv[], const QString &folder, const QString &out)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Publisher publisher{GameFolder(folder), out};
    const Publisher::Status status = publisher.run();
    if (status != Publisher::Status::Published) {
        std::fprintf(stderr, "scriptwell: %s\n", publisher.message().toLocal8Bit().constData());
        return Publisher::exitStatus(status);
    }
    for (const QString &warning : publisher.warnings())
        std::fprintf(stderr, "scriptwell: %s\n", warning.toLocal8Bit().constData());
    qint64 total = 0;
    for (const Publisher::File &file : publisher.files()) {
        std::printf("%10lld  %s\n", static_cast<long long>(file.bytes),
                    file.name.toUtf8().constData());
        total += file.bytes;
    }
    std::printf("%10lld  %s\n", static_cast<long long>(total),
                QDir::toNativeSeparators(out).toUtf8().constData());
    return 0;
}

} // namespace Publishing
