// vidarro-screenshots OUTDIR: opens every window of the program on a small catalogue, offscreen, and saves
// a picture of each as a user would see it. Fails when a window asks for an id no resource defines.
#include "ids/addblack.h"
#include "ids/adddebtor.h"
#include "ids/addfilm.h"
#include "ids/finddebtor.h"
#include "ids/findfilm.h"
#include "ids/import.h"
#include "ids/main.h"
#include "scripted.h"
#include "testbase.h"

#include "app/aboutdlg.h"
#include "app/firstrundlg.h"
#include "app/restoredlg.h"
#include "app/vidarrodlg.h"
#include "blacklist/addblack.h"
#include "blacklist/blacklist.h"
#include "blacklist/renameblack.h"
#include "debtors/adddolgdialog.h"
#include "debtors/finddolgdialog.h"
#include "debtors/renamedolgdialog.h"
#include "debtors/showdolgdialog.h"
#include "films/adddialog.h"
#include "films/finddialog.h"
#include "films/renamedialog.h"
#include "import/updialog.h"
#include "settings/configdialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>

#include <cstdio>

namespace {

QString g_outDir;

// Shows one window, lets `act` set it up, saves its picture and closes it.
template <class D> void Shoot(D& dlg, const QString& name, std::function<void(D&)> act = {})
{
    app::CDialog::SetModalHook([&](app::CDialog& d) {
        if (act)
            act(static_cast<D&>(d));
        QApplication::processEvents();
        const QString path = QDir(g_outDir).filePath(name + QStringLiteral(".png"));
        if (d.grab().save(path))
            std::printf("%s\n", qUtf8Printable(path));
        else
            qWarning("cannot save %s", qUtf8Printable(path));
        d.EndDialog(app::IDCANCEL);
    });
    dlg.DoModal();
    app::CDialog::SetModalHook({});
}

void FillDemo(TempCatalogue& base)
{
    const QList<QStringList> films {
        { QStringLiteral("Брат"), QStringLiteral("Алексей Балабанов"),
            QStringLiteral("Сергей Бодров-младший, Виктор Сухоруков"), QStringLiteral("Драма"), QStringLiteral("9"),
            QStringLiteral("DVD"), QStringLiteral("96 мин"),
            QStringLiteral("Классика девяностых.\r\nДиск в коробке №3.") },
        { QStringLiteral("Ирония судьбы, или С лёгким паром!"), QStringLiteral("Эльдар Рязанов"),
            QStringLiteral("Андрей Мягков, Барбара Брыльска"), QStringLiteral("Комедия"), QStringLiteral("10"),
            QStringLiteral("DVD"), QStringLiteral("184 мин"), QStringLiteral("Смотреть 31 декабря") },
        { QStringLiteral("Солярис"), QStringLiteral("Андрей Тарковский"),
            QStringLiteral("Наталья Бондарчук, Донатас Банионис"), QStringLiteral("Фантастика"), QStringLiteral("8"),
            QStringLiteral("VHS"), QStringLiteral("169 мин"), QStringLiteral("n/d") },
        { QStringLiteral("Ёжик в тумане"), QStringLiteral("Юрий Норштейн"), QStringLiteral("n/d"),
            QStringLiteral("Мультфильм"), QStringLiteral("10"), QStringLiteral("CD"), QStringLiteral("10 мин"),
            QStringLiteral("Для детей и взрослых") },
        { QStringLiteral("Кин-дза-дза!"), QStringLiteral("Георгий Данелия"),
            QStringLiteral("Станислав Любшин, Евгений Леонов"), QStringLiteral("Фантастика"), QStringLiteral("9"),
            QStringLiteral("DVD"), QStringLiteral("135 мин"), QStringLiteral("Ку!") },
        { QStringLiteral("Ночной дозор"), QStringLiteral("Тимур Бекмамбетов"), QStringLiteral("Константин Хабенский"),
            QStringLiteral("Другой жанр"), QStringLiteral("6"), QStringLiteral("Черный ящик"),
            QStringLiteral("114 мин"), QStringLiteral("Копия с лицензии") },
    };
    for (const QStringList& f : films)
        base.AddFilm(f);
    base.AddDebtor({ QStringLiteral("Громов Артём"), QStringLiteral("Ночной дозор"), QStringLiteral("12.03.2007"),
        QStringLiteral("N") });
    base.AddDebtor({ QStringLiteral("Ёлкин Семён"), QStringLiteral("Брат (DVD)"), QStringLiteral("1 марта"),
        QStringLiteral("B") });
    base.AddDebtor(
        { QStringLiteral("Иванов Петр"), QStringLiteral("Солярис"), QStringLiteral("n/d"), QStringLiteral("C") });
    base.AddDebtor({ QStringLiteral("Сидоров Николай"), QStringLiteral("Кин-дза-дза!"), QStringLiteral("5.05.2009"),
        QStringLiteral("B") });
    base.AddBlack(QStringLiteral("Иванов Петр"), QStringLiteral("Не вернул «Солярис»"));
    base.AddBlack(
        QStringLiteral("Ёлкин Семён"), QStringLiteral("Диск «Брат» вернул поцарапанным.\r\nКоробку потерял."));
    base.WriteIni("[Config]\r\nMessage=3\r\nTable=1\r\n");
}

void ShootMainWindow()
{
    CVidarroDlg dlg;
    Shoot<CVidarroDlg>(dlg, QStringLiteral("vidarrodlg"), [](CVidarroDlg& d) {
        d.FilmList()->SelectRow(0);
        Click(d, ids::main::Films);
    });
}

void ShootFilms(const TempCatalogue& base)
{
    CAddDialog add;
    add.m_strBasePath = base.BasePath();
    Shoot<CAddDialog>(add, QStringLiteral("adddialog"), [](CAddDialog& d) {
        app::SetEditText(d.GetDlgItem(ids::addfilm::Name), QStringLiteral("Сталкер"));
        app::SetEditText(d.GetDlgItem(ids::addfilm::Director), QStringLiteral("Андрей Тарковский"));
        ChooseEntry(d.Item<QComboBox>(ids::addfilm::GenreList), 8);
        ChooseEntry(d.Item<QComboBox>(ids::addfilm::MediumList), 6);
    });
    CRenameDialog rename;
    rename.m_strBasePath = base.BasePath();
    rename.m_nPosition = 2;
    Shoot<CRenameDialog>(rename, QStringLiteral("renamedialog"));
    CFindDialog find;
    find.m_strBasePath = base.BasePath();
    find.m_strIniPath = base.IniPath();
    Shoot<CFindDialog>(find, QStringLiteral("finddialog"), [](CFindDialog& d) {
        Click(d, ids::findfilm::ByGenre);
        ChooseEntry(d.Item<QComboBox>(ids::findfilm::GenreList), 4);
        d.SendCommand(ids::findfilm::Find);
    });
}

void ShootDebtors(const TempCatalogue& base)
{
    CAddDolgDialog add;
    add.m_strBasePath = base.BasePath();
    Shoot<CAddDolgDialog>(add, QStringLiteral("adddolgdialog"), [](CAddDolgDialog& d) {
        app::SetEditText(d.GetDlgItem(ids::adddebtor::Name), QStringLiteral("Петров Василий"));
        app::SetEditText(d.GetDlgItem(ids::adddebtor::Film), QStringLiteral("Андрей Рублёв (2 диска)"));
        app::SetEditText(d.GetDlgItem(ids::adddebtor::Date), QStringLiteral("15.06.2011"));
        ChooseEntry(d.Item<QComboBox>(ids::adddebtor::MarkList), 1);
    });
    CRenameDolgDialog rename;
    rename.m_strBasePath = base.BasePath();
    rename.m_nPosition = 1;
    Shoot<CRenameDolgDialog>(rename, QStringLiteral("renamedolgdialog"));
    CShowDolgDialog show;
    show.m_strBasePath = base.BasePath();
    show.m_strIniPath = base.IniPath();
    Shoot<CShowDolgDialog>(show, QStringLiteral("showdolgdialog"), [](CShowDolgDialog& d) {
        d.DolgList()->setFocus();
        d.DolgList()->SelectRow(1);
    });
    CFindDolgDialog find;
    find.m_strBasePath = base.BasePath();
    find.m_strIniPath = base.IniPath();
    Shoot<CFindDolgDialog>(find, QStringLiteral("finddolgdialog"), [](CFindDolgDialog& d) {
        Click(d, ids::finddebtor::ByMark);
        ChooseEntry(d.Item<QComboBox>(ids::finddebtor::MarkList), 1);
        d.SendCommand(ids::finddebtor::Find);
    });
}

void ShootBlackListAndSettings(const TempCatalogue& base)
{
    CBlackList list;
    list.m_strBasePath = base.BasePath();
    list.m_strIniPath = base.IniPath();
    Shoot<CBlackList>(list, QStringLiteral("blacklist"), [](CBlackList& d) {
        d.List()->setFocus();
        d.List()->SelectRow(1);
    });
    CAddBlack add;
    add.m_strBasePath = base.BasePath();
    Shoot<CAddBlack>(add, QStringLiteral("addblack"), [](CAddBlack& d) {
        app::SetEditText(d.GetDlgItem(ids::addblack::Name), QStringLiteral("Сидоров Николай"));
        app::SetEditText(
            d.GetDlgItem(ids::addblack::Reason), QStringLiteral("Взял «Кин-дза-дза!» на неделю,\nвернул через год."));
    });
    CRenameBlack rename;
    rename.m_strBasePath = base.BasePath();
    rename.m_nPosition = 0;
    Shoot<CRenameBlack>(rename, QStringLiteral("renameblack"));
    CConfigDialog config;
    config.m_strIniPath = base.IniPath();
    Shoot<CConfigDialog>(config, QStringLiteral("configdialog"));
    CAboutDlg about;
    about.m_strBasePath = base.BasePath();
    Shoot<CAboutDlg>(about, QStringLiteral("aboutdlg"));
    CFirstRunDlg firstRun(QDir::home().filePath(QStringLiteral(".local/share/vidarro")));
    Shoot<CFirstRunDlg>(firstRun, QStringLiteral("firstrundlg"));
    QDir(base.Dir()).mkpath(QStringLiteral("Backup"));
    QFile::copy(base.BasePath(), base.Dir() + QStringLiteral("/Backup/BaseFilm-2026-03-01.mdb"));
    CRestoreDlg restore;
    restore.m_strBasePath = base.BasePath();
    Shoot<CRestoreDlg>(restore, QStringLiteral("restoredlg"));
}

void ShootImport(const TempCatalogue& base)
{
    CUpDialog up;
    up.m_strBasePath = base.BasePath();
    Shoot<CUpDialog>(up, QStringLiteral("updialog"), [](CUpDialog& d) {
        app::SetFileDialogHook(
            [](const QString&, const QString&) { return FixturePath(QStringLiteral("jet/prev-3films-2debtors.mdb")); });
        d.SendCommand(ids::import::Open);
        d.SendCommand(ids::import::Load);
        app::SetFileDialogHook({});
    });
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    g_outDir = QDir(out).absolutePath();

    // Messages (the start-up alert among them) are answered, not shown.
    app::SetMessageBoxHook([](const QString&, app::Buttons) { return app::IDOK; });
    TempCatalogue base;
    FillDemo(base);
    base.EnterDir();
    ShootFilms(base);
    ShootDebtors(base);
    ShootBlackListAndSettings(base);
    ShootImport(base);
    // Last: the windows above changed the catalogue it shows.
    ShootMainWindow();
    // Every window has been opened: each id it asked for must be in its template, menu or key table.
    return app::CDialog::UnknownIdCount() == 0 ? 0 : 1;
}
