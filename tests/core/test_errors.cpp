// What the user reads when a file fails, and real failures leaving the file as it was.
#include "prevfixtures.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "settings/profile.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace data;
using namespace Qt::StringLiterals;

using prev::ReadBytes;

// One write of a kind ("add", "delete", "ini") to the file; the message it throws.
static QString Write(const QString& kind, const QString& path)
{
    return prev::ErrorOf([&] {
        if (kind == u"ini"_s)
            return settings::WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, path);
        CDaoDatabase db;
        db.Open(path);
        CDaoRecordset rs(db);
        rs.Open(table::Films);
        if (kind == u"delete"_s)
            return rs.Delete();
        rs.AddNew();
        rs.SetFieldValue(field::NameFilm, QString(3000, u'ж'));
        rs.Update();
    });
}

class TestErrors : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void realCases()
    {
        // Root's writes first; then as nobody, given folder and file modes. Null content: a new catalogue.
        const std::tuple<QByteArray, QString, int, int, QString> rows[] = { { "", u"add"_s, 0, 0, u"пуст (0 байт)"_s },
            { ReadBytes(prev::JetPath(u"prev-3films-2debtors.mdb"_s)), u"delete"_s, 0, 0,
                u"не является базой данных"_s },
            { QByteArray(), u"add"_s, 0777, 0600, u"нет прав на чтение"_s },
            { QByteArray(), u"add"_s, 0755, 0666, u"нельзя создавать файлы, а программе"_s },
            { "[Config]\n", u"ini"_s, 0777, 0644, u"Файл защищён от записи"_s } };
        QVERIFY(chmod(qPrintable(m_dir.path()), 0755) == 0);
        for (const auto& [content, kind, folderMode, fileMode, cause] : rows) {
            const QString folder = m_dir.filePath(kind + QString::number(folderMode)), path = folder + u"/a.mdb"_s;
            QVERIFY(QDir().mkpath(folder));
            if (content.isNull())
                CreateCatalogue(path);
            QVERIFY(content.isNull() || prev::WriteBytes(path, content));
            const QByteArray before = ReadBytes(path);
            QString text = folderMode ? QString() : Write(kind, path);
            if (folderMode) {
                QVERIFY(chmod(qPrintable(folder), folderMode) == 0 && chmod(qPrintable(path), fileMode) == 0);
                QProcess helper;
                helper.start(u"setpriv"_s,
                    { u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s,
                        QCoreApplication::applicationFilePath(), u"--as-user"_s, kind, path });
                if (!helper.waitForFinished(20000) || helper.exitCode() != 0)
                    QSKIP("cannot run a program as the user nobody here");
                text = QString::fromUtf8(helper.readAllStandardOutput());
            }
            QVERIFY2(text.contains(cause) && text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
            QCOMPARE(ReadBytes(path), before);
        }
    }

    void fullDiskAndReadOnlyMount()
    {
        const QString mount = m_dir.filePath(u"mnt"_s), base = mount + u"/BaseFilm.mdb"_s;
        const QString ini = mount + u"/Korvel.ini"_s;
        QVERIFY(QDir().mkpath(mount));
        if (QProcess::execute(u"mount"_s, { u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=256k"_s, u"tmpfs"_s, mount }) != 0)
            QSKIP("no tmpfs can be mounted here (needs root)");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, { mount }); });
        CreateCatalogue(base);
        QCOMPARE(Write(u"add"_s, base), QString());
        QVERIFY(prev::WriteBytes(ini, "[Config]\r\nMessage=0\r\n"));
        QFile filler(mount + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) { }
        for (const QString& kind : { u"add"_s, u"delete"_s, u"ini"_s })
            QVERIFY2(Write(kind, kind == u"ini"_s ? ini : base).contains(u"не осталось места"_s), qPrintable(kind));
        filler.remove();
        QCOMPARE(QProcess::execute(u"mount"_s, { u"-o"_s, u"remount,ro"_s, mount }), 0);
        const QByteArray before = ReadBytes(base);
        for (const QString& kind : { u"add"_s, u"ini"_s })
            QVERIFY2(Write(kind, kind == u"ini"_s ? ini : base).contains(u"только для чтения"_s), qPrintable(kind));
        QCOMPARE(ReadBytes(ini), QByteArray("[Config]\r\nMessage=0\r\n"));
        QCOMPARE(ReadBytes(base), before);
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
