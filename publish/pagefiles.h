#pragma once

#include <QByteArray>

/// The page's own files, built into the program from web/.
namespace PageFiles {

/// The page's script, bundled (web/src/*.ts through esbuild).
QByteArray script();
/// The HTML of index.html, with the placeholders {{TITLE}}, {{NAME}}, {{DESCRIPTION}},
/// {{IMAGE}}, {{DATA_BYTES}} and {{ID}} (the game's id).
QByteArray page();
/// The service worker (web/src/sw.ts), bundled; it expects self.TALE_CACHE and
/// self.TALE_FILES to be set before it.
QByteArray serviceWorker();

} // namespace PageFiles
