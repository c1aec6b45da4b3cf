// Damaged copies of previous-version bases never hang or crash the reader. The suite's test_prevbase runs the
// first few copies; the fuzz_prevbase program the whole sweep.
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
    void damagedCopiesNeverHangOrCrash()
    {
        // Truncations, random bytes in any page or in a table definition or data page (where libmdb trusts
        // offsets most), and whole pages zeroed or noise, from a fixed seed, of the small Jet fixtures and of an
        // SQLite base (read in this process). Each copy reads cleanly or fails with a message naming it; the
        // caller never crashes and a hung helper is killed.
        QTemporaryDir dir;
        import::CMdbReader::SetIdleTimeoutMs(2000);
        QList<QByteArray> sources;
        for (const QString& file : R(u"prev-3films-2debtors.mdb|prev-nulls-and-numbers.mdb|current-base-jet.mdb|"
                                     u"prev-empty-films.mdb"))
            sources << ReadBytes(JetPath(file));
        QVERIFY(MakeSqliteBase(dir.filePath(u"source.db"_s), u"KINVORA"_s, 40, 20));
        sources << ReadBytes(dir.filePath(u"source.db"_s));
        QRandomGenerator random(0x5EED1234);
        const QString path = dir.filePath(u"damaged.mdb"_s);
        int rejected = 0, tablesRead = 0, tablesRefused = 0, hung = 0, crashed = 0;
        const auto failed = [&](const QString& error) {
            hung += error.contains(u"прервано"_s) ? 1 : 0;
            crashed += error.contains(u"аварийно"_s) ? 1 : 0;
            return error.contains(u"damaged.mdb"_s);
        };
        for (int n = 0; n < VIDARRO_DAMAGED_COPIES; ++n) {
            QByteArray bytes = sources[n % sources.size()];
            const int pages = int(bytes.size() / 4096);
            const int kind = n / int(sources.size()) % 4;
            int page = random.bounded(pages);
            if (kind == 0) {
                bytes.truncate(random.bounded(int(bytes.size())));
            } else if (kind == 3) {
                for (int i = 0; i < 4096; ++i)
                    bytes[page * 4096 + i] = (n % 2) ? char(random.bounded(256)) : '\0';
            } else {
                QList<int> structured;
                for (int p = 1; p < pages; ++p)
                    if (bytes.at(p * 4096) == 1 || bytes.at(p * 4096) == 2)
                        structured.append(p);
                if (kind == 2 && !structured.isEmpty())
                    page = structured[random.bounded(int(structured.size()))];
                for (int k = random.bounded(1, kind == 1 ? 24 : 8); k > 0; --k)
                    bytes[page * 4096 + random.bounded(4096)] = char(random.bounded(256));
            }
            QVERIFY(WriteBytes(path, bytes));
            const auto unchanged = qScopeGuard([&] { QCOMPARE(ReadBytes(path), bytes); });
            import::CPrevBase base;
            QString error;
            if (!base.Open(path, &error)) {
                QVERIFY2(failed(error), qPrintable(error));
                ++rejected;
                continue;
            }
            for (const QString& table : base.TableNames()) {
                const QStringList columns = table.startsWith(u"KINVORA"_s)
                    ? R(u"NAMEFILM|REZISSER|ROLI|ZANR|REITING|NOSITEL|PRODOL|KOMENTAR")
                    : table == u"DOLGI"_s       ? R(u"NAME|NAMEFILM|DATA")
                    : table == u"BLACKSPISOK"_s ? R(u"NAME|PRICHINA")
                    : table == u"MSysObjects"_s ? R(u"Name")
                                                : QStringList();
                Rows rows;
                error.clear();
                if (base.ReadTable(table, columns, &rows, &error)) {
                    ++tablesRead;
                    for (const QStringList& row : std::as_const(rows))
                        QCOMPARE(row.size(), columns.size());
                } else {
                    ++tablesRefused;
                    QVERIFY2(failed(error), qPrintable(error));
                }
            }
        }
        qInfo("%d damaged copies: %d rejected at opening; tables read %d, refused %d; helper hung %d, crashed %d",
            VIDARRO_DAMAGED_COPIES, rejected, tablesRead, tablesRefused, hung, crashed);
    }
};

REGISTER_TEST(FuzzPrevBase)
#include "fuzz_prevbase.moc"
