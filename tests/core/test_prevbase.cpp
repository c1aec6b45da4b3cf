// Reading previous-version bases: Jet files value for value, the kind by content, a failing helper.
#include "prevfixtures.h"
#include "testmain.h"

#include "import/mdbreader.h"
#include "import/prevbase.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace prev;
using import::CMdbReader;
using import::CPrevBase;

class TestPrevBase : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    CPrevBase m_base;
    QString m_error;
    Rows m_rows;

    // The genuine files are never touched: every test reads its own copy.
    QString Copy(const QString& fixture, const QString& name)
    {
        const QString target = m_dir.filePath(name);
        QFile::copy(JetPath(fixture), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
    bool Open(const QString& path)
    {
        return (m_error = ErrorOf([&] { m_base.Open(path); })).isEmpty();
    }
    bool Read(const QString& table, const QStringList& columns)
    {
        return (m_error = ErrorOf([&] { m_rows = m_base.ReadTable(table, columns); })).isEmpty();
    }

private Q_SLOTS:
    void jetFixturesReadExactly()
    {
        for (const STable& table : JetTables()) {
            // Named unlike a Jet file, with blanks, Cyrillic, '#', '?', quotes and a leading '-'.
            const QString name = u"-база \"#1?\" "_s + table.file + u".db"_s, path = m_dir.filePath(name);
            if (!QFile::exists(path)) { // the file's first table
                QStringList names = R(u"MSysObjects|MSysACEs|MSysQueries|MSysRelationships|MSysAccessObjects");
                for (const STable& t : JetTables())
                    if (t.file == table.file)
                        names << t.name;
                QVERIFY(Copy(table.file, name) == path && import::DetectBaseKind(path) == import::BaseKind::Jet);
                QVERIFY2(Open(path), qPrintable(m_error));
                QCOMPARE(m_base.TableNames(), names);
            }
            QVERIFY2(Read(table.name, table.columns), qPrintable(m_error));
            QCOMPARE(m_rows.size(), table.count);
            for (auto [n, row] : table.rows.asKeyValueRange())
                QCOMPARE(m_rows.value(n - 1), row);
            // The large file: every film in order, each debtor naming film 4j, a long memo whole.
            const bool films = table.name.startsWith(u"KINVORA"_s), large = table.file == u"prev-large.mdb"_s;
            for (int i = 0; large && i < m_rows.size(); ++i)
                QVERIFY(m_rows[i][films ? 0 : 1].startsWith(
                    u"Фильм №%1 «"_s.arg(films ? i + 1 : 4 * i + 4, 5, 10, QChar(u'0'))));
            QVERIFY(!large || !films || m_rows[4999][7].size() == 6000);
            QCOMPARE(ReadBytes(path), ReadBytes(JetPath(table.file)));
        }
    }

    void columnsAndTablesByName()
    {
        const QString path = Copy(u"prev-nulls-and-numbers.mdb"_s, u"nulls.mdb"_s);
        QVERIFY(!ErrorOf([] { CPrevBase().ReadTable(u"KINVORA"_s, {}); }).isEmpty()); // not open yet
        QVERIFY2(Open(path), qPrintable(m_error));
        // Columns as the engine's field lookup finds them: any subset, any order, twice, in another case.
        QVERIFY(Read(u"KINVORA"_s, { u"reiting"_s, u"NameFilm"_s, u"REITING"_s }));
        QCOMPARE(m_rows, (Rows { R(u"7|Бриллиантовая рука|7"), R(u"10|Девчата|10") }));
        QVERIFY(Read(u"KINVORA"_s, {})); // one empty row per record: how the dialog counts them
        QCOMPARE(m_rows, (Rows { {}, {} }));
    }

    void helperFailuresAreErrors()
    {
        const QString path = Copy(u"prev-3films-2debtors.mdb"_s, u"base.mdb"_s);
        const QString helper = m_dir.filePath(u"fake-helper"_s);
        const auto useHelper = [&](const QByteArray& body) {
            CMdbReader::SetHelperPath(helper);
            return WriteBytes(helper, "#!/bin/sh\n" + body + '\n')
                && QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        const auto restore = qScopeGuard([] { CMdbReader::SetHelperPath({}), CMdbReader::SetIdleTimeoutMs(15000); });
        CMdbReader::SetIdleTimeoutMs(700);
        for (const auto& [name, script] : QList<std::pair<const char*, QByteArray>> { { "hangs", "exec sleep 30" },
                 { "crashes", "kill -SEGV $$" }, { "garbage", "printf 'VMDB1\\nS\\377\\377\\377\\377'" },
                 { "cut short", "printf 'VMDB1\\nS\\003\\000\\000\\000abc'" }, { "silent success", "exit 0" },
                 { "more after the end", "printf 'VMDB1\\nE\\001\\000\\000\\0000junk'" }, { "unknown exit", "exit 42" },
                 { "floods", "head -c 200000000 /dev/zero" } }) {
            QVERIFY(useHelper(script));
            QVERIFY2(!Open(path) && m_error.contains(u"base.mdb"_s)
                    && (qstrcmp(name, "hangs") != 0 || m_error.contains(u"прервано"_s)),
                name);
        }
        CMdbReader::SetHelperPath(m_dir.filePath(u"no-such-helper"_s));
        QVERIFY(!Open(path) && m_error.contains(u"vidarro-mdbread"_s));
    }
};

REGISTER_TEST(TestPrevBase)
#include "test_prevbase.moc"
