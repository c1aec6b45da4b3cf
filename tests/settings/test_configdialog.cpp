// The settings dialog: what it shows of the settings file, its pictures, and what each way out writes.
#include "ids/config.h"
#include "scripted.h"
#include "settings/configdialog.h"
#include "settings/profile.h"
#include "testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;
namespace id = ids::config;

namespace {
enum How { Enter, Cancel, Escape, Ok };

// Which pictures show: the message bubble, the speaker.
std::pair<bool, bool> Pictures(const CConfigDialog& d)
{
    return { !d.GetDlgItem(id::PicMessage)->isHidden(), !d.GetDlgItem(id::PicSound)->isHidden() };
}
} // namespace

class TestConfigDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void waysOut_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("message"); // shown; -1 for no selection
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("how");
        QTest::newRow("no settings file") << QByteArray() << 0 << 0 << int(Enter);
        QTest::newRow("message") << QByteArray("[Config]\r\nMessage=1\r\nTable=1\r\n") << 1 << 1 << int(Enter);
        QTest::newRow("sound") << QByteArray("[Config]\r\nMessage=2\r\nTable=0\r\n") << 2 << 0 << int(Enter);
        QTest::newRow("both, leading number") << QByteArray("[CONFIG]\nmessage= 3 beeps\n") << 3 << 0 << int(Enter);
        QTest::newRow("outside the lists")
            << QByteArray("[Config]\r\nMessage=5\r\nTable=2\r\n") << -1 << -1 << int(Enter);
        // After choices: "Отмена" and Esc write nothing.
        QTest::newRow("choices, Отмена") << QByteArray() << 0 << 0 << int(Cancel);
        QTest::newRow("choices, Esc") << QByteArray() << 0 << 0 << int(Escape);
        QTest::newRow("choices, OK") << QByteArray() << 0 << 0 << int(Ok);
    }
    void waysOut()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, message);
        QFETCH(int, table);
        QFETCH(int, how);
        TempCatalogue cat;
        if (!ini.isNull())
            cat.WriteIni(ini);
        ScriptedUi ui;
        const int result = RunDialog<CConfigDialog>(cat, ui, [&](CConfigDialog& d) {
            auto* combo = d.Item<QComboBox>(id::Message);
            QCOMPARE(app::ComboGetCurSel(combo), message);
            QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(id::Table)), table);
            QCOMPARE(combo->currentText().isEmpty(), message < 0);
            // 1 is a message, 2 a sound, 3 both; nothing selected shows neither.
            QCOMPARE(Pictures(d), std::pair(message > 0 && (message & 1), message > 0 && (message & 2)));
            if (how == Enter) { // at once: the focused "OK" (which creates a missing file)
                QCOMPARE(d.focusWidget(), d.GetDlgItem(app::IDOK));
                return PressKey(d.focusWidget(), Qt::Key_Return);
            }
            QVERIFY(!d.Item<QLabel>(id::PicMessage)->pixmap().isNull());
            QVERIFY(!d.Item<QLabel>(id::PicSound)->pixmap().isNull());
            for (int choice : { 3, 1, 0, 2 }) {
                ChooseEntry(combo, choice);
                QCOMPARE(Pictures(d), std::pair(bool(choice & 1), bool(choice & 2)));
            }
            // Text of its own selects no entry: the pictures stay as they were.
            combo->lineEdit()->clear();
            TypeText(combo->lineEdit(), u"Громко"_s);
            QCOMPARE(Pictures(d), std::pair(false, true));
            ChooseEntry(d.Item<QComboBox>(id::Table), 1);
            if (how == Escape)
                PressKey(d.GetDlgItem(id::Table), Qt::Key_Escape);
            else
                Click(d, how == Ok ? app::IDOK : app::IDCANCEL);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, how == Enter || how == Ok ? app::IDOK : app::IDCANCEL);
        QCOMPARE(QFile::exists(cat.IniPath()), result == app::IDOK);
        const QStringList written { QString::number(how == Ok ? -1 : message), QString::number(how == Ok ? 1 : table) };
        const auto stored = [&](const QString& key) {
            return settings::GetPrivateProfileString(u"Config"_s, key, {}, cat.IniPath());
        };
        if (result == app::IDOK)
            QCOMPARE(QStringList({ stored(u"Message"_s), stored(u"Table"_s) }), written);
    }
};

REGISTER_TEST(TestConfigDialog)
#include "test_configdialog.moc"
