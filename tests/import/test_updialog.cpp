// Loading a previous-version base through its dialog: what arrives and in which order, the report and the
// progress bar, the check of the film table, the choice kept between openings, a load that fails half-way,
// and the main window's refresh.
#include "prevfixtures.h"
#include "scripted.h"
#include "testmain.h"

#include "app/vidarrodlg.h"
#include "import/mdbreader.h"
#include "import/updialog.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace prev;

namespace {
enum : int { IDC_OPEN = 1000, IDC_LOAD = 1001, IDC_REPORT = 1015, IDC_PROGRESS = 1043 };
const QString kLoaded = u"База загружена."_s;
const QString kAgain = u"Эта база уже загружена. Загрузить её ещё раз? Записи добавятся повторно."_s;
const QString kRefused = u"База не может быть загружена!"_s;
const QString k3Films = u"prev-3films-2debtors.mdb"_s;
// What the catalogue held before a load.
const QStringList kOwnFilm = R(u"Свой фильм|Свой режиссёр|n/d|Драма|5|DVD|90 мин|n/d");
const QStringList kOwnDebtor = R(u"Свой должник|Свой фильм|n/d|B");

QStringList Report(const CUpDialog& dlg)
{
    QStringList lines;
    for (int i = 0; i < dlg.Item<QListWidget>(IDC_REPORT)->count(); ++i)
        lines << dlg.Item<QListWidget>(IDC_REPORT)->item(i)->text();
    return lines;
}

// The report has as many lines as `parts`, each containing its part.
bool Reports(const CUpDialog& dlg, const QStringList& parts)
{
    const QStringList lines = Report(dlg);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (i >= parts.size() || !lines[i].contains(parts[i]))
            return false;
    return lines.size() == parts.size();
}

QProgressBar* Progress(const CUpDialog& dlg)
{
    return dlg.Item<QProgressBar>(IDC_PROGRESS);
}

// Debtor rows as the catalogue holds them after a copy: marked "N".
Rows Marked(const Rows& debtors)
{
    Rows rows;
    for (const QStringList& d : debtors)
        rows << d + QStringList { u"N"_s };
    return rows;
}
} // namespace

class TestUpDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_sources;

    // The genuine files are never touched: every test works on its own copy.
    QString CopyFixture(const QString& file)
    {
        const QString target = m_sources.filePath(file);
        QFile::remove(target);
        QFile::copy(JetPath(file), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

private Q_SLOTS:
    void init()
    {
        CUpDialog::ResetImportState(); // as a fresh program run
        import::CMdbReader::SetIdleTimeoutMs(3000);
        import::CMdbReader::SetHelperPath({});
    }

    void basesLoadWhole_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<Rows>("films");
        QTest::addColumn<Rows>("debtors");
        QTest::addColumn<QStringList>("checked"); // the report after "Открыть"
        QTest::addColumn<QStringList>("loaded"); // the lines "Загрузить" adds
        const auto jet = [this](const QString& file, const QStringList& checked, const QStringList& loaded) {
            QTest::newRow(qPrintable(file)) << CopyFixture(file) << TableRows(file, u"KINVORA"_s)
                                            << TableRows(file, u"DOLGI"_s) << checked << loaded;
        };
        jet(k3Films, R(u"База Открыта|Проверка завершена.|Записей фильмов: 3|Записей должников: 2"), { kLoaded });
        // An empty film table: no count line at all, yet the debtors are copied.
        jet(u"prev-empty-films.mdb"_s, R(u"База Открыта|Проверка завершена."), { kLoaded });
        // No debtor table: the films are copied and the report says what is missing.
        jet(u"prev-no-debtors-table.mdb"_s,
            R(u"База Открыта|Проверка завершена.|Записей фильмов: 2|В базе нет таблицы должников."),
            R(u"Должники не загружены: в базе нет таблицы должников.|База загружена."));
        // NULL and "" both arrive as "", a numeric rating as its digits; no "n/d" put in.
        jet(u"prev-nulls-and-numbers.mdb"_s,
            R(u"База Открыта|Проверка завершена.|Записей фильмов: 2|Записей должников: 1"), { kLoaded });
        // More records than a 16-bit progress range holds; an SQLite file named like a Jet one is read as SQLite.
        const QString sqlite = m_sources.filePath(u"old-sqlite.mdb"_s);
        MakeSqliteBase(sqlite, u"KINVORA"_s, 33000, 700);
        QTest::newRow("SQLite, 33700 records")
            << sqlite << Generate(33000, SqliteFilm) << Generate(700, SqliteDebtor)
            << R(u"База Открыта|Проверка завершена.|Записей фильмов: 33000|Записей должников: 700")
            << QStringList { kLoaded };
    }
    void basesLoadWhole()
    {
        QFETCH(QString, source);
        QFETCH(Rows, films);
        QFETCH(Rows, debtors);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, loaded);
        const int total = int(films.size() + debtors.size());
        const QByteArray sourceBytes = ReadBytes(source);
        TempCatalogue base;
        base.AddFilm(kOwnFilm);
        base.AddDebtor(kOwnDebtor);
        ScriptedUi ui;
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_OPEN);
            QCOMPARE(Report(dlg), checked);
            // The bar's range is the counted total; an empty film table counts nothing.
            QCOMPARE(Progress(dlg)->maximum(), films.isEmpty() ? 1 : total);
            // The window refuses to close while the records are copied.
            QTimer::singleShot(0, &dlg, [&dlg] { dlg.close(); });
            // A second click cannot start another load while this one runs.
            bool clickable = false;
            QObject::connect(Progress(dlg), &QProgressBar::valueChanged, &dlg,
                [&] { clickable = clickable || dlg.GetDlgItem(IDC_LOAD)->isEnabled(); });
            dlg.SendCommand(IDC_LOAD);
            QVERIFY(!clickable && dlg.GetDlgItem(IDC_LOAD)->isEnabled());
            QVERIFY(!dlg.IsEnded() || total < 1000);
            QCOMPARE(Report(dlg), checked + loaded);
            QCOMPARE(Progress(dlg)->maximum(), total);
            QCOMPARE(Progress(dlg)->value(), total);
            if (!dlg.IsEnded())
                dlg.SendCommand(app::IDOK);
        });
        ui.ExpectFile(source);
        RunDialog<CUpDialog>(base, ui, {});
        VERIFY_SCRIPT(ui);
        // Appended after what was there, in the source's order, values unchanged, every debtor marked "N".
        QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm } + films);
        QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor } + Marked(debtors));
        QCOMPARE(ReadBytes(source), sourceBytes);
    }

    void loadRefusedWithoutAFittingBase_data()
    {
        QTest::addColumn<QString>("source"); // what "Открыть" chooses; none: the file dialog is cancelled
        QTest::addColumn<QStringList>("report"); // a part of each line
        const QStringList unfit = R(u"База Открыта|Ошибка база не подходит.");
        QTest::newRow("nothing chosen") << QString() << QStringList();
        // The film table is KINVORA exactly: the current format's KINVORA11, another letter case or a longer
        // name do not fit.
        // A whole catalogue of the Windows version: the report says how to open it instead.
        QTest::newRow("current format") << CopyFixture(u"current-base-jet.mdb"_s)
                                        << unfit + QStringList { u"vidarro-newbase --from"_s };
        for (const QString& table : { u"kinvora"_s, u"KINVORA1"_s }) {
            MakeSqliteBase(m_sources.filePath(table), table, 2, 1);
            QTest::newRow(qPrintable(table)) << m_sources.filePath(table) << unfit;
        }
        // No base at all: the report says so and why.
        const QList<std::tuple<QString, QString, QByteArray>> bad { { u"empty.mdb"_s, u"пуст"_s, "" },
            { u"text.mdb"_s, u"не является базой"_s, "Standard Jet DB, honestly" },
            { u"header-only.mdb"_s, u"header-only.mdb"_s, ReadBytes(JetPath(k3Films)).left(4096) },
            { u"missing.mdb"_s, u"не найден"_s, {} } };
        for (const auto& [name, reason, bytes] : bad) {
            if (!bytes.isNull())
                WriteBytes(m_sources.filePath(name), bytes);
            QTest::newRow(qPrintable(name))
                << m_sources.filePath(name) << R(u"База Открыта|Базы нету.") + QStringList { reason };
        }
        QTest::newRow("a folder") << m_sources.path() << R(u"База Открыта|Базы нету.|папка");
    }
    void loadRefusedWithoutAFittingBase()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, report);
        TempCatalogue base;
        base.AddFilm(kOwnFilm);
        const QByteArray before = base.FileBytes();
        ScriptedUi ui;
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_LOAD); // before "Открыть"
            dlg.SendCommand(IDC_OPEN);
            QVERIFY2(Reports(dlg, report), qPrintable(Report(dlg).join(u'\n')));
            dlg.SendCommand(IDC_LOAD);
            QVERIFY(Reports(dlg, report));
            QCOMPARE(Progress(dlg)->value(), 0);
            PressKey(dlg.GetDlgItem(IDC_OPEN), Qt::Key_Escape);
        });
        ui.ExpectMessage(kRefused);
        ui.ExpectFile(source);
        ui.ExpectMessage(kRefused);
        QCOMPARE(RunDialog<CUpDialog>(base, ui, {}), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(CUpDialog::ChosenPath(), source);
        QCOMPARE(base.FileBytes(), before);
    }

    void theChoiceOutlivesTheDialog()
    {
        const Rows films = TableRows(k3Films, u"KINVORA"_s);
        const Rows debtors = Marked(TableRows(k3Films, u"DOLGI"_s));
        const QString source = CopyFixture(k3Films);
        const QString unfit = CopyFixture(u"current-format-only.mdb"_s);
        TempCatalogue base;
        ScriptedUi ui;
        // Loading twice adds everything twice; a later opening loads the base chosen before, without
        // "Открыть", and the bar still counts its records.
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_OPEN);
            dlg.SendCommand(IDC_LOAD);
            dlg.SendCommand(IDC_LOAD); // asked first: "Отмена" adds nothing, "OK" adds it all again
            dlg.SendCommand(IDC_LOAD);
            QCOMPARE(Report(dlg).mid(4), (QStringList { kLoaded, kLoaded }));
            PressKey(dlg.GetDlgItem(IDC_LOAD), Qt::Key_Escape);
        });
        ui.ExpectFile(source);
        ui.ExpectMessage(kAgain, app::IDCANCEL);
        ui.ExpectMessage(kAgain);
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_LOAD);
            QCOMPARE(Report(dlg), QStringList { kLoaded });
            QCOMPARE(Progress(dlg)->maximum(), 5);
            QCOMPARE(Progress(dlg)->value(), 5);
            dlg.SendCommand(app::IDOK);
        });
        ui.ExpectMessage(kAgain);
        // A cancelled choice keeps the earlier one; an unfit choice replaces it and loading is refused.
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_OPEN);
            QCOMPARE(CUpDialog::ChosenPath(), source);
            dlg.SendCommand(IDC_OPEN);
            QCOMPARE(CUpDialog::ChosenPath(), unfit);
            dlg.SendCommand(IDC_LOAD);
            dlg.SendCommand(app::IDOK);
        });
        ui.ExpectFile(QString());
        ui.ExpectFile(unfit);
        ui.ExpectMessage(kRefused);
        for (int run = 0; run < 3; ++run)
            RunDialog<CUpDialog>(base, ui, {});
        VERIFY_SCRIPT(ui);
        QCOMPARE(base.Rows(u"KINVORA11"_s), films + films + films);
        QCOMPARE(base.Rows(u"DOLGI"_s), debtors + debtors + debtors);
    }

    void failureHalfWayAddsNothing_data()
    {
        QTest::addColumn<QString>("table"); // refuses inserts once it holds 2 rows; none: the helper dies
        QTest::newRow("second film") << u"KINVORA11"_s;
        QTest::newRow("last debtor, every film written") << u"DOLGI"_s;
        QTest::newRow("films unreadable at the load") << QString();
    }
    void failureHalfWayAddsNothing()
    {
        QFETCH(QString, table);
        const QString source = CopyFixture(k3Films);
        TempCatalogue base;
        base.AddFilm(kOwnFilm);
        base.AddDebtor(kOwnDebtor);
        if (!table.isEmpty())
            base.Execute(u"CREATE TRIGGER refuse BEFORE INSERT ON %1 WHEN (SELECT count(*) FROM %1) >= 2 "
                         "BEGIN SELECT RAISE(ABORT, 'диск переполнен'); END"_s.arg(table));
        ScriptedUi ui;
        ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_OPEN);
            if (table.isEmpty()) { // the helper hangs on the rows this time
                const QString helper = m_sources.filePath(u"hanging-helper"_s);
                QVERIFY(WriteBytes(helper, "#!/bin/sh\nexec sleep 30\n")
                    && QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner));
                import::CMdbReader::SetHelperPath(helper);
                import::CMdbReader::SetIdleTimeoutMs(500);
            }
            dlg.SendCommand(IDC_LOAD);
            const QStringList parts { u"База Открыта"_s, u"Проверка"_s, u"фильмов"_s, u"должников"_s,
                u"База не загружена, ничего не добавлено."_s, table.isEmpty() ? u"прервано"_s : u"переполнен"_s };
            QVERIFY2(Reports(dlg, parts), qPrintable(Report(dlg).join(u'\n')));
            QCOMPARE(Progress(dlg)->value(), 0);
            QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm });
            QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor });
            dlg.SendCommand(app::IDOK);
        });
        ui.ExpectFile(source);
        RunDialog<CUpDialog>(base, ui, {});
        VERIFY_SCRIPT(ui);
    }

    void mainWindowRebuildsAfterOk()
    {
        const QString source = CopyFixture(k3Films);
        TempCatalogue base;
        base.AddFilm(kOwnFilm);
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& main) {
            app::CStatusBar* bar = main.StatusBar();
            // Esc after a load: the list and the counters stay as they were until the next rebuild.
            ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
                QCOMPARE(dlg.m_strBasePath, base.BasePath());
                dlg.SendCommand(IDC_OPEN);
                dlg.SendCommand(IDC_LOAD);
                PressKey(dlg.GetDlgItem(IDC_LOAD), Qt::Key_Escape);
            });
            ui.ExpectFile(source);
            main.SendCommand(1011);
            QCOMPARE(base.Count(u"KINVORA11"_s), 4);
            QCOMPARE(ListRows(main.FilmList()).size(), 1);
            QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 0"_s);
            // "OK": the list is rebuilt in record order, the counters and the debtor indicator follow.
            ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
                dlg.SendCommand(IDC_LOAD);
                QTest::mouseClick(dlg.GetDlgItem(app::IDOK), Qt::LeftButton);
            });
            ui.ExpectMessage(kAgain);
            main.SendCommand(1011);
            QCOMPARE(Cells(ListRows(main.FilmList())),
                R(u"Свой фильм|Брат|Ёлки|Покровские ворота|Брат|Ёлки|"
                  u"Покровские ворота"));
            QCOMPARE(bar->GetPaneText(0), u"Колличество фильмов: 7"_s);
            QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 4"_s);
            QVERIFY(main.GetDlgItem(1041)->isVisible());
        });
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestUpDialog)
#include "test_updialog.moc"
