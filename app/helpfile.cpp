#include "app/helpfile.h"

#include "app/msgbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace app {

namespace {
    const QString kHelpFileName = QStringLiteral("Vidarro.chm");

    HelpCommandRunner& Runner()
    {
        static HelpCommandRunner runner;
        return runner;
    }

    // The desktop tools may wait for the viewer they start, so nothing here waits for them.
    void RunCommand(const QStringList& command, const HelpCommandDone& done)
    {
        if (Runner()) {
            const HelpCommandRunner runner = Runner(); // it may replace itself while it runs
            runner(command, done);
            return;
        }
        auto* process = new QProcess(QCoreApplication::instance());
        process->setProgram(command.first());
        process->setArguments(command.mid(1));
        process->setStandardInputFile(QProcess::nullDevice());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process, &QProcess::finished, process, [process, done](int code, QProcess::ExitStatus status) {
            done(status == QProcess::NormalExit ? code : -1, process->readAllStandardOutput());
            process->deleteLater();
        });
        QObject::connect(process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return; // a crash is reported by finished()
            done(-1, {});
            process->deleteLater();
        });
        process->start();
    }

    void ReportNoViewer(QWidget* parent, const QString& chm, const QString& page)
    {
        if (chm.isEmpty() && page.isEmpty()) {
            MessageBox(parent,
                QStringLiteral("Файл справки «%1» не найден: программа установлена не полностью. "
                               "Установите её заново.")
                    .arg(kHelpFileName));
            return;
        }
        QStringList files;
        for (const QString& f : { chm, page })
            if (!f.isEmpty())
                files << QStringLiteral("«%1»").arg(QDir::toNativeSeparators(f));
        MessageBox(parent,
            QStringLiteral("Не удалось открыть справку %1: на компьютере нет программы для её просмотра.\n"
                           "Установите программу для файлов CHM (например, xchm) или браузер.")
                .arg(files.join(QStringLiteral(" или "))));
    }

    void OpenPage(const QPointer<QWidget>& parent, const QString& chm, const QString& page)
    {
        if (page.isEmpty()) {
            ReportNoViewer(parent, chm, page);
            return;
        }
        RunCommand({ QStringLiteral("xdg-open"), page }, [parent, chm, page](int code, const QByteArray&) {
            if (code != 0)
                ReportNoViewer(parent, chm, page);
        });
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

QStringList HelpPageCandidates(const QString& programDir)
{
    QStringList candidates { QDir::cleanPath(programDir + QStringLiteral("/../share/vidarro/help/index.html")) };
#ifdef VIDARRO_BUILD_HELP_PAGE
    candidates << QStringLiteral(VIDARRO_BUILD_HELP_PAGE);
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

void OpenHelpFile(QWidget* parent)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    OpenHelpFile(parent, HelpFileCandidates(QDir::currentPath(), programDir), HelpPageCandidates(programDir));
}

void OpenHelpFile(QWidget* parent, const QStringList& chmCandidates, const QStringList& pageCandidates)
{
    const QPointer<QWidget> owner(parent); // the window may be gone when a later way is tried
    const QString chm = FindHelpFile(chmCandidates);
    const QString page = FindHelpFile(pageCandidates);
    if (chm.isEmpty()) {
        OpenPage(owner, chm, page);
        return;
    }
    // Without a CHM viewer, xdg-open would hand the file to an archive manager or a text editor.
    const QStringList query { QStringLiteral("xdg-mime"), QStringLiteral("query"), QStringLiteral("default"),
        QStringLiteral("application/vnd.ms-htmlhelp") };
    RunCommand(query, [owner, chm, page](int code, const QByteArray& handler) {
        if (code != 0 || handler.trimmed().isEmpty()) {
            OpenPage(owner, chm, page);
            return;
        }
        RunCommand({ QStringLiteral("xdg-open"), chm }, [owner, chm, page](int opened, const QByteArray&) {
            if (opened != 0)
                OpenPage(owner, chm, page);
        });
    });
}

void SetHelpCommandRunner(HelpCommandRunner runner)
{
    Runner() = std::move(runner);
}

} // namespace app
