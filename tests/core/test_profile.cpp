#include "settings/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using settings::GetPrivateProfileInt;
using settings::GetPrivateProfileString;
using settings::WritePrivateProfileString;

class TestProfile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void missingFileSectionOrKeyGiveDefault();
    void reading_data();
    void reading();
    void valueCutToBuffer();
    void readingNumbers_data();
    void readingNumbers();

    void writeBuildsNewFile();
    void writeEditsOneLine_data();
    void writeEditsOneLine();
    void cyrillicRoundTrip();
    void everyCp1251ByteSurvives();

    void refusesCharacterOutsideCp1251();
    void refusesUnstorableNames_data();
    void refusesUnstorableNames();
    void failedWriteNamesFileAndCreatesNothing();
    void failedWriteLeavesOldFile();
    void readOnlyFolder();
    void unreadableFileIsNotOverwritten();

private:
    QString Put(const QString& name, const QByteArray& bytes) const;
    static QByteArray Bytes(const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProfile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestProfile::Put(const QString& name, const QByteArray& bytes) const
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return path;
}

QByteArray TestProfile::Bytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void TestProfile::missingFileSectionOrKeyGiveDefault()
{
    const QString missing = m_dir->filePath(u"Korvel.ini"_s);
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Message"_s, u"def"_s, missing), u"def"_s);
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Message"_s, QString(), missing), QString());
    QVERIFY(!QFile::exists(missing));

    const QString path = Put(u"Korvel.ini"_s,
        "Message=1\r\n" // before any section: belongs to none
        "[Other]\r\nTable=1\r\n"
        "[Config]\r\n;Message=3\r\nMessage\r\n");
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Message"_s, u"def"_s, path), u"def"_s);
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Table"_s, u"def"_s, path), u"def"_s);
    QCOMPARE(GetPrivateProfileString(u"Missing"_s, u"Table"_s, u"def"_s, path), u"def"_s);
    // Windows drops the default's trailing blanks.
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Nothing"_s, u" 7  "_s, path), u" 7"_s);
}

void TestProfile::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("case of names") << QByteArray("[config]\r\nmESSAGE=3\r\n") << u"CONFIG"_s << u"Message"_s << u"3"_s;
    // [Настройки] Цвет=да, in Windows-1251.
    QTest::newRow("case of Cyrillic names")
        << QByteArray("[\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8]\r\n\xD6\xE2\xE5\xF2=\xE4\xE0\r\n") << u"НАСТРОЙКИ"_s
        << u"цВЕТ"_s << u"да"_s;
    QTest::newRow("blanks around everything")
        << QByteArray("  [ Config ]  \r\n \t Message  =  12 x  \t\r\n") << u" Config "_s << u"Message "_s << u"12 x"_s;
    QTest::newRow("first key wins") << QByteArray("[Config]\r\nMessage=1\r\nmessage=2\r\n") << u"Config"_s
                                    << u"Message"_s << u"1"_s;
    QTest::newRow("first section wins") << QByteArray("[Config]\r\nTable=1\r\n[Config]\r\nMessage=2\r\n") << u"Config"_s
                                        << u"Message"_s << u"def"_s;
    QTest::newRow("empty value is no default")
        << QByteArray("[Config]\r\nMessage=\r\n") << u"Config"_s << u"Message"_s << QString();
    QTest::newRow("equals sign in value")
        << QByteArray("[Config]\r\nPath=a=b\r\n") << u"Config"_s << u"Path"_s << u"a=b"_s;
    QTest::newRow("double quotes stripped")
        << QByteArray("[Config]\r\nA=\" 12 \"\r\n") << u"Config"_s << u"A"_s << u" 12 "_s;
    QTest::newRow("single quotes stripped") << QByteArray("[Config]\r\nA='x'\r\n") << u"Config"_s << u"A"_s << u"x"_s;
    QTest::newRow("one pair only") << QByteArray("[Config]\r\nA=\"\"x\"\"\r\n") << u"Config"_s << u"A"_s << u"\"x\""_s;
    QTest::newRow("unmatched quotes kept")
        << QByteArray("[Config]\r\nA=\"x'\r\n") << u"Config"_s << u"A"_s << u"\"x'"_s;
    QTest::newRow("lone quote kept") << QByteArray("[Config]\r\nA=\"\r\n") << u"Config"_s << u"A"_s << u"\""_s;
    QTest::newRow("LF, no final newline") << QByteArray("[Config]\nMessage=5") << u"Config"_s << u"Message"_s << u"5"_s;
    QTest::newRow("section name to last bracket")
        << QByteArray("[a]b] ; note\r\nK=1\r\n") << u"a]b"_s << u"K"_s << u"1"_s;
    QTest::newRow("UTF-8 with signature")
        << QByteArray("\xEF\xBB\xBF[Config]\r\nName=\xD0\x94\xD0\xB0\r\n") << u"Config"_s << u"Name"_s << u"Да"_s;
    QTest::newRow("damaged lines skipped")
        << QByteArrayLiteral("\x00\xFF\x13garbage\r\n[\r\n=\r\n[Config]\r\n\x01\x02\r\nMessage=4") << u"Config"_s
        << u"Message"_s << u"4"_s;
}

void TestProfile::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QString path = Put(u"Korvel.ini"_s, file);
    QCOMPARE(GetPrivateProfileString(section, key, u"def"_s, path), expected);
}

void TestProfile::valueCutToBuffer()
{
    const QByteArray longValue(250, 'x');
    const QString path = Put(u"Korvel.ini"_s, "[Config]\r\nA=" + longValue + "\r\nB=\"" + longValue + "\"\r\n");
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"A"_s, QString(), path), QString(199, u'x'));
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"B"_s, QString(), path), QString(199, u'x'));
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"A"_s, QString(), path, 10), QString(9, u'x'));
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"A"_s, QString(), path, 1), QString());
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"None"_s, QString(300, u'd'), path), QString(199, u'd'));
}

void TestProfile::readingNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << QByteArray("Table=1") << 1;
    QTest::newRow("blank then digit") << QByteArray("Table= 2abc") << 2;
    QTest::newRow("letters") << QByteArray("Table=abc") << 0;
    QTest::newRow("minus one") << QByteArray("Table=-1") << -1;
    QTest::newRow("empty") << QByteArray("Table=") << 0;
    QTest::newRow("quoted") << QByteArray("Table=\"3\"") << 3;
    QTest::newRow("missing key") << QByteArray("Other=5") << 0;
}

void TestProfile::readingNumbers()
{
    QFETCH(QByteArray, line);
    QFETCH(int, expected);
    const QString path = Put(u"Korvel.ini"_s, "[Config]\r\n" + line + "\r\n");
    QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Table"_s, path), expected);
    QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Table"_s, m_dir->filePath(u"missing.ini"_s)), 0);
}

void TestProfile::writeBuildsNewFile()
{
    const QString path = m_dir->filePath(u"Korvel.ini"_s);
    QString error;
    QVERIFY(WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, path, &error));
    QCOMPARE(Bytes(path), QByteArray("[Config]\r\nMessage=1\r\n"));
    QVERIFY(WritePrivateProfileString(u"Config"_s, u"Table"_s, u"0"_s, path, &error));
    QVERIFY(WritePrivateProfileString(u"config"_s, u"MESSAGE"_s, u"-1"_s, path, &error));
    QCOMPARE(Bytes(path), QByteArray("[Config]\r\nMessage=-1\r\nTable=0\r\n"));
    QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Message"_s, path), -1);
    QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Table"_s, path), 0);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestProfile::writeEditsOneLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    // Comments, other sections, odd lines, cp1251 text and spacing stay byte for byte.
    const QByteArray head = "; \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8\r\n[Other]\r\nMessage=9\r\n\r\n[config]\r\n";
    const QByteArray tail = "odd line\r\nTable = 1 \r\n\r\n; end\r\n[Last]\r\nX=\xC4\r\n";
    QTest::newRow("replace keeps the rest")
        << head + "  message = 1  \r\n" + tail << u"Message"_s << u"2"_s << head + "  message = 2\r\n" + tail;
    QTest::newRow("LF kept") << QByteArray("[Config]\nMessage=1\nTable=1\n") << u"Message"_s << u"0"_s
                             << QByteArray("[Config]\nMessage=0\nTable=1\n");
    QTest::newRow("mixed endings kept") << QByteArray("[Config]\r\nMessage=1\nTable=1\r\n") << u"Table"_s << u"0"_s
                                        << QByteArray("[Config]\r\nMessage=1\nTable=0\r\n");
    QTest::newRow("empty value filled") << QByteArray("[Config]\r\nMessage=   \r\n") << u"Message"_s << u"3"_s
                                        << QByteArray("[Config]\r\nMessage=3\r\n");
    QTest::newRow("no final newline, replace")
        << QByteArray("[Config]\r\nMessage=1") << u"Message"_s << u"7"_s << QByteArray("[Config]\r\nMessage=7");
    QTest::newRow("key added after the section's last line")
        << QByteArray("[Config]\r\nMessage=1\r\n; note\r\n\r\n[Other]\r\nA=1\r\n") << u"Table"_s << u"1"_s
        << QByteArray("[Config]\r\nMessage=1\r\n; note\r\nTable=1\r\n\r\n[Other]\r\nA=1\r\n");
    QTest::newRow("key added, LF") << QByteArray("[Config]\nMessage=1\n") << u"Table"_s << u"1"_s
                                   << QByteArray("[Config]\nMessage=1\nTable=1\n");
    QTest::newRow("key added to bare header")
        << QByteArray("[Config]") << u"Table"_s << u"1"_s << QByteArray("[Config]\r\nTable=1\r\n");
    QTest::newRow("key goes to first of equal sections")
        << QByteArray("[Config]\r\nA=1\r\n[CONFIG]\r\nMessage=2\r\n") << u"Message"_s << u"5"_s
        << QByteArray("[Config]\r\nA=1\r\nMessage=5\r\n[CONFIG]\r\nMessage=2\r\n");
    QTest::newRow("section added") << QByteArray("[Other]\r\nA=1\r\n") << u"Message"_s << u"1"_s
                                   << QByteArray("[Other]\r\nA=1\r\n\r\n[Config]\r\nMessage=1\r\n");
    QTest::newRow("section added, LF, no final newline")
        << QByteArray("[Other]\nA=1") << u"Message"_s << u"1"_s << QByteArray("[Other]\nA=1\n\n[Config]\nMessage=1\n");
    QTest::newRow("empty file") << QByteArray() << u"Message"_s << u"1"_s << QByteArray("[Config]\r\nMessage=1\r\n");
    QTest::newRow("damaged bytes kept") << QByteArrayLiteral("\x00\xFF\x01\x98\r\n") << u"Message"_s << u"1"_s
                                        << QByteArrayLiteral("\x00\xFF\x01\x98\r\n\r\n[Config]\r\nMessage=1\r\n");
    QTest::newRow("UTF-8 with signature stays UTF-8")
        << QByteArray("\xEF\xBB\xBF[Config]\r\nName=x\r\n") << u"Name"_s << u"Да"_s
        << QByteArray("\xEF\xBB\xBF[Config]\r\nName=\xD0\x94\xD0\xB0\r\n");
}

void TestProfile::writeEditsOneLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path = Put(u"Korvel.ini"_s, before);
    QString error;
    QVERIFY2(WritePrivateProfileString(u"Config"_s, key, value, path, &error), qPrintable(error));
    QCOMPARE(Bytes(path), after);
    QCOMPARE(GetPrivateProfileString(u"Config"_s, key, u"def"_s, path), value);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"Korvel.ini"_s });
}

void TestProfile::cyrillicRoundTrip()
{
    const QString path = m_dir->filePath(u"Korvel.ini"_s);
    const QString value = u"Ёжик №5 — «тест», ЯЯ яя"_s;
    QString error;
    QVERIFY2(WritePrivateProfileString(u"Настройки"_s, u"Имя"_s, value, path, &error), qPrintable(error));
    QCOMPARE(Bytes(path),
        QByteArray("[\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8]\r\n\xC8\xEC\xFF="
                   "\xA8\xE6\xE8\xEA \xB9"
                   "5 \x97 \xAB\xF2\xE5\xF1\xF2\xBB, \xDF\xDF \xFF\xFF\r\n"));
    QCOMPARE(GetPrivateProfileString(u"НАСТРОЙКИ"_s, u"имя"_s, QString(), path), value);
}

void TestProfile::everyCp1251ByteSurvives()
{
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    const QString path = Put(u"Korvel.ini"_s, "[Config]\r\nAll=" + high + "\r\n");
    const QString all = GetPrivateProfileString(u"Config"_s, u"All"_s, QString(), path);
    QCOMPARE(all.size(), 128);
    QCOMPARE(all.at(0x88 - 0x80), QChar(u'€'));
    QCOMPARE(all.at(0xA8 - 0x80), QChar(u'Ё'));
    QCOMPARE(all.at(0xB8 - 0x80), QChar(u'ё'));
    QCOMPARE(all.at(0xB9 - 0x80), QChar(u'№'));
    QCOMPARE(all.at(0xC0 - 0x80), QChar(u'А'));
    QCOMPARE(all.at(0xFF - 0x80), QChar(u'я'));

    QString error;
    QVERIFY2(WritePrivateProfileString(u"Config"_s, u"Copy"_s, all, path, &error), qPrintable(error));
    QCOMPARE(Bytes(path), "[Config]\r\nAll=" + high + "\r\nCopy=" + high + "\r\n");
}

void TestProfile::refusesCharacterOutsideCp1251()
{
    const QByteArray before = "[Config]\r\nName=old\r\n";
    const QString path = Put(u"Korvel.ini"_s, before);
    QString error;
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Name"_s, u"Müller"_s, path, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY2(error.contains(u"«ü»"_s), qPrintable(error));
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Name"_s, u"a😀"_s, path, &error));
    QVERIFY2(error.contains(u"«😀»"_s), qPrintable(error));
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Ключ中"_s, u"1"_s, path, &error));
    QCOMPARE(Bytes(path), before);

    const QString missing = m_dir->filePath(u"new.ini"_s);
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Name"_s, u"ü"_s, missing, &error));
    QVERIFY(!QFile::exists(missing));
}

void TestProfile::refusesUnstorableNames_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("empty section") << u" "_s << u"Message"_s << u"1"_s;
    QTest::newRow("empty key") << u"Config"_s << QString() << u"1"_s;
    QTest::newRow("equals in key") << u"Config"_s << u"a=b"_s << u"1"_s;
    QTest::newRow("comment key") << u"Config"_s << u";Message"_s << u"1"_s;
    QTest::newRow("section-like key") << u"Config"_s << u"[Other]"_s << u"1"_s;
    QTest::newRow("line break in section") << u"Con\nfig"_s << u"Message"_s << u"1"_s;
    QTest::newRow("line break in value") << u"Config"_s << u"Message"_s << u"1\r\n[Config]\r\nTable=-1"_s;
    QTest::newRow("NUL in value") << u"Config"_s << u"Message"_s << QString::fromUtf16(u"1\0002", 3);
}

void TestProfile::refusesUnstorableNames()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[Config]\r\nMessage=1\r\n";
    const QString path = Put(u"Korvel.ini"_s, before);
    QString error;
    QVERIFY(!WritePrivateProfileString(section, key, value, path, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(Bytes(path), before);
}

void TestProfile::failedWriteNamesFileAndCreatesNothing()
{
    // The parent is a regular file: no user, root included, can create the settings file there.
    Put(u"plain"_s, "x");
    const QString path = m_dir->filePath(u"plain/Korvel.ini"_s);
    QString error;
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, path, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY2(error.startsWith(u"Не удалось записать файл настроек"_s), qPrintable(error));
    QCOMPARE(Bytes(m_dir->filePath(u"plain"_s)), QByteArray("x"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList { u"plain"_s });
}

void TestProfile::failedWriteLeavesOldFile()
{
#ifdef Q_OS_UNIX
    // A file size limit makes the new file's write fail even for root, after the old file has been read.
    const QByteArray before = "; keep me\r\n[Config]\r\nMessage=1\r\nTable=1\r\n";
    const QString path = Put(u"Korvel.ini"_s, before);
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = WritePrivateProfileString(u"Config"_s, u"Message"_s, QString(500, u'9'), path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY2(error.contains(u"Файл не изменён"_s), qPrintable(error));
    QCOMPARE(Bytes(path), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"Korvel.ini"_s });
#else
    QSKIP("needs a file size limit");
#endif
}

void TestProfile::readOnlyFolder()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders; covered by the two tests above");
#endif
    const QByteArray before = "[Config]\r\nMessage=1\r\n";
    const QString path = Put(u"Korvel.ini"_s, before);
    QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    const bool written = WritePrivateProfileString(u"Config"_s, u"Message"_s, u"2"_s, path, &error);
    QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!written);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(Bytes(path), before);
}

void TestProfile::unreadableFileIsNotOverwritten()
{
    // Something that is not a readable file must never be replaced by a fresh one.
    const QString path = m_dir->filePath(u"Korvel.ini"_s);
    QVERIFY(QDir(m_dir->path()).mkdir(u"Korvel.ini"_s));
    QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Message"_s, u"def"_s, path), u"def"_s);
    QString error;
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, path, &error));
    QVERIFY2(error.startsWith(u"Не удалось прочитать файл настроек"_s), qPrintable(error));
    QVERIFY(QFileInfo(path).isDir());

    const QString utf16 = Put(u"utf16.ini"_s, QByteArrayLiteral("\xFF\xFE[\x00"));
    QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, utf16, &error));
    QCOMPARE(Bytes(utf16), QByteArrayLiteral("\xFF\xFE[\x00"));
}

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
