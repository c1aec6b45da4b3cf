// The daily backup before the day's first write, its rotation, the health check and restoring a copy.
#include "data/backup.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace data;

namespace {
const QDateTime kDay(QDate(2026, 3, 1), QTime(10, 0));

void Append(const QString& path, QLatin1String table, QLatin1String field, const QString& value)
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    rs.Open(table);
    rs.AddNew();
    rs.SetFieldValue(field, value);
    rs.Update();
}

QStringList Titles(const QString& path)
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    QStringList titles;
    for (rs.Open(table::Films); !rs.IsEOF(); rs.MoveNext())
        titles << rs.GetFieldValue(field::NameFilm);
    return titles;
}

QStringList Numbers(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QString::number(i);
    return list;
}

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Zeroes the film table's page (the first table made): the file still opens, quick_check finds it.
void DamageFilmTable(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QByteArray header = f.read(18);
    const int pageSize = (uchar(header[16]) << 8) | uchar(header[17]);
    f.seek(pageSize);
    f.write(QByteArray(pageSize, '\0'));
}

// A catalogue with films "1".."n", checked as at start-up on kDay.
struct Base {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("BaseFilm.mdb"));
    explicit Base(int films)
    {
        CreateCatalogue(path, nullptr);
        for (const QString& title : Numbers(films))
            Append(path, table::Films, field::NameFilm, title);
        ForgetBackupRun();
        SetBackupClock(kDay);
    }
    QString Backup(const QString& name = {}) const { return dir.filePath(QStringLiteral("Backup/") + name); }
    QStringList Files() const { return QDir(Backup()).entryList(QDir::Files, QDir::Name); }
};
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstWriteOfADayMakesOneCopyHoldingEveryRow()
    {
        Base b(3);
        QVERIFY(!QFileInfo::exists(b.Backup())); // not checked in this run: a file being made is left alone
        QVERIFY(CheckCatalogue(b.path).ok);
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("4"));
        Append(b.path, table::Debtors, field::Name, QStringLiteral("Иванов"));
        ForgetBackupRun(); // a second run the same day
        QVERIFY(CheckCatalogue(b.path).ok);
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("5"));
        QCOMPARE(b.Files(), QStringList { QStringLiteral("BaseFilm-2026-03-01.mdb") });
        QCOMPARE(Titles(b.Backup(QStringLiteral("BaseFilm-2026-03-01.mdb"))), Numbers(3));

        SetBackupClock(kDay.addDays(1));
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("6"));
        const std::vector<BackupCopy> copies = ListBackups(b.path, true);
        QCOMPARE(copies.size(), size_t(2));
        QCOMPARE(copies[0].date, QDate(2026, 3, 2));
        QCOMPARE(copies[0].films, 5);
        QCOMPARE(copies[1].films, 3);
    }

    void rotationKeepsTenAndTheNewestGoodCopy_data()
    {
        QTest::addColumn<bool>("damagedSinceStart");
        QTest::newRow("fresh copy good") << false;
        QTest::newRow("only the oldest copy good") << true;
    }
    void rotationKeepsTenAndTheNewestGoodCopy()
    {
        QFETCH(bool, damagedSinceStart);
        Base b(3);
        QVERIFY(CheckCatalogue(b.path).ok);
        QDir().mkpath(b.Backup());
        const QStringList others { QStringLiteral("BaseFilm-2026-1-1.mdb"), QStringLiteral("basefilm-2026-01-01.mdb"),
            QStringLiteral("BaseFilm-2026-02-01.mdb.tmp"),
            QStringLiteral("BaseFilm-before-restore-2026-01-01-120000.mdb"), QStringLiteral("notes.txt") };
        QStringList kept = others;
        for (int day = 1; day <= 12; ++day) {
            const QString name = QStringLiteral("BaseFilm-2026-02-%1.mdb").arg(day, 2, 10, QLatin1Char('0'));
            QFile::copy(b.path, b.Backup(name));
            if (damagedSinceStart && day > 1)
                DamageFilmTable(b.Backup(name));
            if (day >= 4 || (damagedSinceStart && day == 1))
                kept << name;
        }
        for (const QString& name : others.mid(0, 4))
            QFile::copy(b.path, b.Backup(name));
        QFile(b.Backup(others.last())).open(QIODevice::WriteOnly);
        if (damagedSinceStart)
            DamageFilmTable(b.path);
        Append(b.path, table::Debtors, field::Name, QStringLiteral("Иванов"));
        kept << QStringLiteral("BaseFilm-2026-03-01.mdb");
        kept.sort();
        QCOMPARE(b.Files(), kept);
    }

    void failingBackupStillWritesAndWarnsOnce()
    {
        Base b(1);
        QFile(b.Backup().chopped(1)).open(QIODevice::WriteOnly); // a file where the folder should be
        QStringList warnings;
        SetBackupFailureNotifier([&](const QString& text) { warnings << text; });
        QVERIFY(CheckCatalogue(b.path).ok);
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("2"));
        SetBackupClock(kDay.addDays(1));
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("3"));
        SetBackupFailureNotifier({});
        QCOMPARE(Titles(b.path).size(), 3);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith(QStringLiteral("Не удалось сделать резервную копию")), qPrintable(warnings[0]));
    }

    void damageIsFoundAndTheNewestCopyRestored()
    {
        Base b(3);
        QVERIFY(CheckCatalogue(b.path).ok);
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("4"));
        SetBackupClock(kDay.addDays(1));
        Append(b.path, table::Films, field::NameFilm, QStringLiteral("abcdef"));
        // A changed letter inside a value is no damage to the file's structure.
        QFile f(b.path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QByteArray bytes = f.readAll();
        f.seek(bytes.indexOf("abcdef"));
        f.write("abcdeg");
        f.close();
        QVERIFY(CheckCatalogue(b.path).ok);

        DamageFilmTable(b.path);
        const Health health = CheckCatalogue(b.path);
        QVERIFY(!health.ok && !health.details.isEmpty());
        SetBackupClock(kDay.addDays(2));
        Append(b.path, table::Debtors, field::Name, QStringLiteral("Иванов")); // no copy of a damaged file
        QCOMPARE(b.Files().size(), 2);
        const QByteArray damaged = Bytes(b.path);

        const QString newest = ListBackups(b.path, false).front().path;
        QString error, kept;
        QVERIFY2(RestoreBackup(b.path, newest, RestoreReason::Damaged, &error, &kept), qPrintable(error));
        QCOMPARE(kept, b.Backup(QStringLiteral("BaseFilm-damaged-2026-03-03-100000.mdb")));
        QCOMPARE(Bytes(kept), damaged);
        QCOMPARE(Titles(b.path), Numbers(4));

        DamageFilmTable(newest); // a damaged copy is refused and nothing changes
        QVERIFY(!RestoreBackup(b.path, newest, RestoreReason::ByHand, &error));
        QVERIFY2(error.contains(QStringLiteral("повреждена")), qPrintable(error));
        QCOMPARE(Titles(b.path).size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
