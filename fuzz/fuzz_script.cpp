// Feeds arbitrary bytes to the scene-file reader. A file that loads must be written back by
// the writer byte for byte (plus the CR LF a last line may lack).
#include "scriptfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ScriptLoad load = parseScript(bytes);
    if (load.status != ScriptStatus::Loaded)
        return 0;
    const EncodedScenes back = encodeScenes(load.scenes);
    QByteArray expected = bytes;
    if (!expected.isEmpty() && !expected.endsWith("\r\n"))
        expected += "\r\n";
    if (!back.error.isEmpty() || back.bytes != expected)
        std::abort();
    return 0;
}
