#pragma once

#include "pageoutput.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QString>

#include <optional>

/// The page's own files around the game's data: game.js, the manifest that lets a phone keep the
/// page on its home screen, index.html made from its template, and the service worker.
namespace PageSite {

/// game.js: the game's data @p head as window.TALE_GAME, with the first chunk of scenes
/// @p firstScenes (a script's array) as its "scenes".
QByteArray gameScript(const QJsonObject &head, const QByteArray &firstScenes);

/// manifest.webmanifest of a page named @p name, with the icons icon-192.png and icon-512.png.
QByteArray manifest(const QString &name);

/// index.html: the page's template with each placeholder ("{{TITLE}}", …) replaced by its
/// value in @p values, keyed by the placeholder's name ("TITLE"), as it stands.
QByteArray page(const QHash<QByteArray, QByteArray> &values);

/// sw.js for the files of @p out: it keeps them for reading offline, in a cache named after
/// @p id and what the files hold, so a page published again replaces what a reader's browser
/// kept. None when a file cannot be read.
std::optional<QByteArray> serviceWorker(const QString &id, const PageOutput &out);

} // namespace PageSite
