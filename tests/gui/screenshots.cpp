// vidarro-screenshots OUTDIR: opens the program's windows on a small catalogue, offscreen, and saves a
// picture of each, as a user would see it.
#include "scripted.h"
#include "testbase.h"

#include "app/vidarrodlg.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

namespace {

void Save(QWidget& w, const QString& dir, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!w.grab().save(path))
        qWarning("cannot save %s", qUtf8Printable(path));
    else
        std::printf("%s\n", qUtf8Printable(path));
}

void FillDemo(TempCatalogue& base)
{
    const QList<QStringList> films{
        {QStringLiteral("Брат"), QStringLiteral("Алексей Балабанов"), QStringLiteral("Сергей Бодров-младший, Виктор Сухоруков"), QStringLiteral("Драма"), QStringLiteral("9"), QStringLiteral("DVD"), QStringLiteral("96 мин"), QStringLiteral("Классика девяностых.\r\nДиск в коробке №3.")},
        {QStringLiteral("Ирония судьбы, или С лёгким паром!"), QStringLiteral("Эльдар Рязанов"), QStringLiteral("Андрей Мягков, Барбара Брыльска"), QStringLiteral("Комедия"), QStringLiteral("10"), QStringLiteral("DVD"), QStringLiteral("184 мин"), QStringLiteral("Смотреть 31 декабря")},
        {QStringLiteral("Солярис"), QStringLiteral("Андрей Тарковский"), QStringLiteral("Наталья Бондарчук, Донатас Банионис"), QStringLiteral("Фантастика"), QStringLiteral("8"), QStringLiteral("VHS"), QStringLiteral("169 мин"), QStringLiteral("n/d")},
        {QStringLiteral("Ёжик в тумане"), QStringLiteral("Юрий Норштейн"), QStringLiteral("n/d"), QStringLiteral("Мультфильм"), QStringLiteral("10"), QStringLiteral("CD"), QStringLiteral("10 мин"), QStringLiteral("Для детей и взрослых")},
        {QStringLiteral("Кин-дза-дза!"), QStringLiteral("Георгий Данелия"), QStringLiteral("Станислав Любшин, Евгений Леонов"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("DVD"), QStringLiteral("135 мин"), QStringLiteral("Ку!")},
        {QStringLiteral("Ночной дозор"), QStringLiteral("Тимур Бекмамбетов"), QStringLiteral("Константин Хабенский"), QStringLiteral("Ужасы"), QStringLiteral("6"), QStringLiteral("Черный ящик"), QStringLiteral("114 мин"), QStringLiteral("Копия с лицензии")},
    };
    for (const QStringList& f : films)
        base.AddFilm(f);
    base.AddDebtor({QStringLiteral("Иванов Петр"), QStringLiteral("Солярис"), QStringLiteral("12.03.2025"), QStringLiteral("N")});
    base.AddDebtor({QStringLiteral("Ёлкин Семён"), QStringLiteral("Брат"), QStringLiteral("1 марта"), QStringLiteral("B")});
    base.AddBlack(QStringLiteral("Громов Артём"), QStringLiteral("Не вернул «Ночной дозор»"));
    base.WriteIni("[Config]\r\nMessage=0\r\nTable=1\r\n");
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    const QString outDir = QDir(out).absolutePath();
    TempCatalogue base;
    FillDemo(base);
    base.EnterDir();

    app::CDialog::SetModalHook([&](app::CDialog& d) {
        auto& dlg = static_cast<CVidarroDlg&>(d);
        dlg.FilmList()->SelectRow(0);
        QTest::mouseClick(dlg.GetDlgItem(1000), Qt::LeftButton);
        Save(dlg, outDir, QStringLiteral("vidarrodlg"));
        dlg.EndDialog(app::IDCANCEL);
    });
    CVidarroDlg dlg;
    dlg.DoModal();
    app::CDialog::SetModalHook({});
    return 0;
}
