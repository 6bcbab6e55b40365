#pragma once

#include <QString>

/// Background music, driven by command texts: `Open "<path> " alias File`, `play <path>`,
/// `close <path>` and `volume <0–100>` (the reader's volume, for this tune and the next),
/// where <path> is a game path such as `Music\1.mid`. Commands never block
/// the caller and never report failure: a missing or unplayable file plays nothing.
class MusicDevice
{
public:
    virtual ~MusicDevice() = default;
    virtual void sendCommand(const QString &command) = 0;
};
