#include "app/startup.h"

#include "app/firstrundlg.h"
#include "app/healthprompt.h"
#include "app/msgbox.h"
#include "app/vidarrodlg.h"
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/errortext.h"
#include "data/filenames.h"
#include "data/schema.h"
#include "import/convertprompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace app {

const char* const kUsage = "Использование: vidarro [ПАПКА | --user-catalogue]\n"
                           "Открывает каталог фильмов «BaseFilm.mdb» в папке ПАПКА, без неё — в текущей папке.\n"
                           "  --user-catalogue  каталог в папке данных пользователя: $XDG_DATA_HOME/vidarro,\n"
                           "                    обычно ~/.local/share/vidarro (создаётся, если её нет)\n"
                           "  --help            эта справка\n";

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine cl;
    for (const QString& arg : arguments.mid(1)) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cl.action = CommandLine::Action::Usage;
            return cl;
        }
        if (arg == QLatin1String("--user-catalogue"))
            cl.userCatalogue = true;
        else if (arg.startsWith(u'-') && arg != QLatin1String("-"))
            cl.error = QStringLiteral("неизвестный параметр «%1»").arg(arg);
        else if (!cl.folder.isEmpty())
            cl.error = QStringLiteral("можно указать только одну папку");
        else
            cl.folder = arg;
    }
    if (cl.error.isEmpty() && cl.userCatalogue && !cl.folder.isEmpty())
        cl.error = QStringLiteral("папка и --user-catalogue вместе не указываются");
    if (!cl.error.isEmpty())
        cl.action = CommandLine::Action::Error;
    return cl;
}

QString UserCatalogueFolder()
{
    // A relative XDG_DATA_HOME is not to be used: fall back to the default, as other desktop programs do.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/vidarro"));
}

bool IsJetFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(19);
    return head.startsWith(QByteArray("\x00\x01\x00\x00", 4))
        && (head.mid(4) == "Standard Jet DB" || head.mid(4) == "Standard ACE DB");
}

QString CannotOpenMessage(const QString& path)
{
    const QFileInfo info(path);
    QString reason;
    QString details;
    QFile f(path);
    if (!info.isFile()) {
        reason = QStringLiteral("это не файл");
    } else if (!f.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("нет доступа к файлу");
        details = f.errorString();
    } else if (f.size() == 0) {
        // SQLite would take an empty file for an empty database and find no tables in it.
        reason = QStringLiteral("файл пуст");
    } else if (f.read(16) != QByteArray("SQLite format 3\0", 16)) {
        reason = QStringLiteral("это не база данных Vidarro");
    } else {
        try {
            data::CDaoDatabase db;
            db.Open(path);
            return {};
        } catch (const data::DbError& e) {
            details = e.Text();
            reason = details.contains(QStringLiteral("занят"))
                ? QStringLiteral("файл занят другой программой; закройте её и запустите Vidarro снова")
                : QStringLiteral("файл повреждён или занят другой программой");
        }
    }
    return QStringLiteral("Не удалось открыть каталог «%1»: %2. Программа будет закрыта, файл не изменён.")
               .arg(QDir::toNativeSeparators(info.absoluteFilePath()), reason)
        + data::Details(details);
}

QString StartupCatalogue(QWidget* parent, const QString& folder)
{
    import::RemoveConversionLeftovers(folder);
    data::FoundFile found = data::FindFileIgnoringCase(folder, data::kBaseFileName);
    if (!found.ambiguous.isEmpty()) {
        MessageBox(parent,
            QStringLiteral("В папке «%1» несколько файлов каталога, имена которых различаются только регистром "
                           "букв: %2. Оставьте один из них и запустите программу снова.")
                .arg(QDir::toNativeSeparators(folder), found.ambiguous.join(QStringLiteral(", "))));
        return {};
    }
    QString file = found.path;
    if (file.isEmpty()) {
        CFirstRunDlg dlg(folder, parent);
        if (dlg.DoModal() != IDOK)
            return {};
        file = dlg.m_strBasePath;
    } else if (IsJetFile(file)) {
        if (!import::OfferJetConversion(parent, file))
            return {};
        file = data::FindFileIgnoringCase(folder, data::kBaseFileName).path;
    }
    const QString problem = CannotOpenMessage(file);
    if (!problem.isEmpty()) {
        MessageBox(parent, problem);
        return {};
    }
    if (!CheckCatalogueHealth(parent, file))
        return {};
    return file;
}

int Run(const QStringList& arguments)
{
    const CommandLine cl = ParseCommandLine(arguments);
    if (cl.action == CommandLine::Action::Usage) {
        QTextStream(stdout) << QString::fromUtf8(kUsage);
        return 0;
    }
    if (cl.action == CommandLine::Action::Error) {
        QTextStream(stderr) << "vidarro: " << cl.error << '\n' << QString::fromUtf8(kUsage);
        return 2;
    }
    const QString folder = cl.userCatalogue ? UserCatalogueFolder() : cl.folder;
    if (cl.userCatalogue && !QDir().mkpath(folder)) {
        MessageBox(nullptr, QStringLiteral("Не удалось создать папку каталога «%1».").arg(folder));
        return 1;
    }
    // The catalogue's folder becomes the working folder, where the help file is looked for first.
    if (!folder.isEmpty() && !QDir::setCurrent(folder)) {
        MessageBox(nullptr,
            QStringLiteral("Папка «%1» не найдена. Укажите папку каталога, которая существует.")
                .arg(QDir::toNativeSeparators(QDir(folder).absolutePath())));
        return 1;
    }
    const QString file = StartupCatalogue(nullptr, QDir::currentPath());
    if (file.isEmpty())
        return 0;
    CVidarroDlg dlg(file);
    dlg.DoModal();
    return 0;
}

} // namespace app
