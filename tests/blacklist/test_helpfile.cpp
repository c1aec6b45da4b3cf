// The user guide: built, found in the right place, and handed to the desktop only when it is there.
#include "app/helpfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {
void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qUtf8Printable(path));
}
} // namespace

class TestHelpFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void helpFileIsBuilt();
    void choice_data();
    void choice();
    void opensFromTheWorkingDirectory();
    void nothingToOpen();

private:
    QList<QUrl> m_opened;
};

void TestHelpFile::cleanup()
{
    app::SetDesktopOpenHook({});
    m_opened.clear();
}

void TestHelpFile::helpFileIsBuilt()
{
    const QFileInfo chm(QStringLiteral(VIDARRO_HELP_FILE));
    QVERIFY2(chm.isFile(), qPrintable(chm.filePath()));
    QVERIFY(chm.size() > 10 * 1024); // a failed compile leaves an empty file
    QFile f(chm.filePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(4), QByteArray("ITSF")); // compiled HTML help
}

void TestHelpFile::choice_data()
{
    // Which copies exist: in the working directory, installed beside the program; and which one wins.
    QTest::addColumn<QByteArray>("inWorkDir");
    QTest::addColumn<QByteArray>("installed");
    QTest::addColumn<QString>("expected");
    const QByteArray chm("ITSF help");
    QTest::newRow("working directory first") << chm << chm << QStringLiteral("work/Vidarro.chm");
    QTest::newRow("installed copy") << QByteArray() << chm << QStringLiteral("share/vidarro/Vidarro.chm");
    QTest::newRow("empty file skipped") << QByteArray("") << chm << QStringLiteral("share/vidarro/Vidarro.chm");
    QTest::newRow("none") << QByteArray() << QByteArray() << QString();
}

void TestHelpFile::choice()
{
    QFETCH(QByteArray, inWorkDir);
    QFETCH(QByteArray, installed);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("work")) && dir.mkpath(QStringLiteral("bin")));
    if (!inWorkDir.isNull())
        WriteFile(dir.filePath(QStringLiteral("work/Vidarro.chm")), inWorkDir);
    if (!installed.isNull())
        WriteFile(dir.filePath(QStringLiteral("share/vidarro/Vidarro.chm")), installed);

    QStringList candidates
        = app::HelpFileCandidates(dir.filePath(QStringLiteral("work")), dir.filePath(QStringLiteral("bin")));
    QVERIFY(candidates.size() >= 2);
    // Only the two folders under test, not the build tree's copy.
    candidates = candidates.mid(0, 2);
    QCOMPARE(app::FindHelpFile(candidates), expected.isEmpty() ? QString() : dir.filePath(expected));
}

void TestHelpFile::opensFromTheWorkingDirectory()
{
    QTemporaryDir work;
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    app::SetDesktopOpenHook([this](const QUrl& url) {
        m_opened << url;
        return true;
    });

    // Without a guide of its own the working directory falls back on the build tree's.
    QVERIFY(app::OpenHelpFile());
    QCOMPARE(
        m_opened, QList<QUrl> { QUrl::fromLocalFile(QFileInfo(QStringLiteral(VIDARRO_HELP_FILE)).absoluteFilePath()) });

    WriteFile(QDir(work.path()).filePath(QStringLiteral("Vidarro.chm")), "ITSF");
    QVERIFY(app::OpenHelpFile());
    QCOMPARE(m_opened.size(), 2);
    QCOMPARE(m_opened[1], QUrl::fromLocalFile(QDir(work.path()).filePath(QStringLiteral("Vidarro.chm"))));
    QDir::setCurrent(old);
}

void TestHelpFile::nothingToOpen()
{
    // A folder named like the guide is no guide; with nothing found the desktop is not asked at all.
    QTemporaryDir work;
    QVERIFY(QDir(work.path()).mkdir(QStringLiteral("Vidarro.chm")));
    const QStringList candidates { QDir(work.path()).filePath(QStringLiteral("Vidarro.chm")),
        QDir(work.path()).filePath(QStringLiteral("missing/Vidarro.chm")) };
    QVERIFY(app::FindHelpFile(candidates).isEmpty());
    app::SetDesktopOpenHook([this](const QUrl& url) {
        m_opened << url;
        return true;
    });
    QVERIFY(!app::OpenHelpFile(candidates));
    QVERIFY(m_opened.isEmpty());
}

QTEST_GUILESS_MAIN(TestHelpFile)
#include "test_helpfile.moc"
