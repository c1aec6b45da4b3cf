// The dialog layer every window stands on: templates, key routing, the data exchange, the list control
// and the message box.
#include "scripted.h"
#include "testbase.h"

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
#include <QTest>
#include <QTimer>

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
        const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                            : fm.horizontalAdvance(label->text()) + frame <= label->width()
                && fm.height() <= label->height();
        return fits ? QString() : label->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(w))
        return fm.horizontalAdvance(button->text()) + 8 <= button->width() && fm.height() <= button->height()
            ? QString() : button->text();
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
                    problems << QStringLiteral("dialog %1: \"%2\"").arg(id).arg(text);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void scriptErrorsAreReported()
    {
        QStringList errors;
        rc::Resources::Parse(QStringLiteral("DIALOG 1 10 10\nEDITTEXT 5 \"\" 1 2 3\nBUTTON 6 \"x\" 1 2 3 4\n"
                                            "LTEXT 7 \"unterminated 1 2 3 4\nACCELERATORS 3\n\"\" 5\n"),
            QStringLiteral("bad.rc"), &errors);
        QCOMPARE(errors.size(), 4);
        const rc::Resources ok = rc::Resources::Parse(
            QStringLiteral("DIALOG 2 40 20 // c\nCAPTION \"Окно \"\"1\"\"\"\nLTEXT -1 \"a\\tb\" 1 2 3 4 NOWRAP\n"),
            QStringLiteral("ok.rc"), &errors);
        QVERIFY(errors.isEmpty());
        QCOMPARE(ok.FindDialog(2)->caption, QStringLiteral("Окно \"1\""));
        QCOMPARE(ok.FindDialog(2)->controls.first().text, QStringLiteral("a\tb"));
        QCOMPARE(ok.FindDialog(2)->controls.first().rect, QRect(1, 2, 3, 4));
    }

    void enterEscapeAndTheFocusedButton()
    {
        ScriptedUi ui;
        // Enter in an edit: the confirm command; a window may make it do nothing.
        ui.ExpectDialog<CTestDialog>([](CTestDialog& d) {
            PressKey(d.GetDlgItem(1017), Qt::Key_Return);
        });
        CTestDialog plain;
        QCOMPARE(plain.DoModal(), app::IDOK);

        ui.ExpectDialog<CTestDialog>([](CTestDialog& d) {
            PressKey(d.GetDlgItem(1017), Qt::Key_Return);
            PressKey(d.GetDlgItem(1018), Qt::Key_Return);
            PressKey(d.GetDlgItem(1020), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            QCOMPARE(d.m_saves, 0);
            // Enter on a push button clicks it; so does Space.
            PressKey(d.GetDlgItem(1047), Qt::Key_Return);
            PressKey(d.GetDlgItem(1047), Qt::Key_Space);
            QCOMPARE(d.m_saves, 2);
            PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
        });
        CTestDialog quiet(true);
        QCOMPARE(quiet.DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
    }

    void firstTabStopHasTheFocus()
    {
        ScriptedUi ui;
        ui.ExpectDialog<CTestDialog>([](CTestDialog& d) {
            QApplication::setActiveWindow(&d);
            QCOMPARE(d.focusWidget(), d.GetDlgItem(1));
            d.EndDialog(app::IDOK);
        });
        CTestDialog dlg;
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
    }

    void keyTableWinsOverTheFocusedControl()
    {
        QApplication::clipboard()->setText(QStringLiteral("прежнее"));
        ScriptedUi ui;
        ui.ExpectDialog<CTestDialog>([](CTestDialog& d) {
            auto* edit = d.Item<QPlainTextEdit>(1018);
            edit->setPlainText(QStringLiteral("текст"));
            edit->selectAll();
            PressKey(edit, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(d.m_saves, 1);
            // The same key on the Russian layout.
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(0x0421), QStringLiteral("с"), Qt::ControlModifier);
            QCOMPARE(d.m_saves, 2);
            PressKey(d.GetDlgItem(1017), Qt::Key_D, Qt::AltModifier);
            QCOMPARE(d.m_saves, 3);
            d.EndDialog(app::IDOK);
        });
        CTestDialog dlg;
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("прежнее"));
    }

    void ctrlEnterBreaksALine()
    {
        CTestDialog dlg(true);
        auto* edit = dlg.Item<QPlainTextEdit>(1018);
        ScriptedUi ui;
        ui.ExpectDialog<CTestDialog>([&](CTestDialog& d) {
            TypeText(edit, QStringLiteral("Первая\nВторая"));
            d.UpdateData(true);
            d.EndDialog(app::IDOK);
        });
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
        QCOMPARE(dlg.m_multi, QStringLiteral("Первая\nВторая"));
    }

    void exchangeReturnsUntouchedTextExactly()
    {
        CTestDialog dlg;
        dlg.m_text = QStringLiteral("одна\r\nстрока");
        dlg.m_multi = QStringLiteral("строка 1\r\nстрока 2\r\n");
        dlg.m_number = 42;
        dlg.UpdateData(false);
        QCOMPARE(dlg.Item<QPlainTextEdit>(1018)->toPlainText(), QStringLiteral("строка 1\nстрока 2\n"));
        dlg.m_text.clear();
        dlg.m_multi.clear();
        dlg.m_number = 0;
        dlg.UpdateData(true);
        QCOMPARE(dlg.m_text, QStringLiteral("одна\r\nстрока"));
        QCOMPARE(dlg.m_multi, QStringLiteral("строка 1\r\nстрока 2\r\n"));
        QCOMPARE(dlg.m_number, 42);
        // Edited text is taken as it now stands.
        dlg.Item<QPlainTextEdit>(1018)->setPlainText(QStringLiteral("новая\nстрока"));
        dlg.UpdateData(true);
        QCOMPARE(dlg.m_multi, QStringLiteral("новая\nстрока"));
    }

    void comboSelection()
    {
        CTestDialog dlg;
        auto* combo = dlg.Item<QComboBox>(1020);
        QCOMPARE(app::ComboGetCurSel(combo), -1);
        app::ComboSetCurSel(combo, 1);
        QCOMPARE(app::ComboGetCurSel(combo), 1);
        app::ComboSetCurSel(combo, 5);
        QCOMPARE(app::ComboGetCurSel(combo), -1);
        app::ComboSetCurSel(combo, 0);
        combo->setEditText(QStringLiteral("Три")); // typed into its own field
        QCOMPARE(app::ComboGetCurSel(combo), -1);
        QCOMPARE(combo->count(), 2);
    }

    void listControlReportsTheRowThatChangedLast()
    {
        CTestDialog dlg;
        auto* list = dlg.Item<app::CListCtrl>(1015);
        list->InsertColumn(0, QStringLiteral("Имя"), Qt::AlignLeft, 120);
        std::vector<app::CListModel::Row> rows;
        for (int i = 0; i < 3; ++i)
            rows.push_back({{QStringLiteral("Строка %1").arg(i)}, 100 + i});
        list->SetRows(std::move(rows));
        list->SetExtendedStyle(app::LVS_EX_GRIDLINES | app::LVS_EX_FULLROWSELECT);
        QVERIFY(list->showGrid());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        list->SetExtendedStyle(0);
        QVERIFY(!list->showGrid());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectItems);
        list->SetExtendedStyle(app::LVS_EX_FULLROWSELECT);

        QList<int> reports;
        QObject::connect(list, &app::CListCtrl::itemChanged, list, [&](int row) { reports << row; });
        dlg.resize(600, 400);
        dlg.show();
        list->resize(300, 300);
        auto rowCentre = [&](int row) { return list->visualRect(list->Model()->index(row, 0)).center(); };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(1));
        QCOMPARE(reports.last(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(2));
        QCOMPARE(reports.last(), 2);
        // Empty space below the rows: the row loses its selection and is reported again.
        const int before = int(reports.size());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));
        QVERIFY(reports.size() > before);
        QCOMPARE(reports.last(), 2);
        QCOMPARE(list->GetItemData(2), 102);
        QCOMPARE(list->GetItemText(1, 0), QStringLiteral("Строка 1"));
        // Clearing the list reports nothing.
        const int count = int(reports.size());
        list->DeleteAllItems();
        QCOMPARE(reports.size(), count);
        QCOMPARE(list->GetItemCount(), 0);
    }

    void databaseErrorInAHandlerIsShownAndTheWindowStays()
    {
        ScriptedUi ui;
        ui.ExpectDialog<CTestDialog>([&ui](CTestDialog& d) {
            ui.ExpectMessage(QStringLiteral("Файл базы «x» не найден."));
            d.SendCommand(1047);
            QVERIFY(!d.IsEnded());
            d.EndDialog(app::IDOK);
        });
        CTestDialog dlg;
        dlg.m_onSave = [] { throw data::DbError(QStringLiteral("Файл базы «x» не найден.")); };
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
                if (b->text() == QStringLiteral("Отмена"))
                    b->click();
        });
        poll.start();
        QCOMPARE(app::MessageBox(nullptr, QStringLiteral("Удалить?"), app::Buttons::OkCancel), app::IDCANCEL);
        poll.stop();
        QCOMPARE(title, QStringLiteral("Vidarro"));
        QVERIFY(iconless);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Отмена")}));
    }
};

QTEST_MAIN(TestDialogLayer)
#include "test_dialoglayer.moc"
