// Damaged copies of previous-version bases never hang or crash the reader; test_prevbase runs only a few.
#include "prevfixtures.h"
#include "testmain.h"

#include "import/mdbreader.h"
#include "import/prevbase.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace prev;

class FuzzPrevBase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Cut short, a page zeroed or noise, or bytes changed in one page; a fixed seed.
    void damagedCopiesNeverHangOrCrash()
    {
        QTemporaryDir dir;
        import::CMdbReader::SetIdleTimeoutMs(2000);
        QList<QByteArray> sources;
        for (const QString& file :
            R(u"prev-3films-2debtors.mdb|prev-nulls-and-numbers.mdb|current-base-jet.mdb|prev-empty-films.mdb"))
            sources << ReadBytes(JetPath(file));
        QVERIFY(MakeSqliteBase(dir.filePath(u"source.db"_s), u"KINVORA"_s, 40, 20));
        sources << ReadBytes(dir.filePath(u"source.db"_s));
        const QHash<QString, QStringList> columnsOf {
            { u"KINVORA"_s, R(u"NAMEFILM|REZISSER|ROLI|ZANR|REITING|NOSITEL|PRODOL|KOMENTAR") },
            { u"DOLGI"_s, R(u"NAME|NAMEFILM|DATA") }, { u"BLACKSPISOK"_s, R(u"NAME|PRICHINA") },
            { u"MSysObjects"_s, R(u"Name") }
        };
        QRandomGenerator random(0x5EED1234);
        const QString path = dir.filePath(u"damaged.mdb"_s);
        for (int n = 0; n < VIDARRO_DAMAGED_COPIES; ++n) {
            QByteArray bytes = sources[n % sources.size()];
            const int page = random.bounded(int(bytes.size() / 4096)), kind = n / int(sources.size()) % 3;
            if (kind == 0)
                bytes.truncate(random.bounded(int(bytes.size())));
            for (int i = 0; kind == 1 && i < 4096; ++i)
                bytes[page * 4096 + i] = (n % 2) ? char(random.bounded(256)) : '\0';
            for (int k = kind == 2 ? random.bounded(1, 24) : 0; k > 0; --k)
                bytes[page * 4096 + random.bounded(4096)] = char(random.bounded(256));
            QVERIFY(WriteBytes(path, bytes));
            const auto unchanged = qScopeGuard([&] { QCOMPARE(ReadBytes(path), bytes); });
            import::CPrevBase base;
            QString error = ErrorOf([&] { base.Open(path); });
            QVERIFY2(error.isEmpty() || error.contains(u"damaged.mdb"_s), qPrintable(error));
            for (const QString& table : error.isEmpty() ? base.TableNames() : QStringList()) {
                const QStringList columns = columnsOf.value(table.startsWith(u"KINVORA"_s) ? u"KINVORA"_s : table);
                Rows rows;
                error = ErrorOf([&] { rows = base.ReadTable(table, columns); });
                QVERIFY2(error.isEmpty() || error.contains(u"damaged.mdb"_s), qPrintable(error));
                for (const QStringList& row : std::as_const(rows))
                    QCOMPARE(row.size(), columns.size());
            }
        }
    }
};

REGISTER_TEST(FuzzPrevBase)
#include "fuzz_prevbase.moc"
