// The dialog layer every window stands on: templates, key routing, the data exchange, the list control
// and the message box.
#include "scripted.h"
#include "testmain.h"

#include "app/dialoglayer.h"
#include "data/dberror.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>

using namespace Qt::StringLiterals;

class CTestDialog final : public app::CDialog {
    Q_OBJECT
public:
    explicit CTestDialog(bool enterDoesNothing = false)
        : app::CDialog(900)
        , m_enterDoesNothing(enterDoesNothing)
    {
        OnCommand(1047, [this] {
            ++m_saves;
            if (m_onSave)
                m_onSave();
        });
        LoadAccelerators(901);
    }
    int m_saves = 0;
    std::function<void()> m_onSave;
    QString m_text;
    QString m_multi;
    int m_number = 0;
    bool m_enterDoesNothing;

protected:
    void DoDataExchange(app::CDataExchange* pDX) override
    {
        app::DDX_Text(pDX, 1017, m_text);
        app::DDX_Text(pDX, 1018, m_multi);
        app::DDX_Text(pDX, 1019, m_number);
    }
    void OnOK() override
    {
        if (!m_enterDoesNothing)
            app::CDialog::OnOK();
    }
};

namespace {

// Text of a control that does not fit the control, or an empty text.
QString Clipped(QWidget* w)
{
    const QFontMetrics fm(w->font());
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty())
            return {};
        const int frame = 2 * label->frameWidth();
        const bool fits = label->wordWrap()
            ? label->heightForWidth(label->width()) <= label->height()
            : fm.horizontalAdvance(label->text()) + frame <= label->width() && fm.height() <= label->height();
        return fits ? QString() : label->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(w))
        return fm.horizontalAdvance(button->text()) + 8 <= button->width() && fm.height() <= button->height()
            ? QString()
            : button->text();
    if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        const int need = radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
            + radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + fm.horizontalAdvance(radio->text());
        return need <= radio->width() ? QString() : radio->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return fm.horizontalAdvance(group->title()) + 16 <= group->width() ? QString() : group->title();
    return {};
}

} // namespace

class TestDialogLayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTemplateBuildsWithoutClippedText()
    {
        const rc::Resources& res = rc::Resources::Get();
        QVERIFY2(res.Errors().isEmpty(), qPrintable(res.Errors().join(QLatin1Char('\n'))));
        QVERIFY(res.FindDialog(102));
        QStringList problems;
        for (int id : res.DialogIds()) {
            app::CDialog dlg(id);
            for (QWidget* w : dlg.Client()->findChildren<QWidget*>()) {
                const QString text = Clipped(w);
                if (!text.isEmpty())
                    problems << u"dialog %1: \"%2\""_s.arg(id).arg(text);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void scriptErrorsAreReported()
    {
        QStringList errors;
        rc::Resources::Parse(QStringLiteral("DIALOG 1 10 10\nEDITTEXT 5 \"\" 1 2 3\nBUTTON 6 \"x\" 1 2 3 4\n"
                                            "LTEXT 7 \"unterminated 1 2 3 4\nACCELERATORS 3\n\"\" 5\n"),
            u"bad.rc"_s, &errors);
        QCOMPARE(errors.size(), 4);
        const rc::Resources ok = rc::Resources::Parse(
            u"DIALOG 2 40 20 // c\nCAPTION \"Окно \"\"1\"\"\"\nLTEXT -1 \"a\\tb\" 1 2 3 4 NOWRAP\n"_s, u"ok.rc"_s,
            &errors);
        QVERIFY(errors.isEmpty());
        QCOMPARE(ok.FindDialog(2)->caption, u"Окно \"1\""_s);
        QCOMPARE(ok.FindDialog(2)->controls.first().text, u"a\tb"_s);
        QCOMPARE(ok.FindDialog(2)->controls.first().rect, QRect(1, 2, 3, 4));
    }

    void keys()
    {
        QApplication::clipboard()->setText(u"прежнее"_s);
        ScriptedUi ui;
        // Enter in an edit: the confirm command.
        ui.ExpectDialog<CTestDialog>([](CTestDialog& d) { PressKey(d.GetDlgItem(1017), Qt::Key_Return); });
        QCOMPARE(CTestDialog().DoModal(), app::IDOK);
        // A window may make Enter do nothing; it clicks a push button, as Space does. The first tab stop has the
        // focus. The key table wins over the focused control, on the Russian layout too. Ctrl+Enter breaks a line.
        CTestDialog quiet(true);
        ui.ExpectDialog<CTestDialog>([](CTestDialog& d) {
            QApplication::setActiveWindow(&d);
            QCOMPARE(d.focusWidget(), d.GetDlgItem(1));
            for (int id : { 1017, 1018, 1020 })
                PressKey(d.GetDlgItem(id), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            QCOMPARE(d.m_saves, 0);
            PressKey(d.GetDlgItem(1047), Qt::Key_Return);
            PressKey(d.GetDlgItem(1047), Qt::Key_Space);
            auto* edit = d.Item<QPlainTextEdit>(1018);
            TypeText(edit, u"Первая\nВторая"_s);
            edit->selectAll();
            PressKey(edit, Qt::Key_C, Qt::ControlModifier);
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(0x0421), u"с"_s, Qt::ControlModifier);
            PressKey(d.GetDlgItem(1017), Qt::Key_D, Qt::AltModifier);
            QCOMPARE(d.m_saves, 5);
            d.UpdateData(true);
            PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
        });
        QCOMPARE(quiet.DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(quiet.m_multi, u"Первая\nВторая"_s);
        QCOMPARE(QApplication::clipboard()->text(), u"прежнее"_s);
    }

    void exchangeAndCombo()
    {
        // Text the user did not touch comes back exactly, CR LF and all; edited text as it now stands.
        CTestDialog dlg;
        dlg.m_text = u"одна\r\nстрока"_s;
        dlg.m_multi = u"строка 1\r\nстрока 2\r\n"_s;
        dlg.m_number = 42;
        dlg.UpdateData(false);
        QCOMPARE(dlg.Item<QPlainTextEdit>(1018)->toPlainText(), u"строка 1\nстрока 2\n"_s);
        dlg.m_text = dlg.m_multi = QString();
        dlg.m_number = 0;
        dlg.UpdateData(true);
        QCOMPARE(QStringList({ dlg.m_text, dlg.m_multi }),
            QStringList({ u"одна\r\nстрока"_s, u"строка 1\r\nстрока 2\r\n"_s }));
        QCOMPARE(dlg.m_number, 42);
        dlg.Item<QPlainTextEdit>(1018)->setPlainText(u"новая\nстрока"_s);
        dlg.UpdateData(true);
        QCOMPARE(dlg.m_multi, u"новая\nстрока"_s);
        // A combo's selection: none, an entry, none for an index outside, none for text typed into its field.
        auto* combo = dlg.Item<QComboBox>(1020);
        QCOMPARE(app::ComboGetCurSel(combo), -1);
        app::ComboSetCurSel(combo, 1);
        QCOMPARE(app::ComboGetCurSel(combo), 1);
        app::ComboSetCurSel(combo, 5);
        QCOMPARE(app::ComboGetCurSel(combo), -1);
        app::ComboSetCurSel(combo, 0);
        combo->setEditText(u"Три"_s);
        QCOMPARE(app::ComboGetCurSel(combo), -1);
    }

    void listControlReportsTheRowThatChangedLast()
    {
        CTestDialog dlg;
        auto* list = dlg.Item<app::CListCtrl>(1015);
        list->InsertColumn(0, u"Имя"_s, Qt::AlignLeft, 120);
        list->SetRows({ { { u"Строка 0"_s }, 100 }, { { u"Строка 1"_s }, 101 }, { { u"Строка 2"_s }, 102 } });
        list->SetExtendedStyle(app::LVS_EX_GRIDLINES | app::LVS_EX_FULLROWSELECT);
        QVERIFY(list->showGrid() && list->selectionBehavior() == QAbstractItemView::SelectRows);
        QList<int> reports;
        QObject::connect(list, &app::CListCtrl::itemChanged, list, [&](int row) { reports << row; });
        dlg.resize(600, 400);
        dlg.show();
        list->resize(300, 300);
        for (int row : { 1, 2 }) {
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualRect(list->Model()->index(row, 0)).center());
            QCOMPARE(reports.last(), row);
        }
        // Empty space below the rows: the row loses its selection and is reported again.
        const qsizetype before = reports.size();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));
        QVERIFY(reports.size() > before);
        QCOMPARE(reports.last(), 2);
        QCOMPARE(list->GetItemData(2), 102);
        // Clearing the list reports nothing.
        const qsizetype count = reports.size();
        list->DeleteAllItems();
        QCOMPARE(reports.size(), count);
        QCOMPARE(list->GetItemCount(), 0);
    }

    void databaseErrorInAHandlerIsShownAndTheWindowStays()
    {
        ScriptedUi ui;
        ui.ExpectDialog<CTestDialog>([&ui](CTestDialog& d) {
            ui.ExpectMessage(u"Файл базы «x» не найден."_s);
            d.SendCommand(1047);
            QVERIFY(!d.IsEnded());
            d.EndDialog(app::IDOK);
        });
        CTestDialog dlg;
        dlg.m_onSave = [] { throw data::DbError(u"Файл базы «x» не найден."_s); };
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
    }

    void messageBoxHasTheProgramsCaptionAndButtons()
    {
        QString title;
        QStringList buttons;
        bool iconless = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            iconless = box->icon() == QMessageBox::NoIcon;
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == u"Отмена"_s)
                    b->click();
        });
        poll.start();
        QCOMPARE(app::MessageBox(nullptr, u"Удалить?"_s, app::Buttons::OkCancel), app::IDCANCEL);
        poll.stop();
        QCOMPARE(title, u"Vidarro"_s);
        QVERIFY(iconless);
        buttons.sort();
        QCOMPARE(buttons, (QStringList { u"OK"_s, u"Отмена"_s }));
    }
};

REGISTER_TEST(TestDialogLayer)
#include "test_dialoglayer.moc"
