// Loading a previous-version base through its dialog: the genuine Jet fixtures and SQLite bases of the
// same shape, the check, the report, the progress bar, the state kept between openings, a copy that
// fails half-way, damaged files, and the main window's launcher.
#include "scripted.h"
#include "testbase.h"

#include "app/vidarrodlg.h"
#include "import/mdbreader.h"
#include "import/updialog.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Rows = QList<QStringList>;

enum : int { IDC_OPEN = 1000, IDC_LOAD = 1001, IDC_REPORT = 1015, IDC_PROGRESS = 1043 };

const QString kOpened = u"База Открыта"_s;
const QString kChecked = u"Проверка завершена."_s;
const QString kLoaded = u"База загружена."_s;
const QString kNoBase = u"Базы нету."_s;
const QString kUnfit = u"Ошибка база не подходит."_s;
const QString kRefused = u"База не может быть загружена!"_s;
const QString kNoDebtorTable = u"В базе нет таблицы должников."_s;
const QString kNotLoaded = u"База не загружена, ничего не добавлено."_s;
const QString kDebtorsNotLoaded = u"Должники не загружены: в базе нет таблицы должников."_s;

QString Films(int n)
{
    return u"Записей фильмов: %1"_s.arg(n);
}
QString Debtors(int n)
{
    return u"Записей должников: %1"_s.arg(n);
}

QStringList ReportLines(const CUpDialog& dlg)
{
    QStringList lines;
    const auto* list = dlg.Item<QListWidget>(IDC_REPORT);
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

QProgressBar* Progress(const CUpDialog& dlg)
{
    return dlg.Item<QProgressBar>(IDC_PROGRESS);
}

// Debtor rows as the catalogue holds them after a copy: the mark "N" appended.
Rows Marked(const Rows& debtors)
{
    Rows rows;
    for (const QStringList& d : debtors)
        rows << d + QStringList { u"N"_s };
    return rows;
}

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// With VIDARRO_SCREENSHOTS set to a folder, the window as it looks is saved there for a person to judge.
void Shot(QWidget& window, const QString& name)
{
    const QString dir = qEnvironmentVariable("VIDARRO_SCREENSHOTS");
    if (!dir.isEmpty())
        window.grab().save(QDir(dir).filePath(name + u".png"_s));
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The previous-version fixtures, every value as their manifest gives it (NULL arrives as "").
struct SPrevFixture {
    QString file;
    Rows films;
    Rows debtors;
    QStringList report; // after "Открыть" and "Загрузить"
};

QList<SPrevFixture> PrevFixtures()
{
    return {
        { u"prev-3films-2debtors.mdb"_s,
            { { u"Брат"_s, u"Алексей Балабанов"_s, u"Сергей Бодров-младший, Виктор Сухоруков, Светлана Письмиченко"_s,
                  u"Драма"_s, u"9"_s, u"DVD"_s, u"96 мин"_s,
                  u"Классика девяностых.\r\nДиск в коробке №3.\r\nВзял у Фёдора."_s },
                { u"Ёлки"_s, u"Тимур Бекмамбетов"_s, u"Иван Ургант, Сергей Светлаков, Вера Брежнева"_s, u"Комедия"_s,
                    u"n/d"_s, u"Flash"_s, u"90 мин"_s, u""_s },
                { u"Покровские ворота"_s, u"Михаил Козаков"_s, u"Олег Меньшиков, Инна Ульянова, Леонид Броневой"_s,
                    u"Мелодрама"_s, u"10"_s, u"VHS"_s, u"  137 мин  "_s, u"Подарок от Семёна"_s } },
            { { u"Иванов Петр"_s, u"Брат"_s, u"12.03.2007"_s },
                { u"Семёнова Алёна"_s, u"Покровские ворота"_s, u"1 марта"_s } },
            { kOpened, kChecked, Films(3), Debtors(2), kLoaded } },
        // An empty film table: no count line at all, yet the debtors are copied.
        { u"prev-empty-films.mdb"_s, {},
            { { u"Кузнецов Олег"_s, u"Сталкер"_s, u"05.11.2008"_s },
                { u"Ёжиков Артём"_s, u"Кин-дза-дза!"_s, u"28 февраля"_s } },
            { kOpened, kChecked, kLoaded } },
        // No debtor table: the films are copied and the report says what is missing.
        { u"prev-no-debtors-table.mdb"_s,
            { { u"Служебный роман"_s, u"Эльдар Рязанов"_s, u"Андрей Мягков, Алиса Фрейндлих, Олег Басилашвили"_s,
                  u"Комедия"_s, u"9"_s, u"DVD"_s, u"159 мин"_s, u"Две серии на одном диске"_s },
                { u"Ирония судьбы, или С лёгким паром!"_s, u"Эльдар Рязанов"_s,
                    u"Андрей Мягков, Барбара Брыльска, Юрий Яковлев"_s, u"Мелодрама"_s, u"10"_s, u"VHS"_s, u"184 мин"_s,
                    u"Смотреть 31 декабря"_s } },
            {}, { kOpened, kChecked, Films(2), kNoDebtorTable, kDebtorsNotLoaded, kLoaded } },
        // NULL and "" both arrive as "", a numeric rating as its digits; no "n/d" put in.
        { u"prev-nulls-and-numbers.mdb"_s,
            { { u"Бриллиантовая рука"_s, u"Леонид Гайдай"_s, u""_s, u"Комедия"_s, u"7"_s, u""_s, u"94 мин"_s,
                  u"Шедевр Гайдая"_s },
                { u"Девчата"_s, u""_s, u"Надежда Румянцева, Николай Рыбников"_s, u""_s, u"10"_s, u"DVD"_s, u""_s,
                    u""_s } },
            { { u"Васильев Игорь"_s, u"Девчата"_s, u""_s } }, { kOpened, kChecked, Films(2), Debtors(1), kLoaded } },
    };
}

// prev-large.mdb: every value follows these rules (see the fixtures' manifest).
const QStringList kT = { u"Ёжик в тумане"_s, u"Тёмная ночь"_s, u"Зимняя вишня"_s, u"Осенний марафон"_s,
    u"Берёзовая роща"_s, u"Летучий корабль"_s, u"Жёлтый дом"_s, u"Щит и меч"_s, u"Семнадцать мгновений"_s,
    u"Юность Петра"_s, u"Чёрная кошка"_s };
const QStringList kD = { u"Андрей Тарковский"_s, u"Георгий Данелия"_s, u"Эльдар Рязанов"_s, u"Леонид Гайдай"_s,
    u"Никита Михалков"_s, u"Алексей Герман"_s, u"Сергей Бондарчук"_s };
const QStringList kA = { u"Олег Янковский"_s, u"Евгений Леонов"_s, u"Андрей Миронов"_s, u"Людмила Гурченко"_s,
    u"Анатолий Папанов"_s, u"Фёдор Бондарчук"_s, u"Инна Чурикова"_s, u"Юрий Никулин"_s, u"Татьяна Самойлова"_s };
const QStringList kG = { u"Комедия"_s, u"Боевик"_s, u"Ужасы"_s, u"Фантастика"_s, u"Мультфильм"_s, u"Клипы"_s,
    u"Караоке"_s, u"Драма"_s, u"Триллер"_s, u"Документальный фильм"_s, u"Мелодрама"_s, u"Эротика"_s, u"Порнография"_s };
const QStringList kM = { u"DVD"_s, u"CD"_s, u"VCD"_s, u"Super VCD"_s, u"VHS"_s, u"Flash"_s, u"Черный ящик"_s };
const QStringList kS = { u"Иванов"_s, u"Петров"_s, u"Сидоров"_s, u"Ёлкин"_s, u"Смирнов"_s, u"Кузнецов"_s, u"Попов"_s,
    u"Соколов"_s, u"Лебедев"_s };
const QStringList kN = { u"Петр"_s, u"Алексей"_s, u"Фёдор"_s, u"Семён"_s, u"Олег"_s, u"Артём"_s, u"Игорь"_s };

QString LargeFilmName(int i)
{
    return u"Фильм №"_s + u"%1"_s.arg(i, 5, 10, QLatin1Char('0')) + u" «"_s + kT[i % 11] + u"»"_s;
}

QStringList LargeFilm(int i)
{
    QString comment;
    if (i == 5000 || i == 10000 || i == 15000) {
        comment = u"Длинный комментарий №"_s + QString::number(i) + u":"_s;
        while (comment.size() < 6000)
            comment += u" Ёлочка"_s;
        comment.truncate(6000);
    } else {
        comment = u"Комментарий к фильму №"_s + QString::number(i);
        if (i % 10 == 0)
            comment += u"\r\nВторая строка."_s;
    }
    return { LargeFilmName(i), kD[i % 7], kA[i % 9] + u", "_s + kA[(7 * i + 4) % 9], kG[i % 13],
        QString::number(i % 11), kM[i % 7], QString::number(80 + i % 100) + u" мин"_s, comment };
}

QStringList LargeDebtor(int j)
{
    const QString date = u"%1.%2.%3"_s.arg(1 + j % 28, 2, 10, QLatin1Char('0'))
                             .arg(1 + j % 12, 2, 10, QLatin1Char('0'))
                             .arg(2005 + j % 5);
    return { kS[j % 9] + u" "_s + kN[j % 7] + u" (должник "_s + u"%1"_s.arg(j, 4, 10, QLatin1Char('0')) + u")"_s,
        LargeFilmName(4 * j), date, u"N"_s };
}

// An SQLite base shaped like a previous-version one. `films` rows get an integer rating column, so a
// number, a NULL and texts all occur; `filmTable` is the film table's name.
bool MakeSqliteBase(const QString& path, const QString& filmTable, int films, int debtors)
{
    bool ok = true;
    const QString name = u"make-prev-sqlite"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        // Debtors first: the file's own order is not alphabetical.
        ok = ok && q.exec(u"CREATE TABLE DOLGI (NAME TEXT, NAMEFILM TEXT, DATA TEXT)"_s);
        ok = ok
            && q.exec(u"CREATE TABLE \"%1\" (NAMEFILM TEXT, REZISSER TEXT, ROLI TEXT, ZANR TEXT, REITING INTEGER,"
                      " NOSITEL TEXT, PRODOL TEXT, KOMENTAR TEXT)"_s.arg(filmTable));
        ok = ok && q.exec(u"BEGIN"_s);
        ok = ok && q.prepare(u"INSERT INTO \"%1\" VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(filmTable));
        for (int i = 1; ok && i <= films; ++i) {
            const QVariantList values { u"Фильм %1"_s.arg(i), i % 5 == 0 ? QVariant() : QVariant(u"Режиссёр"_s),
                u"Роли\r\nвторая строка"_s, u"Драма"_s, i % 11, u"DVD"_s, u""_s, u"n/d"_s };
            for (int c = 0; c < values.size(); ++c)
                q.bindValue(c, values[c]);
            ok = q.exec();
        }
        ok = ok && q.prepare(u"INSERT INTO DOLGI VALUES (?, ?, ?)"_s);
        for (int j = 1; ok && j <= debtors; ++j) {
            q.bindValue(0, u"Должник %1"_s.arg(j));
            q.bindValue(1, u"Фильм %1"_s.arg(j));
            q.bindValue(2, j % 2 ? QVariant(u"01.02.2003"_s) : QVariant());
            ok = q.exec();
        }
        ok = ok && q.exec(u"COMMIT"_s);
        if (!ok)
            qWarning("%s", qUtf8Printable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QStringList SqliteFilm(int i)
{
    return { u"Фильм %1"_s.arg(i), i % 5 == 0 ? u""_s : u"Режиссёр"_s, u"Роли\r\nвторая строка"_s, u"Драма"_s,
        QString::number(i % 11), u"DVD"_s, u""_s, u"n/d"_s };
}

QStringList SqliteDebtor(int j)
{
    return { u"Должник %1"_s.arg(j), u"Фильм %1"_s.arg(j), j % 2 ? u"01.02.2003"_s : u""_s, u"N"_s };
}

// What the catalogue held before a load; each test starts from it.
const QStringList kOwnFilm { u"Свой фильм"_s, u"Свой режиссёр"_s, u"n/d"_s, u"Драма"_s, u"5"_s, u"DVD"_s, u"90 мин"_s,
    u"n/d"_s };
const QStringList kOwnDebtor { u"Свой должник"_s, u"Свой фильм"_s, u"n/d"_s, u"B"_s };

} // namespace

class TestUpDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void fixturesLoadAsTheirManifestSays_data();
    void fixturesLoadAsTheirManifestSays();
    void largeFixtureLoadsWhole();
    void sqliteBaseOfTheSameShapeBeyondSixteenBits();
    void checkMatchesTheFilmTableExactly_data();
    void checkMatchesTheFilmTableExactly();
    void loadWithoutACheckedBaseIsRefused();
    void loadAgainAddsEverythingAgainAndTheChoiceOutlivesTheDialog();
    void failureHalfWayAddsNothing_data();
    void failureHalfWayAddsNothing();
    void damagedFilesNeverCrash();
    void mainWindowRebuildsAfterOk();

private:
    QString CopyFixture(const QString& file, const QString& as = {});
    // The next window the test expects is the import dialog; `script` acts on it and must end it.
    static void ExpectUpDialog(ScriptedUi& ui, const std::function<void(CUpDialog&)>& script);
    // Runs the dialog on the catalogue, as the main window does.
    static int RunDialog(const TempCatalogue& base);
    QTemporaryDir m_sources;
};

void TestUpDialog::init()
{
    // Each test starts as a fresh program run would.
    CUpDialog::ResetImportState();
    import::CMdbReader::SetIdleTimeoutMs(15000);
    QVERIFY(m_sources.isValid());
}

QString TestUpDialog::CopyFixture(const QString& file, const QString& as)
{
    // The genuine files are never touched: every test works on its own copy.
    const QString target = m_sources.filePath(as.isEmpty() ? file : as);
    QFile::remove(target);
    if (!QFile::copy(FixturePath(u"jet/"_s + file), target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

void TestUpDialog::ExpectUpDialog(ScriptedUi& ui, const std::function<void(CUpDialog&)>& script)
{
    ui.ExpectDialog<CUpDialog>([script](CUpDialog& dlg) {
        // The dialog starts empty, with the platform's default progress range.
        if (ReportLines(dlg).isEmpty() && Progress(dlg)->maximum() == 100 && Progress(dlg)->value() == 0
            && dlg.focusWidget() == dlg.GetDlgItem(IDC_OPEN))
            script(dlg);
        else
            QFAIL("the dialog does not start empty, or \"Открыть\" lacks the focus");
    });
}

int TestUpDialog::RunDialog(const TempCatalogue& base)
{
    CUpDialog dlg;
    dlg.m_strBasePath = base.BasePath();
    return dlg.DoModal();
}

void TestUpDialog::fixturesLoadAsTheirManifestSays_data()
{
    QTest::addColumn<int>("index");
    const QList<SPrevFixture> fixtures = PrevFixtures();
    for (int i = 0; i < fixtures.size(); ++i)
        QTest::newRow(qPrintable(fixtures[i].file)) << i;
}

void TestUpDialog::fixturesLoadAsTheirManifestSays()
{
    QFETCH(int, index);
    const SPrevFixture fixture = PrevFixtures().at(index);
    const QString source = CopyFixture(fixture.file);
    QVERIFY(!source.isEmpty());
    const QByteArray sourceBytes = Bytes(source);

    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    base.AddDebtor(kOwnDebtor);
    base.AddBlack(u"Сидоров"_s, u"Не вернул"_s);
    const Rows blackBefore = base.Rows(u"BLACKSPISOK"_s);

    const int films = int(fixture.films.size());
    const int debtors = int(fixture.debtors.size());
    const int checkLines = int(fixture.report.size()) - (fixture.file == u"prev-no-debtors-table.mdb"_s ? 2 : 1);
    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        QCOMPARE(ReportLines(dlg), fixture.report.mid(0, checkLines));
        QVERIFY(CUpDialog::BaseFits());
        QCOMPARE(CUpDialog::ChosenPath(), source);
        // The range is the counted total; an empty film table counts nothing, and the bar stays empty.
        QCOMPARE(Progress(dlg)->maximum(), films ? films + debtors : 1);
        QCOMPARE(Progress(dlg)->value(), 0);

        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), fixture.report);
        // One step per copied record, and the bar full at the end.
        QCOMPARE(Progress(dlg)->maximum(), std::max(films + debtors, 1));
        QCOMPARE(Progress(dlg)->value(), films + debtors);
        Shot(dlg, u"updialog-"_s + QString::number(index));
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(source);
    const int result = RunDialog(base);
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);

    // Appended after what was there, in the source's order, values unchanged, every debtor marked "N".
    QCOMPARE(base.Rows(u"KINVORA11"_s), Rows { kOwnFilm } + fixture.films);
    QCOMPARE(base.Rows(u"DOLGI"_s), Rows { kOwnDebtor } + Marked(fixture.debtors));
    QCOMPARE(base.Rows(u"BLACKSPISOK"_s), blackBefore);
    QCOMPARE(Bytes(source), sourceBytes);
}

void TestUpDialog::largeFixtureLoadsWhole()
{
    const QString source = CopyFixture(u"prev-large.mdb"_s);
    TempCatalogue base;
    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), (QStringList { kOpened, kChecked, Films(20000), Debtors(5000), kLoaded }));
        QCOMPARE(Progress(dlg)->maximum(), 25000);
        QCOMPARE(Progress(dlg)->value(), 25000);
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(source);
    RunDialog(base);
    VERIFY_SCRIPT(ui);

    const Rows films = base.Rows(u"KINVORA11"_s);
    QCOMPARE(films.size(), 20000);
    for (int i = 1; i <= 20000; ++i) {
        if (films[i - 1] != LargeFilm(i))
            QCOMPARE(films[i - 1], LargeFilm(i)); // prints only a mismatch
    }
    QCOMPARE(films[9999][7].size(), 6000);
    const Rows debtors = base.Rows(u"DOLGI"_s);
    QCOMPARE(debtors.size(), 5000);
    for (int j = 1; j <= 5000; ++j) {
        if (debtors[j - 1] != LargeDebtor(j))
            QCOMPARE(debtors[j - 1], LargeDebtor(j));
    }
}

void TestUpDialog::sqliteBaseOfTheSameShapeBeyondSixteenBits()
{
    // More records than a 16-bit progress range holds; the kind is told by content, not by the name.
    constexpr int kFilms = 33000;
    constexpr int kDebtors = 700;
    const QString source = m_sources.filePath(u"old-sqlite.mdb"_s);
    QFile::remove(source);
    QVERIFY(MakeSqliteBase(source, u"KINVORA"_s, kFilms, kDebtors));
    const QByteArray sourceBytes = Bytes(source);

    TempCatalogue base;
    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        QCOMPARE(Progress(dlg)->maximum(), kFilms + kDebtors);
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), (QStringList { kOpened, kChecked, Films(kFilms), Debtors(kDebtors), kLoaded }));
        QCOMPARE(Progress(dlg)->value(), kFilms + kDebtors);
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(source);
    RunDialog(base);
    VERIFY_SCRIPT(ui);

    const Rows films = base.Rows(u"KINVORA11"_s);
    QCOMPARE(films.size(), kFilms);
    for (int i = 1; i <= kFilms; ++i) {
        if (films[i - 1] != SqliteFilm(i))
            QCOMPARE(films[i - 1], SqliteFilm(i));
    }
    const Rows debtors = base.Rows(u"DOLGI"_s);
    QCOMPARE(debtors.size(), kDebtors);
    for (int j = 1; j <= kDebtors; ++j) {
        if (debtors[j - 1] != SqliteDebtor(j))
            QCOMPARE(debtors[j - 1], SqliteDebtor(j));
    }
    QCOMPARE(Bytes(source), sourceBytes);
}

void TestUpDialog::checkMatchesTheFilmTableExactly_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("report");
    // The current format has KINVORA11 only; a name in another letter case is not the film table.
    QTest::newRow("current format only") << CopyFixture(u"current-format-only.mdb"_s)
                                         << QStringList { kOpened, kUnfit };
    QTest::newRow("complete current catalogue")
        << CopyFixture(u"current-base-jet.mdb"_s) << QStringList { kOpened, kUnfit };
    const QString lower = m_sources.filePath(u"lower-case.mdb"_s);
    QFile::remove(lower);
    MakeSqliteBase(lower, u"kinvora"_s, 2, 1);
    QTest::newRow("kinvora in lower case") << lower << QStringList { kOpened, kUnfit };
    const QString extended = m_sources.filePath(u"kinvora-plus.mdb"_s);
    QFile::remove(extended);
    MakeSqliteBase(extended, u"KINVORA1"_s, 2, 1);
    QTest::newRow("a longer name") << extended << QStringList { kOpened, kUnfit };
}

void TestUpDialog::checkMatchesTheFilmTableExactly()
{
    QFETCH(QString, source);
    QFETCH(QStringList, report);
    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    const QByteArray before = base.FileBytes();
    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        QCOMPARE(ReportLines(dlg), report);
        QVERIFY(!CUpDialog::BaseFits());
        QCOMPARE(Progress(dlg)->value(), 0);
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), report);
        PressKey(dlg.GetDlgItem(IDC_OPEN), Qt::Key_Escape);
    });
    ui.ExpectFile(source);
    ui.ExpectMessage(kRefused);
    RunDialog(base);
    VERIFY_SCRIPT(ui);
    QCOMPARE(base.FileBytes(), before);
}

void TestUpDialog::loadWithoutACheckedBaseIsRefused()
{
    TempCatalogue base;
    const QByteArray before = base.FileBytes();
    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_LOAD);
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(IDC_LOAD);
        QVERIFY(ReportLines(dlg).isEmpty());
        QCOMPARE(Progress(dlg)->maximum(), 100);
        PressKey(dlg.GetDlgItem(IDC_LOAD), Qt::Key_Escape);
    });
    ui.ExpectMessage(kRefused);
    ui.ExpectFile(QString()); // "Открыть" cancelled: nothing changes
    ui.ExpectMessage(kRefused);
    const int result = RunDialog(base);
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
    QVERIFY(CUpDialog::ChosenPath().isEmpty());
    QCOMPARE(base.FileBytes(), before);

    // What the file dialog is asked for: its title and its one filter.
    QStringList asked;
    ScriptedUi answers;
    ExpectUpDialog(answers, [&](CUpDialog& dlg) {
        app::SetFileDialogHook([&](const QString& title, const QString& filter) {
            asked << title << filter;
            return QString();
        });
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(app::IDOK);
    });
    RunDialog(base);
    VERIFY_SCRIPT(answers);
    QCOMPARE(asked, (QStringList { u"Открыть файл."_s, u"Файл базы (*.mdb)"_s }));
}

void TestUpDialog::loadAgainAddsEverythingAgainAndTheChoiceOutlivesTheDialog()
{
    const SPrevFixture fixture = PrevFixtures().at(0);
    const QString source = CopyFixture(fixture.file);
    const QString unfit = CopyFixture(u"current-format-only.mdb"_s);
    TempCatalogue base;
    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(IDC_LOAD);
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), fixture.report + QStringList { kLoaded });
        QCOMPARE(Progress(dlg)->value(), 5);
        PressKey(dlg.GetDlgItem(IDC_LOAD), Qt::Key_Escape);
    });
    ui.ExpectFile(source);
    RunDialog(base);
    QCOMPARE(base.Rows(u"KINVORA11"_s), fixture.films + fixture.films);
    QCOMPARE(base.Rows(u"DOLGI"_s), Marked(fixture.debtors + fixture.debtors));

    // A later opening loads the base chosen before, without "Открыть"; the bar still counts the records.
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg), QStringList { kLoaded });
        QCOMPARE(Progress(dlg)->maximum(), 5);
        QCOMPARE(Progress(dlg)->value(), 5);
        dlg.SendCommand(app::IDOK);
    });
    RunDialog(base);
    QCOMPARE(base.Count(u"KINVORA11"_s), 9);
    QCOMPARE(base.Count(u"DOLGI"_s), 6);

    // A cancelled choice keeps the earlier one; an unfit choice replaces it and loading is refused.
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
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
    RunDialog(base);
    VERIFY_SCRIPT(ui);
    QCOMPARE(base.Count(u"KINVORA11"_s), 9);
}

void TestUpDialog::failureHalfWayAddsNothing_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("failAt"); // the row count of the table at which the next insert is refused
    QTest::newRow("second film") << u"KINVORA11"_s << 2;
    QTest::newRow("last debtor, every film written") << u"DOLGI"_s << 2;
}

void TestUpDialog::failureHalfWayAddsNothing()
{
    QFETCH(QString, table);
    QFETCH(int, failAt);
    const SPrevFixture fixture = PrevFixtures().at(0);
    const QString source = CopyFixture(fixture.file);
    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    base.AddDebtor(kOwnDebtor);
    base.Execute(u"CREATE TRIGGER refuse BEFORE INSERT ON %1 WHEN (SELECT count(*) FROM %1) >= %2 "
                 "BEGIN SELECT RAISE(ABORT, 'диск переполнен'); END"_s.arg(table)
                     .arg(failAt));
    const Rows films = base.Rows(u"KINVORA11"_s);
    const Rows debtors = base.Rows(u"DOLGI"_s);

    ScriptedUi ui;
    ExpectUpDialog(ui, [&](CUpDialog& dlg) {
        dlg.SendCommand(IDC_OPEN);
        dlg.SendCommand(IDC_LOAD);
        const QStringList lines = ReportLines(dlg);
        QCOMPARE(lines.mid(0, 4), fixture.report.mid(0, 4));
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[4], kNotLoaded);
        QVERIFY2(lines[5].contains(u"диск переполнен"_s) && lines[5].contains(table), qPrintable(lines[5]));
        QCOMPARE(Progress(dlg)->value(), 0);
        QVERIFY(CUpDialog::BaseFits());
        Shot(dlg, u"updialog-failed-"_s + table);
        // Nothing half-copied to duplicate: once the fault is gone, a second try adds each record once.
        QCOMPARE(base.Rows(u"KINVORA11"_s), films);
        QCOMPARE(base.Rows(u"DOLGI"_s), debtors);
        base.Execute(u"DROP TRIGGER refuse"_s);
        dlg.SendCommand(IDC_LOAD);
        QCOMPARE(ReportLines(dlg).last(), kLoaded);
        dlg.SendCommand(app::IDOK);
    });
    ui.ExpectFile(source);
    RunDialog(base);
    VERIFY_SCRIPT(ui);
    QCOMPARE(base.Rows(u"KINVORA11"_s), films + fixture.films);
    QCOMPARE(base.Rows(u"DOLGI"_s), debtors + Marked(fixture.debtors));
}

void TestUpDialog::damagedFilesNeverCrash()
{
    import::CMdbReader::SetIdleTimeoutMs(3000);
    const QByteArray jet = Bytes(FixturePath(u"jet/prev-3films-2debtors.mdb"_s));
    QVERIFY(!jet.isEmpty());

    // Files that are no base at all: the report says so and why, and loading is refused.
    struct SBad {
        QString name;
        QByteArray bytes;
        QString reason;
    };
    const QList<SBad> bad {
        { u"empty.mdb"_s, QByteArray(), u"пуст"_s },
        { u"text.mdb"_s, QByteArray("Standard Jet DB, honestly"), u"не является базой"_s },
        { u"header-only.mdb"_s, jet.left(4096), u"header-only.mdb"_s },
        { u"missing.mdb"_s, QByteArray(), u"не найден"_s },
    };
    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    const QByteArray before = base.FileBytes();
    for (const SBad& b : bad) {
        const QString path = m_sources.filePath(b.name);
        QFile::remove(path);
        if (b.name != u"missing.mdb"_s)
            QVERIFY(WriteBytes(path, b.bytes));
        ScriptedUi ui;
        ExpectUpDialog(ui, [&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_OPEN);
            const QStringList lines = ReportLines(dlg);
            QCOMPARE(lines.size(), 3);
            QCOMPARE(lines.mid(0, 2), (QStringList { kOpened, kNoBase }));
            QVERIFY2(lines[2].contains(b.reason), qPrintable(lines[2]));
            Shot(dlg, u"updialog-bad-"_s + b.name);
            QVERIFY(!CUpDialog::BaseFits());
            dlg.SendCommand(IDC_LOAD);
            dlg.SendCommand(app::IDOK);
        });
        ui.ExpectFile(path);
        ui.ExpectMessage(kRefused);
        RunDialog(base);
        VERIFY_SCRIPT(ui);
    }
    QCOMPARE(base.FileBytes(), before);

    // Damaged copies of a genuine base: whatever the check and the load make of one, the program goes on,
    // and the catalogue gets either every record the load read or nothing.
    QRandomGenerator random(160);
    const QString path = m_sources.filePath(u"damaged.mdb"_s);
    int loaded = 0;
    int refused = 0;
    for (int n = 0; n < 16; ++n) {
        QByteArray bytes = jet;
        if (n % 4 == 0) {
            bytes.truncate(random.bounded(4096, int(bytes.size())));
        } else {
            const int page = random.bounded(1, int(bytes.size() / 4096));
            for (int k = random.bounded(1, 40); k > 0; --k)
                bytes[page * 4096 + random.bounded(4096)] = char(random.bounded(256));
        }
        QVERIFY(WriteBytes(path, bytes));
        const int filmsBefore = base.Count(u"KINVORA11"_s);
        const int debtorsBefore = base.Count(u"DOLGI"_s);
        ScriptedUi ui;
        QStringList lines;
        ExpectUpDialog(ui, [&](CUpDialog& dlg) {
            dlg.SendCommand(IDC_OPEN);
            if (!CUpDialog::BaseFits()) {
                ++refused;
                dlg.SendCommand(app::IDOK);
                return;
            }
            dlg.SendCommand(IDC_LOAD);
            lines = ReportLines(dlg);
            dlg.SendCommand(app::IDOK);
        });
        ui.ExpectFile(path);
        RunDialog(base);
        VERIFY_SCRIPT(ui);
        if (lines.isEmpty()) {
            QCOMPARE(base.Count(u"KINVORA11"_s), filmsBefore);
            continue;
        }
        const Rows films = base.Rows(u"KINVORA11"_s);
        const Rows debtors = base.Rows(u"DOLGI"_s);
        if (lines.last() == kLoaded) {
            ++loaded;
            for (const QStringList& d : debtors.mid(debtorsBefore))
                QCOMPARE(d.last(), u"N"_s);
        } else {
            QCOMPARE(lines.at(lines.size() - 2), kNotLoaded);
            QCOMPARE(films.size(), filmsBefore);
            QCOMPARE(debtors.size(), debtorsBefore);
        }
    }
    qInfo("16 damaged copies: %d refused at the check, %d loaded", refused, loaded);
}

void TestUpDialog::mainWindowRebuildsAfterOk()
{
    const QString source = CopyFixture(u"prev-3films-2debtors.mdb"_s);
    TempCatalogue base;
    base.AddFilm(kOwnFilm);
    base.EnterDir();
    ScriptedUi ui;
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& main) {
        app::CStatusBar* bar = main.StatusBar();
        QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 0"_s);
        QVERIFY(!main.GetDlgItem(1041)->isVisible());
        // Esc after a load: the lists and counters stay as they were until the next rebuild.
        main.SendCommand(1011);
        QCOMPARE(main.FilmList()->GetItemCount(), 1);
        QCOMPARE(bar->GetPaneText(0), u"Колличество фильмов: 1"_s);
        QCOMPARE(base.Count(u"KINVORA11"_s), 4);
        // "OK": the list is rebuilt in record order, the counters and the debtor indicator follow.
        main.SendCommand(1011);
        app::CListCtrl* list = main.FilmList();
        QCOMPARE(list->GetItemCount(), 7);
        QCOMPARE(list->GetItemText(0, 0), kOwnFilm[0]);
        QCOMPARE(list->GetItemText(1, 0), u"Брат"_s);
        QCOMPARE(list->GetItemText(6, 0), u"Покровские ворота"_s);
        QCOMPARE(list->GetItemText(6, 1), u"Мелодрама"_s);
        QCOMPARE(bar->GetPaneText(0), u"Колличество фильмов: 7"_s);
        QCOMPARE(bar->GetPaneText(2), u"Колличество должников: 4"_s);
        QVERIFY(bar->GetPaneWidth(2) >= 190);
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
    CVidarroDlg main;
    main.DoModal();
    VERIFY_SCRIPT(ui);
}

QTEST_MAIN(TestUpDialog)
#include "test_updialog.moc"
