// The user guide: built, found in the right place, and handed to the desktop only when it is there.
#include "app/helpfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {
bool Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

class TestHelpFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_opened.clear();
        app::SetDesktopOpenHook([this](const QUrl& url) {
            m_opened << url.toLocalFile();
            return true;
        });
    }
    void cleanup() { app::SetDesktopOpenHook({}); }

    void builtGuideIsTheLastResort()
    {
        QFile chm(QStringLiteral(VIDARRO_HELP_FILE));
        QVERIFY2(chm.open(QIODevice::ReadOnly), qPrintable(chm.fileName()));
        QVERIFY(chm.size() > 10 * 1024); // a failed compile leaves an empty file
        QCOMPARE(chm.read(4), QByteArray("ITSF")); // compiled HTML help
        // Run from the build tree without a guide in the working directory.
        QTemporaryDir work;
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        QVERIFY(app::OpenHelpFile());
        QDir::setCurrent(old);
        QCOMPARE(m_opened, QStringList { QFileInfo(chm).absoluteFilePath() });
    }

    void choice_data()
    {
        // The copies in the working directory and installed beside the program; null: none, but a folder of
        // that name in the working directory.
        QTest::addColumn<QByteArray>("inWorkDir");
        QTest::addColumn<QByteArray>("installed");
        QTest::addColumn<QString>("expected");
        const QByteArray chm("ITSF help");
        const QString installed = QStringLiteral("share/vidarro/Vidarro.chm");
        QTest::newRow("working directory first") << chm << chm << QStringLiteral("work/Vidarro.chm");
        QTest::newRow("folder is no guide") << QByteArray() << chm << installed;
        QTest::newRow("empty file skipped") << QByteArray("") << chm << installed;
        QTest::newRow("none: the desktop is not asked") << QByteArray("") << QByteArray() << QString();
    }
    void choice()
    {
        QFETCH(QByteArray, inWorkDir);
        QFETCH(QByteArray, installed);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("work")) && dir.mkpath(QStringLiteral("share/vidarro")));
        const QString guide = dir.filePath(QStringLiteral("work/Vidarro.chm"));
        QVERIFY(inWorkDir.isNull() ? dir.mkdir(guide) : Write(guide, inWorkDir));
        QVERIFY(installed.isNull() || Write(dir.filePath(QStringLiteral("share/vidarro/Vidarro.chm")), installed));
        // Only the two folders under test, not the build tree's copy.
        const QStringList candidates
            = app::HelpFileCandidates(dir.filePath(QStringLiteral("work")), dir.filePath(QStringLiteral("bin")))
                  .mid(0, 2);
        QCOMPARE(app::OpenHelpFile(candidates), !expected.isEmpty());
        QCOMPARE(m_opened, expected.isEmpty() ? QStringList() : QStringList { dir.filePath(expected) });
    }

private:
    QStringList m_opened;
};

QTEST_GUILESS_MAIN(TestHelpFile)
#include "test_helpfile.moc"
