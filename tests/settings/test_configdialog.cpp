// The settings dialog: what it shows of the settings file, its pictures, and what OK and Cancel write.
#include "scripted.h"
#include "settings/configdialog.h"
#include "settings/profile.h"
#include "testbase.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
constexpr int IDC_MESSAGE = 1020;
constexpr int IDC_TABLE = 1024;
constexpr int IDC_PICMESSAGE = 1036;
constexpr int IDC_PICSOUND = 1037;

QString Stored(const QString& key, const QString& iniPath)
{
    return settings::GetPrivateProfileString(QStringLiteral("Config"), key, QStringLiteral("<none>"), iniPath);
}

bool Shown(const CConfigDialog& d, int id)
{
    return !d.GetDlgItem(id)->isHidden();
}

// Chooses an entry with the keyboard, as a user would.
void Choose(QComboBox* combo, int index)
{
    while (combo->currentIndex() < index)
        PressKey(combo, Qt::Key_Down);
    while (combo->currentIndex() > index)
        PressKey(combo, Qt::Key_Up);
}
} // namespace

class TestConfigDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void templateMatches();
    void opensWithStoredIndexes_data();
    void opensWithStoredIndexes();
    void picturesFollowTheAlertChoice();
    void okWritesBothIndexes();
    void okWritesMinusOneWithoutSelection();
    void enterOnFocusedOkSaves();
    void cancelWritesNothing();
    void failedWriteKeepsTheDialogOpen_data();
    void failedWriteKeepsTheDialogOpen();

private:
    int Run(
        const QString& iniPath, ScriptedUi& ui, std::function<void(CConfigDialog&)> script, const QString& message = {})
    {
        ui.ExpectDialog<CConfigDialog>(std::move(script));
        if (!message.isEmpty())
            ui.ExpectMessage(message);
        CConfigDialog dlg;
        dlg.m_strIniPath = iniPath;
        return dlg.DoModal();
    }
};

void TestConfigDialog::templateMatches()
{
    TempCatalogue cat;
    ScriptedUi ui;
    Run(cat.IniPath(), ui, [](CConfigDialog& d) {
        const auto items = [&](int id) {
            QStringList texts;
            for (int i = 0; i < d.Item<QComboBox>(id)->count(); ++i)
                texts << d.Item<QComboBox>(id)->itemText(i);
            return texts;
        };
        // The stored numbers are indexes into these lists, so their order matters.
        QCOMPARE(items(IDC_MESSAGE),
            (QStringList { QStringLiteral("Отключить"), QStringLiteral("Сообщением"),
                QStringLiteral("Звуковым Сигналом"), QStringLiteral("Звуком и сообщением") }));
        QCOMPARE(items(IDC_TABLE),
            (QStringList { QStringLiteral("Не показывать таблицу"), QStringLiteral("Показывать таблицу") }));
        QCOMPARE(d.Item<QLabel>(IDC_PICMESSAGE)->pixmap().size(), QSize(32, 32));
        QCOMPARE(d.Item<QLabel>(IDC_PICSOUND)->pixmap().size(), QSize(32, 32));
        d.SendCommand(app::IDCANCEL);
    });
    VERIFY_SCRIPT(ui);
}

void TestConfigDialog::opensWithStoredIndexes_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("table");
    QTest::addColumn<bool>("bubble");
    QTest::addColumn<bool>("speaker");
    QTest::newRow("no settings file") << QByteArray() << 0 << 0 << false << false;
    QTest::newRow("empty file") << QByteArray("") << 0 << 0 << false << false;
    QTest::newRow("message") << QByteArray("[Config]\r\nMessage=1\r\nTable=1\r\n") << 1 << 1 << true << false;
    QTest::newRow("sound") << QByteArray("[Config]\r\nMessage=2\r\nTable=0\r\n") << 2 << 0 << false << true;
    QTest::newRow("both") << QByteArray("[Config]\r\nMessage=3\r\n") << 3 << 0 << true << true;
    QTest::newRow("leading numbers") << QByteArray("[CONFIG]\nmessage= 2 beeps\ntable=1x\n") << 2 << 1 << false << true;
    QTest::newRow("not numbers") << QByteArray("[Config]\nMessage=abc\nTable=\n") << 0 << 0 << false << false;
    QTest::newRow("outside the lists") << QByteArray("[Config]\r\nMessage=5\r\nTable=2\r\n") << -1 << -1 << false
                                       << false;
    QTest::newRow("no selection stored") << QByteArray("[Config]\r\nMessage=-1\r\nTable=-1\r\n") << -1 << -1 << false
                                         << false;
}

void TestConfigDialog::opensWithStoredIndexes()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, message);
    QFETCH(int, table);
    QFETCH(bool, bubble);
    QFETCH(bool, speaker);
    TempCatalogue cat;
    if (!ini.isNull())
        cat.WriteIni(ini);
    ScriptedUi ui;
    Run(cat.IniPath(), ui, [&](CConfigDialog& d) {
        QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(IDC_MESSAGE)), message);
        QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(IDC_TABLE)), table);
        if (message < 0) // nothing selected shows no entry's text either
            QVERIFY(d.Item<QComboBox>(IDC_MESSAGE)->currentText().isEmpty());
        QCOMPARE(Shown(d, IDC_PICMESSAGE), bubble);
        QCOMPARE(Shown(d, IDC_PICSOUND), speaker);
        d.SendCommand(app::IDCANCEL);
    });
    VERIFY_SCRIPT(ui);
}

void TestConfigDialog::picturesFollowTheAlertChoice()
{
    TempCatalogue cat;
    cat.WriteIni("[Config]\r\nMessage=9\r\n");
    ScriptedUi ui;
    Run(cat.IniPath(), ui, [](CConfigDialog& d) {
        auto* combo = d.Item<QComboBox>(IDC_MESSAGE);
        const auto pictures = [&] { return std::pair(Shown(d, IDC_PICMESSAGE), Shown(d, IDC_PICSOUND)); };
        QCOMPARE(pictures(), std::pair(false, false));
        Choose(combo, 3);
        QCOMPARE(pictures(), std::pair(true, true));
        Choose(combo, 2);
        QCOMPARE(pictures(), std::pair(false, true));
        Choose(combo, 1);
        QCOMPARE(pictures(), std::pair(true, false));
        Choose(combo, 3);
        Choose(combo, 0);
        QCOMPARE(pictures(), std::pair(false, false));
        // Text of its own in the combo selects no entry: the pictures stay as they were.
        Choose(combo, 2);
        combo->lineEdit()->clear();
        TypeText(combo->lineEdit(), QStringLiteral("Громко"));
        QCOMPARE(app::ComboGetCurSel(combo), -1);
        QCOMPARE(pictures(), std::pair(false, true));
        d.SendCommand(app::IDCANCEL);
    });
    VERIFY_SCRIPT(ui);
}

void TestConfigDialog::okWritesBothIndexes()
{
    TempCatalogue cat;
    // Other sections and keys of the file stay.
    cat.WriteIni("; Vidarro\r\n[Other]\r\nx=1\r\n[Config]\r\nMessage=0\r\nTable=0\r\nExtra=yes\r\n");
    ScriptedUi ui;
    const int result = Run(cat.IniPath(), ui, [](CConfigDialog& d) {
        Choose(d.Item<QComboBox>(IDC_MESSAGE), 3);
        Choose(d.Item<QComboBox>(IDC_TABLE), 1);
        QTest::mouseClick(d.Item<QPushButton>(app::IDOK), Qt::LeftButton);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QFile f(cat.IniPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(
        f.readAll(), QByteArray("; Vidarro\r\n[Other]\r\nx=1\r\n[Config]\r\nMessage=3\r\nTable=1\r\nExtra=yes\r\n"));
}

void TestConfigDialog::okWritesMinusOneWithoutSelection()
{
    TempCatalogue cat;
    cat.WriteIni("[Config]\r\nMessage=7\r\nTable=1\r\n");
    ScriptedUi ui;
    const int result = Run(cat.IniPath(), ui, [](CConfigDialog& d) {
        // The alert combo opened with nothing selected; the table combo gets a text of its own.
        auto* table = d.Item<QComboBox>(IDC_TABLE);
        table->lineEdit()->clear();
        TypeText(table->lineEdit(), QStringLiteral("Показывать"));
        d.SendCommand(app::IDOK);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(Stored(QStringLiteral("Message"), cat.IniPath()), QStringLiteral("-1"));
    QCOMPARE(Stored(QStringLiteral("Table"), cat.IniPath()), QStringLiteral("-1"));
}

void TestConfigDialog::enterOnFocusedOkSaves()
{
    // No settings file yet: Enter at once saves what the dialog shows, and creates the file.
    TempCatalogue cat;
    ScriptedUi ui;
    const int result = Run(cat.IniPath(), ui, [](CConfigDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(Stored(QStringLiteral("Message"), cat.IniPath()), QStringLiteral("0"));
    QCOMPARE(Stored(QStringLiteral("Table"), cat.IniPath()), QStringLiteral("0"));
}

void TestConfigDialog::cancelWritesNothing()
{
    TempCatalogue cat;
    for (int how = 0; how < 3; ++how) {
        ScriptedUi ui;
        const int result = Run(cat.IniPath(), ui, [how](CConfigDialog& d) {
            Choose(d.Item<QComboBox>(IDC_MESSAGE), 2);
            Choose(d.Item<QComboBox>(IDC_TABLE), 1);
            if (how == 0)
                QTest::mouseClick(d.Item<QPushButton>(app::IDCANCEL), Qt::LeftButton);
            else if (how == 1)
                PressKey(d.GetDlgItem(IDC_TABLE), Qt::Key_Escape);
            else
                d.close();
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
        QVERIFY(!QFile::exists(cat.IniPath()));
    }
}

void TestConfigDialog::failedWriteKeepsTheDialogOpen_data()
{
    QTest::addColumn<QString>("blocker"); // made a regular file, so the settings cannot be written
    QTest::addColumn<QString>("iniName");
    QTest::newRow("folder is a file") << QStringLiteral("folder") << QStringLiteral("folder/Korvel.ini");
    QTest::newRow("settings path is a folder") << QStringLiteral("") << QStringLiteral("Korvel.ini");
}

void TestConfigDialog::failedWriteKeepsTheDialogOpen()
{
    // Tests run as root, so a read-only folder would not stop the write.
    QFETCH(QString, blocker);
    QFETCH(QString, iniName);
    TempCatalogue cat;
    const QDir dir(cat.Dir());
    const QString iniPath = dir.filePath(iniName);
    if (blocker.isEmpty()) {
        QVERIFY(dir.mkdir(iniName));
    } else {
        QFile f(dir.filePath(blocker));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QString error;
    QVERIFY(!settings::WritePrivateProfileString(
        QStringLiteral("Config"), QStringLiteral("Message"), QStringLiteral("2"), iniPath, &error));

    ScriptedUi ui;
    const int result = Run(
        iniPath, ui,
        [](CConfigDialog& d) {
            Choose(d.Item<QComboBox>(IDC_MESSAGE), 2);
            d.SendCommand(app::IDOK);
            QVERIFY(!d.IsEnded());
            QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(IDC_MESSAGE)), 2); // the choice is still there
            d.SendCommand(app::IDCANCEL);
        },
        error);
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
}

QTEST_MAIN(TestConfigDialog)
#include "test_configdialog.moc"
