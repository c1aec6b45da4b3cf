// vidarro-screenshots-debtors OUTDIR: the debtor windows on a small catalogue, offscreen, saved as pictures
// the way a user sees them.
#include "scripted.h"
#include "testbase.h"

#include "debtors/adddolgdialog.h"
#include "debtors/finddolgdialog.h"
#include "debtors/renamedolgdialog.h"
#include "debtors/showdolgdialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>

#include <cstdio>

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

void Choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
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
    base.AddDebtor({ QStringLiteral("Громов Артём"), QStringLiteral("Ночной дозор"), QStringLiteral("12.03.2007"),
        QStringLiteral("N") });
    base.AddDebtor({ QStringLiteral("Ёлкин Семён"), QStringLiteral("Брат (DVD)"), QStringLiteral("1 марта"),
        QStringLiteral("B") });
    base.AddDebtor(
        { QStringLiteral("Иванов Петр"), QStringLiteral("Солярис"), QStringLiteral("n/d"), QStringLiteral("C") });
    base.AddDebtor({ QStringLiteral("Сидоров Николай"), QStringLiteral("Кин-дза-дза!"), QStringLiteral("5.05.2009"),
        QStringLiteral("B") });
    base.AddDebtor({ QStringLiteral("Ёлкин Семён"), QStringLiteral("Зеркало"), QStringLiteral("20.10.2010"),
        QStringLiteral("N") });
    base.WriteIni("[Config]\r\nMessage=3\r\nTable=1\r\n");

    {
        CAddDolgDialog dlg;
        dlg.m_strBasePath = base.BasePath();
        Shoot<CAddDolgDialog>(dlg, QStringLiteral("adddolgdialog"), [](CAddDolgDialog& d) {
            app::SetEditText(d.GetDlgItem(1017), QStringLiteral("Петров Василий"));
            app::SetEditText(d.GetDlgItem(1018), QStringLiteral("Андрей Рублёв (2 диска)"));
            app::SetEditText(d.GetDlgItem(1019), QStringLiteral("15.06.2011"));
            Choose(d.Item<QComboBox>(1020), 1);
        });
    }
    {
        CRenameDolgDialog dlg;
        dlg.m_strBasePath = base.BasePath();
        dlg.m_nPosition = 1;
        Shoot<CRenameDolgDialog>(dlg, QStringLiteral("renamedolgdialog"));
    }
    {
        CShowDolgDialog dlg;
        dlg.m_strBasePath = base.BasePath();
        dlg.m_strIniPath = base.IniPath();
        Shoot<CShowDolgDialog>(dlg, QStringLiteral("showdolgdialog"), [](CShowDolgDialog& d) {
            d.DolgList()->setFocus();
            d.DolgList()->SelectRow(1);
        });
    }
    {
        CFindDolgDialog dlg;
        dlg.m_strBasePath = base.BasePath();
        dlg.m_strIniPath = base.IniPath();
        Shoot<CFindDolgDialog>(dlg, QStringLiteral("finddolgdialog"), [](CFindDolgDialog& d) {
            qobject_cast<QAbstractButton*>(d.GetDlgItem(1032))->click();
            Choose(d.Item<QComboBox>(1020), 1);
            d.SendCommand(1000);
        });
    }
    return 0;
}
