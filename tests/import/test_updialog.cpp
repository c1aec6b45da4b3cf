// Loading a previous-version base through its dialog: what arrives and in which order, the report and the
// progress bar, the check of the film table, the choice kept between openings, a load that fails half-way,
// and the main window's refresh.
#include "prevfixtures.h"
#include "scripted.h"
#include "testbase.h"

#include "app/vidarrodlg.h"
#include "import/mdbreader.h"
#include "import/updialog.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

using namespace prev;

namespace {

enum : int { IDC_OPEN = 1000, IDC_LOAD = 1001, IDC_REPORT = 1015, IDC_PROGRESS = 1043 };

const QString kLoaded = u"База загружена."_s;
const QString kRefused = u"База не может быть загружена!"_s;
const QString kAgain = u"Эта база уже загружена. Загрузить её ещё раз? Записи добавятся повторно."_s;
const QString k3Films = u"prev-3films-2debtors.mdb"_s;

// What the catalogue held before a load.
const QStringList kOwnFilm = R(u"Свой фильм|Свой режиссёр|n/d|Драма|5|DVD|90 мин|n/d");
const QStringList kOwnDebtor = R(u"Свой должник|Свой фильм|n/d|B");

QStringList ReportLines(const CUpDialog& dlg)
{
    QStringList lines;
    const auto* list = dlg.Item<QListWidget>(IDC_REPORT);
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

// The report has as many lines as `parts`, each containing its part.
bool Reports(const CUpDialog& dlg, const QStringList& parts)
{
    const QStringList lines = ReportLines(dlg);
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

// Runs the dialog on the catalogue, as the main window does.
int RunDialog(const TempCatalogue& base)
{
    CUpDialog dlg;
    dlg.m_strBasePath = base.BasePath();
    return dlg.DoModal();
}

} // namespace

class TestUpDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void basesLoadWhole_data();
    void basesLoadWhole();
    void loadRefusedWithoutAFittingBase_data();
    void loadRefusedWithoutAFittingBase();
    void loadAgainAddsEverythingAgainAndTheChoiceOutlivesTheDialog();
    void failureHalfWayAddsNothing_data();
    void failureHalfWayAddsNothing();
    void mainWindowRebuildsAfterOk();

private:
    // The genuine files are never touched: every test works on its own copy.
    QString CopyFixture(const QString& file)
    {
        const QString target = m_sources.filePath(file);
        QFile::remove(target);
        QFile::copy(FixturePath(u"jet/"_s + file), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
    QTemporaryDir m_sources;
};

void TestUpDialog::init()
{
    // Each test starts as a fresh program run would.
    CUpDialog::ResetImportState();
    import::CMdbReader::SetIdleTimeoutMs(15000);
    QVERIFY(m_sources.isValid());
}

void TestUpDialog::basesLoadWhole_data()
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
    jet(u"prev-nulls-and-numbers.mdb"_s, R(u"База Открыта|Проверка завершена.|Записей фильмов: 2|Записей должников: 1"),
        { kLoaded });
    // More records than a 16-bit progress range holds; an SQLite file named like a Jet one is read as SQLite.
    const QString sqlite = m_sources.filePath(u"old-sqlite.mdb"_s);
    MakeSqliteBase(sqlite, u"KINVORA"_s, 33000, 700);
    QTest::newRow("SQLite, 33700 records")
        << sqlite << Generate(33000, SqliteFilm) << Generate(700, SqliteDebtor)
        << R(u"База Открыта|Проверка завершена.|Записей фильмов: 33000|Записей должников: 700")
        << QStringList { kLoaded };
}

void TestUpDialog::basesLoadWhole()
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
    base.AddBlack(u"Сидоров"_s, u"Не вернул"_s);

    ScriptedUi ui;
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        QCOMPARE(ReportLines(dlg), checked);
        QVERIFY(CUpDialog::BaseFits());
        // The bar's range is the counted total; an empty film table counts nothing.
        QCOMPARE(Progress(dlg)->maximum(), films.isEmpty() ? 1 : total);
        // A second click cannot start another load while this one runs.
        bool clickable = false;
        QObject::connect(Progress(dlg), &QProgressBar::valueChanged, &dlg,
            [&] { clickable = clickable || dlg.GetDlgItem(IDC_LOAD)->isEnabled(); });
        dlg.SendCommand(IDC_LOAD);
        QVERIFY(!clickable && dlg.GetDlgItem(IDC_LOAD)->isEnabled());
        QCOMPARE(ReportLines(dlg), checked + loaded);
        QCOMPARE(Progress(dlg)->maximum(), total);
        QCOMPARE(Progress(dlg)->value(), total);
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(source);
    QCOMPARE(RunDialog(base), app::IDOK);
    VERIFY_SCRIPT(ui);

    // Appended after what was there, in the source's order, values unchanged, every debtor marked "N".
    QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm } + films);
    QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor } + Marked(debtors));
    QCOMPARE(base.Rows(u"BLACKSPISOK"_s), Rows { R(u"Сидоров|Не вернул") });
    QCOMPARE(ReadBytes(source), sourceBytes);
}

void TestUpDialog::loadRefusedWithoutAFittingBase_data()
{
    QTest::addColumn<QString>("source"); // what "Открыть" chooses; none: the file dialog is cancelled
    QTest::addColumn<QStringList>("report"); // a part of each line
    const QStringList unfit = R(u"База Открыта|Ошибка база не подходит.");
    QTest::newRow("nothing chosen") << QString() << QStringList();
    // The film table is KINVORA exactly: the current format's KINVORA11, another letter case or a longer
    // name do not fit.
    QTest::newRow("current format only") << CopyFixture(u"current-format-only.mdb"_s) << unfit;
    QTest::newRow("complete current catalogue") << CopyFixture(u"current-base-jet.mdb"_s) << unfit;
    for (const QString& table : { u"kinvora"_s, u"KINVORA1"_s }) {
        MakeSqliteBase(m_sources.filePath(table), table, 2, 1);
        QTest::newRow(qPrintable(table)) << m_sources.filePath(table) << unfit;
    }
    // No base at all: the report says so and why.
    const QList<std::tuple<QString, QString, QByteArray>> bad { { u"empty.mdb"_s, u"пуст"_s, "" },
        { u"text.mdb"_s, u"не является базой"_s, "Standard Jet DB, honestly" },
        { u"header-only.mdb"_s, u"header-only.mdb"_s, ReadBytes(FixturePath(u"jet/"_s + k3Films)).left(4096) },
        { u"missing.mdb"_s, u"не найден"_s, {} } };
    for (const auto& [name, reason, bytes] : bad) {
        if (!bytes.isNull())
            WriteBytes(m_sources.filePath(name), bytes);
        QTest::newRow(qPrintable(name)) << m_sources.filePath(name)
                                        << R(u"База Открыта|Базы нету.") + QStringList { reason };
    }
    QTest::newRow("a folder") << m_sources.path() << R(u"База Открыта|Базы нету.|папка");
}

void TestUpDialog::loadRefusedWithoutAFittingBase()
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
        QVERIFY2(Reports(dlg, report), qPrintable(ReportLines(dlg).join(u'\n')));
        QVERIFY(!CUpDialog::BaseFits());
        dlg.SendCommand(IDC_LOAD);
        QVERIFY(Reports(dlg, report));
        QCOMPARE(Progress(dlg)->value(), 0);
        PressKey(dlg.GetDlgItem(IDC_OPEN), Qt::Key_Escape);
    });
    ui.ExpectMessage(kRefused);
    ui.ExpectFile(source);
    ui.ExpectMessage(kRefused);
    QCOMPARE(RunDialog(base), app::IDCANCEL);
    VERIFY_SCRIPT(ui);
    QCOMPARE(CUpDialog::ChosenPath(), source);
    QCOMPARE(base.FileBytes(), before);
}

void TestUpDialog::loadAgainAddsEverythingAgainAndTheChoiceOutlivesTheDialog()
{
    const Rows films = TableRows(k3Films, u"KINVORA"_s);
    const Rows debtors = Marked(TableRows(k3Films, u"DOLGI"_s));
    const QString source = CopyFixture(k3Films);
    const QString unfit = CopyFixture(u"current-format-only.mdb"_s);
    TempCatalogue base;
    ScriptedUi ui;
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(IDC_LOAD);
        dlg.SendCommand(IDC_LOAD); // asked first: "Отмена" adds nothing, "OK" adds it all again
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg).mid(4), (QStringList { kLoaded, kLoaded }));
        QCOMPARE(Progress(dlg)->value(), 5);
        PressKey(dlg.GetDlgItem(IDC_LOAD), Qt::Key_Escape);
    });
    ui.ExpectFile(source);
    ui.ExpectMessage(kAgain, app::IDCANCEL);
    ui.ExpectMessage(kAgain);
    // A later opening loads the base chosen before, without "Открыть"; the bar still counts the records.
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), QStringList { kLoaded });
        QCOMPARE(Progress(dlg)->maximum(), 5);
        QCOMPARE(Progress(dlg)->value(), 5);
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectMessage(kAgain);
    // A cancelled choice keeps the earlier one; an unfit choice replaces it and loading is refused.
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        QCOMPARE(CUpDialog::ChosenPath(), source);
        QVERIFY(CUpDialog::BaseFits());
        dlg.SendCommand(IDC_OPEN);
        QCOMPARE(CUpDialog::ChosenPath(), unfit);
        dlg.SendCommand(IDC_LOAD);
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(QString());
    ui.ExpectFile(unfit);
    ui.ExpectMessage(kRefused);
    for (int run = 0; run < 3; ++run)
        RunDialog(base);
    VERIFY_SCRIPT(ui);
    QCOMPARE(base.Rows(u"KINVORA11"_s), films + films + films);
    QCOMPARE(base.Rows(u"DOLGI"_s), debtors + debtors + debtors);
}

void TestUpDialog::failureHalfWayAddsNothing_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("table"); // refuses inserts once it holds `failAt` rows
    QTest::addColumn<int>("failAt");
    QTest::addColumn<QString>("why");
    QTest::newRow("second film") << CopyFixture(k3Films) << u"KINVORA11"_s << 2 << u"диск переполнен"_s;
    QTest::newRow("last debtor, every film written") << CopyFixture(k3Films) << u"DOLGI"_s << 2 << u"диск переполнен"_s;

    // Films that pass the check but cannot be read at the load: libmdb goes round a memo chain for ever
    // when a piece names itself as the next, and the helper is cut off. Film 5000's comment is 12000 bytes:
    // its memo header is that length and no flags, followed by the page and row of the first piece.
    QByteArray bytes = ReadBytes(FixturePath(u"jet/prev-large.mdb"_s));
    const qsizetype header = bytes.indexOf(QByteArray("\xe0\x2e\x00\x00", 4));
    const auto u8 = [&bytes](qsizetype at) { return quint32(uchar(bytes.at(at))); };
    const quint32 pageRow = u8(header + 4) | u8(header + 5) << 8 | u8(header + 6) << 16 | u8(header + 7) << 24;
    const qsizetype page = qsizetype(pageRow >> 8) * 4096;
    const int row = int(pageRow & 0xff);
    // The piece becomes the row's last four bytes, holding its own page and row.
    const int end = row == 0 ? 4096 : int((u8(page + 12 + 2 * row) | u8(page + 13 + 2 * row) << 8) & 0x1fff);
    bytes[page + 14 + 2 * row] = char((end - 4) & 0xff);
    bytes[page + 15 + 2 * row] = char((end - 4) >> 8);
    for (int i = 0; i < 4; ++i)
        bytes[page + end - 4 + i] = char((pageRow >> (8 * i)) & 0xff);
    WriteBytes(m_sources.filePath(u"looping.mdb"_s), bytes);
    QTest::newRow("films unreadable") << m_sources.filePath(u"looping.mdb"_s) << QString() << 0 << u"прервано"_s;
}

void TestUpDialog::failureHalfWayAddsNothing()
{
    QFETCH(QString, source);
    QFETCH(QString, table);
    QFETCH(int, failAt);
    QFETCH(QString, why);
    import::CMdbReader::SetIdleTimeoutMs(3000);
    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    base.AddDebtor(kOwnDebtor);
    if (!table.isEmpty())
        base.Execute(u"CREATE TRIGGER refuse BEFORE INSERT ON %1 WHEN (SELECT count(*) FROM %1) >= %2 "
                     "BEGIN SELECT RAISE(ABORT, 'диск переполнен'); END"_s.arg(table)
                         .arg(failAt));
    ScriptedUi ui;
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        QVERIFY(CUpDialog::BaseFits());
        dlg.SendCommand(IDC_LOAD);
        const QStringList parts { u"База Открыта"_s, u"Проверка"_s, u"фильмов"_s, u"должников"_s,
            u"База не загружена, ничего не добавлено."_s, why };
        QVERIFY2(Reports(dlg, parts) && ReportLines(dlg)[5].contains(table), qPrintable(ReportLines(dlg).join(u'\n')));
        QCOMPARE(Progress(dlg)->value(), 0);
        QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm });
        QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor });
        // Nothing half-copied to duplicate: once the fault is gone, a second try adds each record once.
        if (!table.isEmpty()) {
            base.Execute(u"DROP TRIGGER refuse"_s);
            dlg.SendCommand(IDC_LOAD);
            QCOMPARE(ReportLines(dlg).last(), kLoaded);
        }
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(source);
    RunDialog(base);
    VERIFY_SCRIPT(ui);
    if (!table.isEmpty()) {
        QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm } + TableRows(k3Films, u"KINVORA"_s));
        QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor } + Marked(TableRows(k3Films, u"DOLGI"_s)));
    }
}

void TestUpDialog::mainWindowRebuildsAfterOk()
{
    const QString source = CopyFixture(k3Films);
    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    base.EnterDir();
    ScriptedUi ui;
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& main) {
        app::CStatusBar* bar = main.StatusBar();
        QVERIFY(!main.GetDlgItem(1041)->isVisible());
        // Esc after a load: the list and the counters stay as they were until the next rebuild.
        main.SendCommand(1011);
        QCOMPARE(base.Count(u"KINVORA11"_s), 4);
        QCOMPARE(ListRows(main.FilmList()).size(), 1);
        QCOMPARE(bar->GetPaneText(0), u"Колличество фильмов: 1"_s);
        QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 0"_s);
        // "OK": the list is rebuilt in record order, the counters and the debtor indicator follow.
        main.SendCommand(1011);
        const Rows rows = ListRows(main.FilmList());
        QCOMPARE(rows.size(), 7);
        QCOMPARE(rows[0][0], kOwnFilm[0]);
        QCOMPARE(rows[1][0], u"Брат"_s);
        QCOMPARE(rows[6].mid(0, 2), R(u"Покровские ворота|Мелодрама"));
        QCOMPARE(bar->GetPaneText(0), u"Колличество фильмов: 7"_s);
        QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 4"_s);
        QVERIFY(main.GetDlgItem(1041)->isVisible());
        main.EndDialog(app::IDCANCEL);
    });
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        QCOMPARE(dlg.m_strBasePath, base.BasePath());
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(IDC_LOAD);
        PressKey(dlg.GetDlgItem(IDC_LOAD), Qt::Key_Escape);
    });
    ui.ExpectFile(source);
    ui.ExpectDialog<CUpDialog>([&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_LOAD);
        QTest::mouseClick(dlg.GetDlgItem(app::IDOK), Qt::LeftButton);
    });
    ui.ExpectMessage(kAgain);
    CVidarroDlg main;
    main.DoModal();
    VERIFY_SCRIPT(ui);
}

QTEST_MAIN(TestUpDialog)
#include "test_updialog.moc"
