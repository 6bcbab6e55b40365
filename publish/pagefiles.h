#pragma once

#include <QByteArray>

/// The page's own files, built into the program from web/.
namespace PageFiles {

/// The page's script, bundled (web/src/*.ts through esbuild).
QByteArray script();
/// The HTML of index.html, with the placeholders {{TITLE}}, {{NOTICE}} and {{LANG}}.
QByteArray page();

} // namespace PageFiles
