// Feeds arbitrary bytes to the settings reader. Settings that were read and can be stored must
// read back unchanged after writing.
#include "settingsfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<GameSettings> settings = parseSettings(bytes);
    if (!settings)
        return 0;
    const EncodedSettings written = encodeSettings(*settings);
    if (!written.error.isEmpty())
        return 0;
    const std::optional<GameSettings> again = parseSettings(written.bytes);
    if (!again || !(*again == *settings))
        std::abort();
    return 0;
}
