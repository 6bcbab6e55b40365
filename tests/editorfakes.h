#pragma once

#include "filepicker.h"
#include "messages.h"
#include "webpages.h"

#include <QStringList>

/// Hands out prepared dialog answers ("" is a cancel) and records where each dialog started.
class ScriptedPicker : public FilePicker
{
public:
    QString choose(QWidget *, const QString &startFolder, const QString &filter) override
    {
        starts.append(startFolder);
        filters.append(filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers, starts, filters;
};

/// Records the addresses instead of opening them.
class RecordingWeb : public WebPageOpener
{
public:
    bool open(const QString &address) override
    {
        opened.append(address);
        return works;
    }
    QStringList opened;
    bool works = true;
};
