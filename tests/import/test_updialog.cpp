// Loading a previous-version base through its dialog: what arrives, the report, the progress bar, failures, and
// the choice kept between openings.
#include "prevfixtures.h"
#include "scripted.h"
#include "testmain.h"

#include "app/vidarrodlg.h"
#include "ids/import.h"
#include "ids/main.h"
#include "import/mdbreader.h"
#include "import/updialog.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace prev;
namespace id = ids::import;

namespace {
const QString kLoaded = u"База загружена."_s;
const QString kAgain = u"Эта база уже загружена. Загрузить её ещё раз? Записи добавятся повторно."_s;
const QString kRefused = u"База не может быть загружена!"_s;
const QString k3Films = u"prev-3films-2debtors.mdb"_s;
// What the catalogue held before a load.
const QStringList kOwnFilm = R(u"Свой фильм|Свой режиссёр|n/d|Драма|5|DVD|90 мин|n/d");
const QStringList kOwnDebtor = R(u"Свой должник|Свой фильм|n/d|B");

// The report's lines; one that holds the part of `parts` at its place reads as that part.
QStringList Report(const CUpDialog& dlg, const QStringList& parts = {})
{
    const QListWidget* list = dlg.Item<QListWidget>(id::Report);
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << (i < parts.size() && list->item(i)->text().contains(parts[i]) ? parts[i] : list->item(i)->text());
    return lines;
}
} // namespace

class TestUpDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_sources;

    // The genuine files are never touched: the tests read copies.
    QString CopyFixture(const QString& file)
    {
        QFile::copy(JetPath(file), m_sources.filePath(file));
        return m_sources.filePath(file);
    }

private Q_SLOTS:
    void init()
    {
        CUpDialog::ResetImportState(); // as a fresh program run
        import::CMdbReader::SetHelperPath({});
    }

    void load_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<Rows>("films"); // what the load adds
        QTest::addColumn<Rows>("debtors"); // as in the source, before their mark
        QTest::addColumn<QStringList>("checked"); // a part of each report line after "Открыть"
        QTest::addColumn<QStringList>("loaded"); // those "Загрузить" adds; none: it is refused
        QTest::addColumn<QString>("fault"); // a table refusing its third row, or "helper": the helper is gone
        // `file`: a fixture's name, else a path.
        const auto row = [this](const char* tag, const QString& file, const QString& checked,
                             const QString& loaded = kLoaded, const QString& fault = {}) {
            const bool fixture = !file.contains(u'/') && !loaded.isEmpty();
            QTest::newRow(tag) << (file.contains(u'/') ? file : CopyFixture(file))
                               << (fixture ? TableRows(file, u"KINVORA"_s) : Rows())
                               << (fixture ? TableRows(file, u"DOLGI"_s) : Rows()) << R(checked)
                               << (loaded.isEmpty() ? QStringList() : R(loaded)) << fault;
        };
        const QString checked = u"База Открыта|Проверка завершена."_s,
                      three = checked + u"|Записей фильмов: 3|Записей должников: 2"_s;
        row("3 films", k3Films, three);
        // An empty film table: no count line at all, yet the debtors are copied.
        row("no films", u"prev-empty-films.mdb"_s, checked);
        row("no debtor table", u"prev-no-debtors-table.mdb"_s,
            checked + u"|Записей фильмов: 2|В базе нет таблицы должников."_s,
            u"Должники не загружены: в базе нет таблицы должников.|База загружена."_s);
        // NULL and "" both arrive as "", a numeric rating as its digits; no "n/d" put in.
        row("NULLs", u"prev-nulls-and-numbers.mdb"_s, checked + u"|Записей фильмов: 2|Записей должников: 1"_s);
        const QString failed = u"База не загружена, ничего не добавлено.|"_s;
        row("second film fails", k3Films, three, failed + u"переполнен"_s, u"KINVORA11"_s);
        row("helper gone at the load", k3Films, three, failed + u"vidarro-mdbread"_s, u"helper"_s);
        // The film table is KINVORA exactly; a whole catalogue of the Windows version gets a hint.
        row("current format", u"current-base-jet.mdb"_s,
            u"База Открыта|Ошибка база не подходит.|vidarro-newbase --from"_s, {});
        MakeSqliteBase(m_sources.filePath(u"kinvora"_s), u"kinvora"_s, 2, 1);
        row("kinvora", m_sources.filePath(u"kinvora"_s), u"База Открыта|Ошибка база не подходит."_s, {});
        // No base at all: the report says why.
        for (const auto& [name, reason, bytes] : { std::tuple { "empty.mdb", "пуст", QByteArray("") },
                 { "header-only.mdb", "header-only.mdb", ReadBytes(JetPath(k3Films)).left(4096) },
                 { "missing.mdb", "не найден", QByteArray() }, { "", "папка", QByteArray() } }) {
            const QString path = *name ? m_sources.filePath(QString::fromUtf8(name)) : m_sources.path();
            if (!bytes.isNull())
                WriteBytes(path, bytes);
            row(*name ? name : "a folder", path, u"База Открыта|Базы нету.|"_s + QString::fromUtf8(reason), {});
        }
        // More records than a 16-bit range holds; an SQLite file named like a Jet one is read as SQLite.
        const QString sqlite = m_sources.filePath(u"old-sqlite.mdb"_s);
        MakeSqliteBase(sqlite, u"KINVORA"_s, 33000, 700);
        QTest::newRow("SQLite, 33700 records")
            << sqlite << Generate(33000, SqliteFilm) << Generate(700, SqliteDebtor)
            << R(checked + u"|Записей фильмов: 33000|Записей должников: 700"_s) << QStringList { kLoaded } << QString();
    }
    void load()
    {
        QFETCH(QString, source);
        QFETCH(Rows, films);
        QFETCH(Rows, debtors);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, loaded);
        QFETCH(QString, fault);
        const int total = int(films.size() + debtors.size());
        const bool adds = !loaded.isEmpty() && fault.isEmpty();
        TempCatalogue base;
        base.AddFilm(kOwnFilm);
        base.AddDebtor(kOwnDebtor);
        if (!fault.isEmpty() && fault != u"helper"_s)
            base.Execute(u"CREATE TRIGGER refuse BEFORE INSERT ON %1 WHEN (SELECT count(*) FROM %1) >= 2 "
                         "BEGIN SELECT RAISE(ABORT, 'диск переполнен'); END"_s.arg(fault));
        ScriptedUi ui;
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(id::Load); // before "Открыть"
            dlg.SendCommand(id::Open);
            // The bar's range is the counted total; an empty film table counts nothing.
            QProgressBar* progress = dlg.Item<QProgressBar>(id::Progress);
            QCOMPARE(progress->maximum(), films.isEmpty() ? 1 : total);
            if (fault == u"helper"_s)
                import::CMdbReader::SetHelperPath(m_sources.filePath(u"no-helper"_s));
            // No closing and no second load while the records are copied.
            QTimer::singleShot(0, &dlg, [&dlg] { dlg.close(); });
            bool clickable = false;
            QObject::connect(progress, &QProgressBar::valueChanged, &dlg,
                [&] { clickable = clickable || dlg.GetDlgItem(id::Load)->isEnabled(); });
            dlg.SendCommand(id::Load);
            QVERIFY(!clickable && dlg.GetDlgItem(id::Load)->isEnabled());
            QVERIFY(!dlg.IsEnded() || total < 1000);
            QCOMPARE(Report(dlg, checked + loaded), checked + loaded);
            QCOMPARE(progress->maximum(), std::max(total, 1));
            QCOMPARE(progress->value(), adds ? total : 0);
            dlg.SendCommand(id::Open); // cancelled: the choice stays
            if (!dlg.IsEnded())
                dlg.SendCommand(app::IDOK);
        });
        ui.ExpectMessage(kRefused);
        ui.ExpectFile(source);
        if (loaded.isEmpty())
            ui.ExpectMessage(kRefused);
        ui.ExpectFile(QString());
        RunDialog<CUpDialog>(base, ui, {});
        VERIFY_SCRIPT(ui);
        QCOMPARE(CUpDialog::ChosenPath(), source);
        // Appended after what was there, in the source's order, values unchanged, every debtor marked "N".
        for (QStringList& d : debtors)
            d << u"N"_s;
        QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm } + (adds ? films : Rows()));
        QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor } + (adds ? debtors : Rows()));
    }

    // A later opening loads the chosen base again, after asking, without "Открыть".
    void theChoiceOutlivesTheDialog()
    {
        const QString source = CopyFixture(k3Films);
        TempCatalogue base;
        base.AddFilm(kOwnFilm);
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& main) {
            app::CStatusBar* bar = main.StatusBar();
            ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
                dlg.SendCommand(id::Open);
                dlg.SendCommand(id::Load);
                dlg.SendCommand(id::Load); // "Отмена" to the question adds nothing
                PressKey(dlg.GetDlgItem(id::Load), Qt::Key_Escape);
            });
            ui.ExpectFile(source);
            ui.ExpectMessage(kAgain, app::IDCANCEL);
            main.SendCommand(ids::main::Import);
            ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
                dlg.SendCommand(id::Load);
                QCOMPARE(Report(dlg), QStringList { kLoaded });
                QTest::mouseClick(dlg.GetDlgItem(app::IDOK), Qt::LeftButton);
            });
            ui.ExpectMessage(kAgain);
            main.SendCommand(ids::main::Import);
            QCOMPARE(Cells(ListRows(main.FilmList())),
                R(u"Свой фильм|Брат|Ёлки|Покровские ворота|Брат|Ёлки|Покровские ворота"));
            QCOMPARE(bar->GetPaneText(0), u"Колличество фильмов: 7"_s);
            QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 4"_s);
            QVERIFY(main.GetDlgItem(ids::main::DebtorText)->isVisible());
        });
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestUpDialog)
#include "test_updialog.moc"
