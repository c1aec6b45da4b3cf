// The main window's black-list, settings, about and help commands from their buttons, menu items and keys; the
// about box's way to the guide; the list style after the settings dialog's OK and Cancel.
#include "app/aboutdlg.h"
#include "app/helpfile.h"
#include "app/vidarrodlg.h"
#include "blacklist/blacklist.h"
#include "scripted.h"
#include "settings/configdialog.h"
#include "testmain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
QString Canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}
} // namespace

class TestLaunchers : public QObject {
    Q_OBJECT

    void initTestCase()
    {
        app::SetDesktopOpenHook([this](const QUrl& url) {
            m_opened << Canonical(url.toLocalFile());
            return true;
        });
    }
    void cleanupTestCase() { app::SetDesktopOpenHook({}); }

    QStringList m_opened;

private Q_SLOTS:
    void everyWayOpensTheWindow_data()
    {
        // The way: the key when there is one, else the menu item when named, else the button in its group.
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("group"); // the header that opens the command's group of the navigation panel
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QKeyCombination>("key");
        const QKeyCombination none;
        QTest::newRow("black list button") << 1016 << 1001 << QString() << none;
        QTest::newRow("black list menu") << 1016 << 0 << u"Черный список"_s << none;
        QTest::newRow("black list Alt+B") << 1016 << 0 << QString() << (Qt::ALT | Qt::Key_B);
        QTest::newRow("settings button") << 1012 << 1002 << QString() << none;
        QTest::newRow("settings menu") << 1012 << 0 << u"Настройки"_s << none;
        QTest::newRow("settings Ctrl+C") << 1012 << 0 << QString() << (Qt::CTRL | Qt::Key_C);
        QTest::newRow("about button") << 1013 << 1003 << QString() << none;
        QTest::newRow("about menu") << 1013 << 0 << u"О программе"_s << none;
        QTest::newRow("about Ctrl+A") << 1013 << 0 << QString() << (Qt::CTRL | Qt::Key_A);
        QTest::newRow("help button") << 1014 << 1003 << QString() << none;
        QTest::newRow("help menu") << 1014 << 0 << u"Справка"_s << none;
    }

    void everyWayOpensTheWindow()
    {
        QFETCH(int, command);
        QFETCH(int, group);
        QFETCH(QString, menu);
        QFETCH(QKeyCombination, key);
        TempCatalogue cat;
        cat.AddFilm(u"Сталкер"_s);
        cat.WriteIni("[Config]\r\nTable=1\r\n");
        cat.EnterDir();
        QFile chm(u"Vidarro.chm"_s);
        QVERIFY(chm.open(QIODevice::WriteOnly) && chm.write("ITSF") == 4);
        chm.close();
        const QString guide = Canonical(chm.fileName());
        m_opened.clear();
        QApplication::clipboard()->setText(u"прежнее"_s);
        quint32 style = 0;
        ScriptedUi ui;
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& main) {
            if (group) {
                main.SendCommand(group);
                QVERIFY(main.GetDlgItem(command)->isVisible());
                QTest::mouseClick(main.Item<QPushButton>(command), Qt::LeftButton);
            } else if (!menu.isEmpty()) {
                QAction* item = nullptr;
                for (QAction* action : main.findChildren<QAction*>())
                    if (!action->menu() && action->text().section(u'\t', 0, 0) == menu)
                        item = action;
                QVERIFY(item);
                item->trigger();
            } else {
                // Keys win over the focused control, whichever group is open: Ctrl+C in the comment opens the
                // settings and copies nothing.
                main.SendCommand(1000);
                auto* comment = main.Item<QPlainTextEdit>(1018);
                comment->setPlainText(u"комментарий"_s);
                comment->selectAll();
                comment->setFocus();
                PressKey(comment, key.key(), key.keyboardModifiers());
            }
            style = main.FilmList()->GetExtendedStyle();
            main.SendCommand(app::IDCANCEL);
        });
        if (command == 1016)
            ui.ExpectDialog<CBlackList>([&](CBlackList& d) {
                QCOMPARE(Canonical(d.m_strBasePath), Canonical(cat.BasePath()));
                QCOMPARE(Canonical(d.m_strIniPath), Canonical(cat.IniPath()));
                d.SendCommand(app::IDOK);
            });
        // The list takes the table setting chosen with OK; Cancel keeps the old style even when the file changed
        // behind the dialog's back.
        if (command == 1012)
            ui.ExpectDialog<CConfigDialog>([&](CConfigDialog& d) {
                QCOMPARE(Canonical(d.m_strIniPath), Canonical(cat.IniPath()));
                ChooseEntry(d.Item<QComboBox>(1024), 0);
                if (!group)
                    cat.WriteIni("[Config]\r\nTable=0\r\n");
                d.SendCommand(group ? app::IDOK : app::IDCANCEL);
            });
        if (command == 1013) // its "Справка" opens the guide and leaves the box open
            ui.ExpectDialog<CAboutDlg>([&](CAboutDlg& d) {
                QTest::mouseClick(d.Item<QPushButton>(1000), Qt::LeftButton);
                QCOMPARE(m_opened, QStringList { guide });
                QVERIFY(!d.IsEnded());
                QTest::mouseClick(d.Item<QPushButton>(app::IDOK), Qt::LeftButton);
            });
        CVidarroDlg main;
        main.DoModal();
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_opened, command == 1013 || command == 1014 ? QStringList { guide } : QStringList());
        QCOMPARE(QApplication::clipboard()->text(), u"прежнее"_s);
        QCOMPARE(style, command == 1012 && group ? quint32(0x20) : quint32(0x21)); // full-row selection stays on
    }
};

REGISTER_TEST(TestLaunchers)
#include "test_launchers.moc"
