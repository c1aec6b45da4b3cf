#include "app/helpfile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace app {

namespace {
    const QString kHelpFileName = QStringLiteral("Vidarro.chm");

    DesktopOpenHook& Hook()
    {
        static DesktopOpenHook hook;
        return hook;
    }
} // namespace

QStringList HelpFileCandidates(const QString& workingDir, const QString& programDir)
{
    QStringList candidates {
        QDir(workingDir).absoluteFilePath(kHelpFileName),
        QDir::cleanPath(programDir + QStringLiteral("/../share/vidarro/") + kHelpFileName),
    };
#ifdef VIDARRO_BUILD_HELP_FILE
    // Running straight from the build tree.
    candidates << QStringLiteral(VIDARRO_BUILD_HELP_FILE);
#endif
    return candidates;
}

QString FindHelpFile(const QStringList& candidates)
{
    for (const QString& path : candidates) {
        // An empty file is what a failed help build leaves behind; no viewer can show it.
        const QFileInfo info(path);
        if (info.isFile() && info.size() > 0)
            return info.absoluteFilePath();
    }
    return {};
}

bool OpenHelpFile()
{
    return OpenHelpFile(HelpFileCandidates(QDir::currentPath(), QCoreApplication::applicationDirPath()));
}

bool OpenHelpFile(const QStringList& candidates)
{
    // openUrl() reports success for a file that does not exist, so the file is checked first.
    const QString path = FindHelpFile(candidates);
    if (path.isEmpty())
        return false;
    const QUrl url = QUrl::fromLocalFile(path);
    return Hook() ? Hook()(url) : QDesktopServices::openUrl(url);
}

void SetDesktopOpenHook(DesktopOpenHook hook)
{
    Hook() = std::move(hook);
}

} // namespace app
