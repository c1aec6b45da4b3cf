// The dialog layer every window stands on: templates, keys, the data exchange, the list control, message boxes.
#include "scripted.h"
#include "testmain.h"

#include "app/dialoglayer.h"
#include "data/dberror.h"
#include "ids/layer.h"
#include "ids/main.h"

#include <QtWidgets>

using namespace Qt::StringLiterals;
namespace id = ids::layer;

// Enter in its edits does nothing but count, as in a window that saves with its own button only.
class CTestDialog final : public app::CDialog {
    Q_OBJECT
public:
    CTestDialog()
        : app::CDialog(id::Dialog)
    {
        OnCommand(id::Save, [this] { m_onSave(++m_saves); });
        LoadAccelerators(id::Keys);
    }
    int m_saves = 0, m_oks = 0, m_number = 0;
    std::function<void(int)> m_onSave = [](int) {};
    QString m_text, m_multi;

protected:
    void DoDataExchange(app::CDataExchange* pDX) override
    {
        app::DDX_Text(pDX, id::Line, m_text);
        app::DDX_Text(pDX, id::Text, m_multi);
        app::DDX_Text(pDX, id::Number, m_number);
    }
    void OnOK() override { ++m_oks; }
};

namespace {
// Text of a control that does not fit the control, or an empty text.
QString Clipped(QWidget* w)
{
    const QFontMetrics fm(w->font());
    const auto wide = [&](const QString& text, int extra) { return fm.horizontalAdvance(text) + extra > w->width(); };
    const bool low = fm.height() > w->height();
    if (auto* label = qobject_cast<QLabel*>(w))
        return (label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                                  : wide(label->text(), 2 * label->frameWidth()) || low)
            ? label->text()
            : QString();
    if (auto* button = qobject_cast<QPushButton*>(w))
        return wide(button->text(), 8) || low ? button->text() : QString();
    if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        const QStyle* style = radio->style();
        const int mark = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
            + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        return wide(radio->text(), mark) ? radio->text() : QString();
    }
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return wide(group->title(), 16) ? group->title() : QString();
    return {};
}
} // namespace

class TestDialogLayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTemplateBuildsWithoutClippedText()
    {
        const rc::Resources& res = rc::Resources::Get();
        QVERIFY2(res.Errors().isEmpty(), qPrintable(res.Errors().join(u'\n')));
        QVERIFY(res.FindDialog(ids::main::Dialog));
        QStringList problems;
        for (int dialog : res.DialogIds()) {
            app::CDialog dlg(dialog);
            for (QWidget* w : dlg.Client()->findChildren<QWidget*>())
                if (const QString text = Clipped(w); !text.isEmpty())
                    problems << u"dialog %1: \"%2\""_s.arg(dialog).arg(text);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    void scriptErrorsAreReported()
    {
        QStringList errors;
        rc::Resources::Parse(u"DIALOG 1 10 10\nEDITTEXT 5 \"\" 1 2 3\nBUTTON 6 \"x\" 1 2 3 4\n"
                             u"LTEXT 7 \"unterminated 1 2 3 4\nACCELERATORS 3\n\"\" 5\n"_s,
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
        // The first tab stop has the focus. Enter in an edit or a combo confirms; on a push button it clicks it, as
        // Space does. The key table wins over the focused control, on the Russian layout too. Ctrl+Enter breaks a
        // line; Esc cancels. A database error in a handler is shown and the window stays.
        ScriptedUi ui;
        CTestDialog dlg;
        ui.ExpectDialog<CTestDialog>([&ui](CTestDialog& d) {
            QApplication::setActiveWindow(&d);
            QCOMPARE(d.focusWidget(), d.GetDlgItem(app::IDOK));
            for (int control : { id::Line, id::Text, id::Choice })
                PressKey(d.GetDlgItem(control), Qt::Key_Return);
            PressKey(d.GetDlgItem(id::Save), Qt::Key_Return);
            PressKey(d.GetDlgItem(id::Save), Qt::Key_Space);
            auto* edit = d.Item<QPlainTextEdit>(id::Text);
            TypeText(edit, u"Первая\nВторая"_s);
            edit->selectAll();
            PressKey(edit, Qt::Key_C, Qt::ControlModifier);
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(0x0421), u"с"_s, Qt::ControlModifier);
            PressKey(d.GetDlgItem(id::Line), Qt::Key_D, Qt::AltModifier);
            QCOMPARE(QList({ d.m_oks, d.m_saves }), QList({ 3, 5 }));
            d.m_onSave = [](int) { throw data::DbError(u"Файл базы «x» не найден."_s); };
            ui.ExpectMessage(u"Файл базы «x» не найден."_s);
            PressKey(d.GetDlgItem(id::Save), Qt::Key_Space);
            QVERIFY(!d.IsEnded());
            d.UpdateData(true);
            PressKey(d.GetDlgItem(id::Line), Qt::Key_Escape);
        });
        QCOMPARE(dlg.DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(dlg.m_multi, u"Первая\nВторая"_s); // edited text as it now stands
        QCOMPARE(QApplication::clipboard()->text(), u"прежнее"_s);
    }

    void exchange()
    {
        // Text the user did not touch comes back exactly, CR LF and all.
        CTestDialog dlg;
        const QStringList texts { u"одна\r\nстрока"_s, u"строка 1\r\nстрока 2\r\n"_s };
        dlg.m_text = texts[0];
        dlg.m_multi = texts[1];
        dlg.m_number = 42;
        dlg.UpdateData(false);
        QCOMPARE(dlg.Item<QPlainTextEdit>(id::Text)->toPlainText(), u"строка 1\nстрока 2\n"_s);
        dlg.m_text = dlg.m_multi = QString();
        dlg.m_number = 0;
        dlg.UpdateData(true);
        QCOMPARE(
            QStringList({ dlg.m_text, dlg.m_multi, QString::number(dlg.m_number) }), texts + QStringList { u"42"_s });
    }

    void listControlReportsTheRowThatChangedLast()
    {
        CTestDialog dlg;
        auto* list = dlg.Item<app::CListCtrl>(id::List);
        list->InsertColumn(0, u"Имя"_s, Qt::AlignLeft, 120);
        list->SetRows({ { { u"Строка 0"_s }, 100 }, { { u"Строка 1"_s }, 101 }, { { u"Строка 2"_s }, 102 } });
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
        // Empty space below the rows: the row loses its selection and is reported again; clearing reports nothing.
        reports.clear();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));
        QCOMPARE(reports.value(reports.size() - 1, -1), 2);
        reports.clear();
        list->DeleteAllItems();
        QVERIFY(reports.isEmpty());
    }

    void messageBoxHasTheProgramsCaptionAndButtons()
    {
        QStringList seen; // caption, icon, buttons
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && seen.isEmpty()) {
                seen << box->windowTitle() << QString::number(box->icon());
                for (QAbstractButton* b : box->buttons())
                    seen << b->text();
                box->escapeButton()->click();
            }
        });
        poll.start(10);
        QCOMPARE(app::MessageBox(nullptr, u"Удалить?"_s, app::Buttons::OkCancel), app::IDCANCEL);
        QCOMPARE(seen, (QStringList { u"Vidarro"_s, QString::number(QMessageBox::NoIcon), u"OK"_s, u"Отмена"_s }));
    }
};

REGISTER_TEST(TestDialogLayer)
#include "test_dialoglayer.moc"
