#pragma once

#include <QString>

/// The addresses that the four link labels and "help" open.
struct HelpLinks
{
    QString forum, tutorial, contents, publish, help;

    /// Pages of the support forum at @p host (such as "http://bbs.example.org").
    static HelpLinks onForum(const QString &host);
    /// Sections of the user's guide, the local HTML file @p guideFile: the tutorial and the
    /// contents at their own sections, "help" at the questions, the forum at sharing a game and
    /// publishing at publishing it as a web page. All empty when @p guideFile is.
    static HelpLinks inGuide(const QString &guideFile);
    /// As this build was configured: the forum host given at build time (TALE_FORUM_HOST),
    /// else the guide installed with the programs.
    static HelpLinks configured();
};
