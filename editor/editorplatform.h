#pragma once

#include "helplinks.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class FilePicker;
class MessageBoxes;
class WebPageOpener;
class QWidget;

/// The platform services the editor's windows use; tests pass recorders.
struct EditorPlatform
{
    MessageBoxes &messages;
    FilePicker &picker;
    WebPageOpener &web;
    HelpLinks links = HelpLinks::configured();
    /// Starts a program in a process of its own; false when it could not be started.
    std::function<bool(const QString &program, const QStringList &arguments)> launch =
        [](const QString &program, const QStringList &arguments) {
            return QProcess::startDetached(program, arguments);
        };
    /// Asks where to publish the game as a web page: a new folder's path, empty when cancelled.
    std::function<QString(QWidget *parent, const QString &suggested)> choosePublishFolder =
        askPublishFolder;
    /// PublishDialog::ask().
    static QString askPublishFolder(QWidget *parent, const QString &suggested);
};
