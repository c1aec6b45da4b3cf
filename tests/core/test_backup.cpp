// The daily backup before the day's first write, its rotation, and the health check.
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

// A record with its first field set: the first write of its connection.
void Append(const QString& path, QLatin1String table)
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    rs.Open(table);
    rs.AddNew();
    rs.SetFieldValue(FieldsOf(table)[0], QStringLiteral("Фильм"));
    rs.Update();
}

int Films(const QString& path)
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    rs.Open(table::Films);
    return rs.RecordCount();
}

// Zeroes the film table's page, the first after the schema's: the file still opens.
void Damage(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(4096) && f.write(QByteArray(4096, '\0')) == 4096);
}

// Three films, checked as at start-up on kDay.
struct Base {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("BaseFilm.mdb"));
    Base()
    {
        CreateCatalogue(path, nullptr);
        ForgetBackupRun();
        SetBackupClock(kDay);
        for (int i = 0; i < 3; ++i) // not checked yet: a catalogue still being made is not copied
            Append(path, table::Films);
        QVERIFY(!QFileInfo::exists(Backup()) && CheckCatalogue(path).ok);
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
        Base b;
        Append(b.path, table::Films);
        Append(b.path, table::Debtors);
        ForgetBackupRun(); // a second run the same day
        QVERIFY(CheckCatalogue(b.path).ok);
        Append(b.path, table::Films);
        QCOMPARE(b.Files(), QStringList { QStringLiteral("BaseFilm-2026-03-01.mdb") });
        SetBackupClock(kDay.addDays(1));
        Append(b.path, table::Films);
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
        Base b;
        QStringList kept { QStringLiteral("BaseFilm-2026-1-1.mdb"), QStringLiteral("basefilm-2026-01-01.mdb"),
            QStringLiteral("BaseFilm-2026-02-01.mdb.tmp"),
            QStringLiteral("BaseFilm-before-restore-2026-01-01-120000.mdb"),
            QStringLiteral("BaseFilm-2026-03-01.mdb") };
        QDir().mkpath(b.Backup());
        for (const QString& other : kept.mid(0, 4))
            QFile::copy(b.path, b.Backup(other));
        for (int day = 1; day <= 12; ++day) {
            const QString name = QStringLiteral("BaseFilm-2026-02-%1.mdb").arg(day, 2, 10, QLatin1Char('0'));
            QFile::copy(b.path, b.Backup(name));
            if (damagedSinceStart && day > 1)
                Damage(b.Backup(name));
            if (day >= 4 || (damagedSinceStart && day == 1))
                kept << name;
        }
        if (damagedSinceStart)
            Damage(b.path);
        Append(b.path, table::Debtors);
        kept.sort();
        QCOMPARE(b.Files(), kept);
    }

    void failingBackupStillWritesAndWarnsOnce()
    {
        Base b;
        QFile(b.Backup().chopped(1)).open(QIODevice::WriteOnly); // a file where the folder should be
        QStringList warnings;
        SetBackupFailureNotifier([&](const QString& text) { warnings << text; });
        Append(b.path, table::Films);
        SetBackupClock(kDay.addDays(1));
        Append(b.path, table::Films);
        SetBackupFailureNotifier({});
        QCOMPARE(Films(b.path), 5);
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings[0].startsWith(QStringLiteral("Не удалось сделать резервную копию")));
    }

    void damagedCatalogueIsFoundAndNotCopied()
    {
        Base b;
        Damage(b.path);
        const Health health = CheckCatalogue(b.path);
        QVERIFY(!health.ok && !health.details.isEmpty());
        Append(b.path, table::Debtors);
        QVERIFY(b.Files().isEmpty());
        QString error;
        QVERIFY(!RestoreBackup(b.dir.filePath(QStringLiteral("other.mdb")), b.path, RestoreReason::ByHand, &error));
        QVERIFY(error.contains(QStringLiteral("повреждена"))); // a damaged copy is refused
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
