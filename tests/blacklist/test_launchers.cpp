// The main window's black-list, settings, about, help and exit commands from buttons, menu items and keys.
#include "app/aboutdlg.h"
#include "app/helpfile.h"
#include "app/vidarrodlg.h"
#include "blacklist/blacklist.h"
#include "ids/about.h"
#include "ids/config.h"
#include "ids/main.h"
#include "scripted.h"
#include "settings/configdialog.h"
#include "testmain.h"

#include <QtWidgets>

using namespace Qt::StringLiterals;
namespace id = ids::main;

namespace {
QString Canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}
} // namespace

class TestLaunchers : public QObject {
    Q_OBJECT

    QStringList m_opened;

private Q_SLOTS:
    void initTestCase()
    {
        app::SetHelpCommandRunner([this](const QStringList& command, const app::HelpCommandDone& done) {
            if (command.first() == "xdg-open"_L1)
                m_opened << Canonical(command.last());
            done(0, "xchm.desktop");
        });
    }
    void cleanupTestCase() { app::SetHelpCommandRunner({}); }

    void everyWay_data()
    {
        // The way: the key when there is one, else the menu item when named, else the button in its group.
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("group"); // the header that opens the command's group of the navigation panel
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QKeyCombination>("key");
        const QKeyCombination none;
        QTest::newRow("black list button") << id::BlackList << id::Debtors << QString() << none;
        QTest::newRow("black list Alt+B") << id::BlackList << 0 << QString() << (Qt::ALT | Qt::Key_B);
        QTest::newRow("settings button") << id::Settings << id::Service << QString() << none;
        QTest::newRow("settings menu") << id::Settings << 0 << u"Настройки"_s << none;
        QTest::newRow("settings Ctrl+C") << id::Settings << 0 << QString() << (Qt::CTRL | Qt::Key_C);
        QTest::newRow("about button") << id::About << id::HelpGroup << QString() << none;
        QTest::newRow("about Ctrl+A") << id::About << 0 << QString() << (Qt::CTRL | Qt::Key_A);
        QTest::newRow("help button") << id::Help << id::HelpGroup << QString() << none;
        QTest::newRow("exit button") << id::Exit << id::Films << QString() << none;
        QTest::newRow("exit Esc") << id::Exit << 0 << QString() << QKeyCombination(Qt::Key_Escape);
        QTest::newRow("exit Enter") << id::Exit << 0 << QString() << QKeyCombination(Qt::Key_Return);
    }
    void everyWay()
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
                QTest::mouseClick(main.GetDlgItem(command), Qt::LeftButton);
            } else if (!menu.isEmpty()) {
                const QList<QAction*> actions = main.findChildren<QAction*>();
                const auto item = std::find_if(actions.begin(), actions.end(),
                    [&](QAction* a) { return !a->menu() && a->text().section(u'\t', 0, 0) == menu; });
                QVERIFY(item != actions.end());
                (*item)->trigger();
            } else {
                // Keys win over the focused control: Ctrl+C in the comment opens the settings, copies nothing.
                main.SendCommand(id::Films);
                auto* comment = main.Item<QPlainTextEdit>(id::Comment);
                comment->setPlainText(u"комментарий"_s);
                comment->selectAll();
                comment->setFocus();
                PressKey(comment, key.key(), key.keyboardModifiers());
            }
            QCOMPARE(main.IsEnded(), command == id::Exit);
            style = main.FilmList()->GetExtendedStyle();
            main.EndDialog(app::IDCANCEL);
        });
        if (command == id::BlackList)
            ui.ExpectDialog<CBlackList>([&](CBlackList& d) {
                QCOMPARE(QStringList({ Canonical(d.m_strBasePath), Canonical(d.m_strIniPath) }),
                    QStringList({ Canonical(cat.BasePath()), Canonical(cat.IniPath()) }));
                d.SendCommand(app::IDOK);
            });
        // OK applies the table setting; Cancel keeps the style even when the file changed behind its back.
        if (command == id::Settings)
            ui.ExpectDialog<CConfigDialog>([&](CConfigDialog& d) {
                QCOMPARE(Canonical(d.m_strIniPath), Canonical(cat.IniPath()));
                ChooseEntry(d.Item<QComboBox>(ids::config::Table), 0);
                if (!group)
                    cat.WriteIni("[Config]\r\nTable=0\r\n");
                d.SendCommand(group ? app::IDOK : app::IDCANCEL);
            });
        if (command == id::About) // its "Справка" opens the guide and leaves the box open
            ui.ExpectDialog<CAboutDlg>([&](CAboutDlg& d) {
                // The catalogue in use and its backup folder, each path whole (break hints aside).
                const QString shown = d.Item<QLabel>(ids::about::Catalogue)->text().remove(QChar(0x200B));
                QVERIFY2(shown.contains(cat.BasePath()) && shown.contains(cat.Dir() + u"/Backup"_s), qPrintable(shown));
                Click(d, ids::about::HelpFile);
                QCOMPARE(m_opened, QStringList { guide });
                QVERIFY(!d.IsEnded());
                Click(d, app::IDOK);
            });
        CVidarroDlg main;
        main.DoModal();
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_opened, command == id::About || command == id::Help ? QStringList { guide } : QStringList());
        QCOMPARE(QApplication::clipboard()->text(), u"прежнее"_s);
        QCOMPARE(style, command == id::Settings && group ? quint32(0x20) : quint32(0x21)); // full-row selection stays
    }
};

REGISTER_TEST(TestLaunchers)
#include "test_launchers.moc"
