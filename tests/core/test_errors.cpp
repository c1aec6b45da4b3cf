// What the user reads when a file fails: a Russian cause and what to do, the engine's text only last. Every
// SQLite result code, then the failures themselves: a full disk, a read-only mount, and as another user
// (root reads and writes everything) an unreadable file, a folder without new files, a protected ini.
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/errortext.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "settings/profile.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace data;
using namespace Qt::StringLiterals;

namespace {
QString Attempt(const std::function<void()>& step)
{
    try {
        step();
    } catch (const DbError& e) {
        return e.Text();
    }
    return u"<no error>"_s;
}

QString Write(const QString& kind, const QString& path)
{
    return Attempt([&] {
        if (kind == QLatin1String("ini"))
            return settings::WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, path);
        CDaoDatabase db;
        db.Open(path);
        CDaoRecordset rs(db);
        rs.Open(table::Films);
        if (kind == QLatin1String("delete"))
            return rs.Delete();
        rs.AddNew();
        rs.SetFieldValue(field::NameFilm, QString(3000, u'ж'));
        rs.Update();
    });
}
} // namespace

class TestErrors : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_mount = m_dir.filePath(u"mnt"_s);

private Q_SLOTS:
    void everyCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("cause");
        const char* rows[][2] = { { "13", "не осталось места" }, { "14", "не удаётся открыть" },
            { "8", "только для чтения" }, { "3", "не разрешает доступ" }, { "5", "занята" }, { "6", "занята" },
            { "26", "не является базой" }, { "11", "повреждён" }, { "10", "записи диска" }, { "7", "памяти" },
            { "19", "не приняла" }, { "1", "устроена не так" }, { "4", "прервано" }, { "21", "Непредвиденная" },
            { "", "Непредвиденная" } };
        for (const auto& [code, cause] : rows)
            QTest::newRow(code) << QString::fromUtf8(code) << QString::fromUtf8(cause);
    }
    void everyCode()
    {
        QFETCH(QString, code);
        QFETCH(QString, cause);
        const QSqlError error(u"Невозможно получить строку"_s, u"engine text"_s, QSqlError::StatementError, code);
        const QStringList lines = DbErrorMessage(u"Не удалось удалить запись"_s, u"/нет/B.mdb"_s, error).split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], u"Не удалось удалить запись «/нет/B.mdb»."_s);
        QVERIFY2(lines[1].contains(cause), qPrintable(lines[1]));
        QVERIFY(!QString(lines[1]).remove(u"Vidarro"_s).contains(QRegularExpression(u"[A-Za-z]"_s)));
        QCOMPARE(lines[2], u"Подробности: engine text"_s);
    }

    void fullDiskAndReadOnlyMount()
    {
        QVERIFY(QDir().mkpath(m_mount));
        if (QProcess::execute(u"mount"_s, { u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=256k"_s, u"tmpfs"_s, m_mount }) != 0)
            QSKIP("no tmpfs can be mounted here (needs root)");
        const auto unmount = qScopeGuard([this] { QProcess::execute(u"umount"_s, { m_mount }); });
        const QString base = m_mount + u"/BaseFilm.mdb"_s;
        QVERIFY(CreateCatalogue(base, nullptr));
        QCOMPARE(Write(u"add"_s, base), u"<no error>"_s);
        QFile filler(m_mount + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) { }
        for (const char* kind : { "add", "delete" })
            QVERIFY2(Write(QLatin1String(kind), base).contains(u"не осталось места"_s), kind);
        QVERIFY(Write(u"ini"_s, m_mount + u"/Korvel.ini"_s).contains(u"не осталось места"_s));
        filler.remove();
        QCOMPARE(QProcess::execute(u"mount"_s, { u"-o"_s, u"remount,ro"_s, m_mount }), 0);
        QVERIFY(Write(u"add"_s, base).contains(u"только для чтения"_s));
        QVERIFY(Write(u"ini"_s, m_mount + u"/Korvel.ini"_s).contains(u"нельзя создавать файлы"_s));
    }

    void asAnotherUser_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QString>("cause");
        QTest::newRow("unreadable base") << "add" << 0777 << 0600 << "нет прав на чтение";
        QTest::newRow("no journal in folder") << "add" << 0755 << 0666 << "нельзя создавать файлы, а программе";
        QTest::newRow("protected ini") << "ini" << 0777 << 0644 << "Файл защищён от записи. Снимите";
    }
    void asAnotherUser()
    {
        QFETCH(QString, kind);
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(QString, cause);
        const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QString path = folder + (kind == u"ini"_s ? u"/Korvel.ini"_s : u"/BaseFilm.mdb"_s);
        QVERIFY(QDir().mkpath(folder) && CreateCatalogue(path, nullptr));
        QVERIFY(chmod(qPrintable(m_dir.path()), 0755) == 0 && chmod(qPrintable(folder), folderMode) == 0);
        QVERIFY(chmod(qPrintable(path), fileMode) == 0);
        QProcess helper;
        helper.start(u"setpriv"_s,
            { u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s, QCoreApplication::applicationFilePath(),
                u"--as-user"_s, kind, path });
        if (!helper.waitForFinished(20000) || helper.exitCode() != 0)
            QSKIP("cannot run a program as the user nobody here");
        const QString text = QString::fromUtf8(helper.readAllStandardOutput());
        QVERIFY2(text.contains(cause) && text.count(u'\n') == 2, qPrintable(text));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--as-user") == 0) {
        QTextStream(stdout) << Write(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]));
        return 0;
    }
    TestErrors test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_errors.moc"
