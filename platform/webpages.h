#pragma once

#include <QString>

/// Opens a web address in the user's browser.
class WebPageOpener
{
public:
    virtual ~WebPageOpener() = default;
    /// Returns false when no browser could be asked to open it.
    virtual bool open(const QString &address) = 0;
};

/// Opens through QDesktopServices.
class DesktopWebPageOpener : public WebPageOpener
{
public:
    bool open(const QString &address) override;
};
