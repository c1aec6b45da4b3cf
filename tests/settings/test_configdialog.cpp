// The settings dialog: what it shows of the settings file, its pictures, and what OK and Cancel write.
#include "scripted.h"
#include "settings/configdialog.h"
#include "settings/profile.h"
#include "testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
constexpr int IDC_MESSAGE = 1020;
constexpr int IDC_TABLE = 1024;
constexpr int IDC_PICMESSAGE = 1036;
constexpr int IDC_PICSOUND = 1037;

QString Stored(const QString& key, const QString& iniPath)
{
    return settings::GetPrivateProfileString(u"Config"_s, key, u"<none>"_s, iniPath);
}

// Which pictures show: the message bubble, the speaker.
std::pair<bool, bool> Pictures(const CConfigDialog& d)
{
    return { !d.GetDlgItem(IDC_PICMESSAGE)->isHidden(), !d.GetDlgItem(IDC_PICSOUND)->isHidden() };
}

// Replaces a combo's text with one of the user's own, which is no entry of its list.
void TypeOwnText(QComboBox* combo)
{
    combo->lineEdit()->clear();
    TypeText(combo->lineEdit(), u"Громко"_s);
}
} // namespace

class TestConfigDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void okWritesTheIndexesShown_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("table");
        QTest::newRow("no settings file") << QByteArray() << 0 << 0;
        QTest::newRow("message") << QByteArray("[Config]\r\nMessage=1\r\nTable=1\r\n") << 1 << 1;
        QTest::newRow("sound") << QByteArray("[Config]\r\nMessage=2\r\nTable=0\r\n") << 2 << 0;
        QTest::newRow("both, leading number") << QByteArray("[CONFIG]\nmessage= 3 beeps\n") << 3 << 0;
        // -1 stands for no selection.
        QTest::newRow("outside the lists") << QByteArray("[Config]\r\nMessage=5\r\nTable=2\r\n") << -1 << -1;
        QTest::newRow("no selection stored") << QByteArray("[Config]\r\nMessage=-1\r\nTable=-1\r\n") << -1 << -1;
    }

    void okWritesTheIndexesShown()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, message);
        QFETCH(int, table);
        TempCatalogue cat;
        if (!ini.isNull())
            cat.WriteIni(ini);
        ScriptedUi ui;
        const int result = RunDialog<CConfigDialog>(cat, ui, [&](CConfigDialog& d) {
            QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(IDC_MESSAGE)), message);
            QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(IDC_TABLE)), table);
            if (message < 0) // nothing selected shows no entry's text either
                QVERIFY(d.Item<QComboBox>(IDC_MESSAGE)->currentText().isEmpty());
            // 1 is a message, 2 a sound, 3 both; nothing selected shows neither.
            QCOMPARE(Pictures(d), std::pair(message > 0 && (message & 1), message > 0 && (message & 2)));
            // Enter at once presses the focused "OK" (and creates a missing file).
            QCOMPARE(d.focusWidget(), d.GetDlgItem(app::IDOK));
            PressKey(d.focusWidget(), Qt::Key_Return);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(Stored(u"Message"_s, cat.IniPath()), QString::number(message));
        QCOMPARE(Stored(u"Table"_s, cat.IniPath()), QString::number(table));
    }

    void choicesWrittenByOkOnly()
    {
        TempCatalogue cat;
        // "Отмена", Esc and the close box write nothing; OK last.
        for (int how = 0; how < 4; ++how) {
            ScriptedUi ui;
            const int result = RunDialog<CConfigDialog>(cat, ui, [how](CConfigDialog& d) {
                QVERIFY(!d.Item<QLabel>(IDC_PICMESSAGE)->pixmap().isNull());
                QVERIFY(!d.Item<QLabel>(IDC_PICSOUND)->pixmap().isNull());
                auto* combo = d.Item<QComboBox>(IDC_MESSAGE);
                for (int choice : { 3, 1, 0, 2 }) {
                    ChooseEntry(combo, choice);
                    QCOMPARE(Pictures(d), std::pair(bool(choice & 1), bool(choice & 2)));
                }
                // Text of its own selects no entry: the pictures stay as they were.
                TypeOwnText(combo);
                QCOMPARE(Pictures(d), std::pair(false, true));
                ChooseEntry(d.Item<QComboBox>(IDC_TABLE), 1);
                if (how == 0)
                    QTest::mouseClick(d.Item<QPushButton>(app::IDCANCEL), Qt::LeftButton);
                else if (how == 1)
                    PressKey(d.GetDlgItem(IDC_TABLE), Qt::Key_Escape);
                else if (how == 2)
                    d.close();
                else
                    QTest::mouseClick(d.Item<QPushButton>(app::IDOK), Qt::LeftButton);
            });
            VERIFY_SCRIPT(ui);
            QCOMPARE(result, how == 3 ? app::IDOK : app::IDCANCEL);
            QCOMPARE(QFile::exists(cat.IniPath()), how == 3);
        }
        QCOMPARE(Stored(u"Message"_s, cat.IniPath()), u"-1"_s);
        QCOMPARE(Stored(u"Table"_s, cat.IniPath()), u"1"_s);
    }

    void failedWriteKeepsTheDialogOpen()
    {
        // Tests run as root, so a read-only folder would not stop the write: a folder in the file's place does.
        TempCatalogue cat;
        QVERIFY(QDir(cat.Dir()).mkdir(u"Korvel.ini"_s));
        ScriptedUi ui;
        ui.ExpectDialog<CConfigDialog>([](CConfigDialog& d) {
            ChooseEntry(d.Item<QComboBox>(IDC_MESSAGE), 2);
            d.SendCommand(app::IDOK);
            QVERIFY(!d.IsEnded());
            QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(IDC_MESSAGE)), 2); // the choice is still there
            d.SendCommand(app::IDCANCEL);
        });
        ui.ExpectMessageContaining(cat.IniPath());
        const int result = RunDialog<CConfigDialog>(cat, ui, {});
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
        QVERIFY(QFileInfo(cat.IniPath()).isDir()); // nothing written in its place
    }
};

REGISTER_TEST(TestConfigDialog)
#include "test_configdialog.moc"
