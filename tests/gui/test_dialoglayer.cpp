// The dialog layer every window stands on: templates, keys, the data exchange.
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

    void keys()
    {
        QApplication::clipboard()->setText(u"прежнее"_s);
        // Enter confirms, or clicks a focused button as Space does; the key table wins, on the Russian layout too.
        ScriptedUi ui;
        CTestDialog dlg; // untouched text comes back exactly, CR LF and all
        dlg.m_text = u"одна\r\nстрока"_s;
        dlg.m_number = 42;
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
        QCOMPARE(QStringList({ dlg.m_text, dlg.m_multi, QString::number(dlg.m_number) }),
            QStringList({ u"одна\r\nстрока"_s, u"Первая\nВторая"_s, u"42"_s })); // edited text as it now stands
        QCOMPARE(QApplication::clipboard()->text(), u"прежнее"_s);
    }
};

REGISTER_TEST(TestDialogLayer)
#include "test_dialoglayer.moc"
