// vidarro-screenshots-blacklist OUTDIR: the black list, its entry dialogs, the settings dialog and the about
// box on a small catalogue, offscreen, saved as pictures the way a user sees them.
#include "scripted.h"
#include "testbase.h"

#include "app/aboutdlg.h"
#include "blacklist/addblack.h"
#include "blacklist/blacklist.h"
#include "blacklist/renameblack.h"
#include "settings/configdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTest>

namespace {
QString g_outDir;

void Save(QWidget& w, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(g_outDir).filePath(name + QStringLiteral(".png"));
    if (!w.grab().save(path))
        qWarning("cannot save %s", qUtf8Printable(path));
    else
        std::printf("%s\n", qUtf8Printable(path));
}

// Shows one window, lets `act` set it up, saves it and closes it.
template <class D> void Shoot(D& dlg, const QString& name, std::function<void(D&)> act = {})
{
    app::CDialog::SetModalHook([&](app::CDialog& d) {
        if (act)
            act(static_cast<D&>(d));
        Save(d, name);
        d.EndDialog(app::IDCANCEL);
    });
    dlg.DoModal();
    app::CDialog::SetModalHook({});
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    g_outDir = QDir(out).absolutePath();

    TempCatalogue base;
    base.AddBlack(QStringLiteral("Громов Артём"), QStringLiteral("Не вернул «Ночной дозор»"));
    base.AddBlack(
        QStringLiteral("Ёлкин Семён"), QStringLiteral("Диск «Брат» вернул поцарапанным.\r\nКоробку потерял."));
    base.AddBlack(QStringLiteral("Иванов Петр"), QStringLiteral("n/d"));
    base.AddBlack(QStringLiteral("Ёлкин Семён"), QStringLiteral("Второй раз: «Солярис» не вернул"));
    base.WriteIni("[Config]\r\nMessage=3\r\nTable=1\r\n");

    {
        CBlackList dlg;
        dlg.m_strBasePath = base.BasePath();
        dlg.m_strIniPath = base.IniPath();
        Shoot<CBlackList>(dlg, QStringLiteral("blacklist"), [](CBlackList& d) {
            d.List()->setFocus();
            d.List()->SelectRow(1);
        });
    }
    {
        CAddBlack dlg;
        dlg.m_strBasePath = base.BasePath();
        Shoot<CAddBlack>(dlg, QStringLiteral("addblack"), [](CAddBlack& d) {
            app::SetEditText(d.GetDlgItem(1017), QStringLiteral("Сидоров Николай"));
            app::SetEditText(d.GetDlgItem(1018), QStringLiteral("Взял «Кин-дза-дза!» на неделю,\nвернул через год."));
        });
    }
    {
        CRenameBlack dlg;
        dlg.m_strBasePath = base.BasePath();
        dlg.m_nPosition = 0;
        Shoot<CRenameBlack>(dlg, QStringLiteral("renameblack"));
    }
    {
        CConfigDialog dlg;
        dlg.m_strIniPath = base.IniPath();
        Shoot<CConfigDialog>(dlg, QStringLiteral("configdialog"));
    }
    {
        CAboutDlg dlg;
        Shoot<CAboutDlg>(dlg, QStringLiteral("aboutdlg"));
    }
    return 0;
}
