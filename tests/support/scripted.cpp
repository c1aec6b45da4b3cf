#include "scripted.h"

#include "app/vidarrodlg.h"

#include <QComboBox>
#include <QSlider>
#include <QTest>

ScriptedUi::ScriptedUi()
{
    app::SetMessageBoxHook([this](const QString& text, app::Buttons) {
        const Step step = Take(Kind::Message, QStringLiteral("message \"%1\"").arg(text));
        if (step.partial ? !text.contains(step.text) : step.text != text)
            m_failures << QStringLiteral("message \"%1\" instead of \"%2\"").arg(text, step.text);
        return step.answer;
    });
    app::SetFileDialogHook(
        [this](const QString&, const QString&) { return Take(Kind::File, QStringLiteral("file dialog")).text; });
    app::CDialog::SetModalHook([this](app::CDialog& dlg) {
        const Step step = Take(Kind::Dialog, QStringLiteral("window \"%1\"").arg(dlg.windowTitle()));
        if (step.script)
            step.script(dlg);
        if (!dlg.IsEnded()) {
            if (step.script)
                m_failures << QStringLiteral("window \"%1\" left open").arg(dlg.windowTitle());
            dlg.EndDialog(app::IDCANCEL);
        }
    });
}

ScriptedUi::Step ScriptedUi::Take(Kind kind, const QString& what)
{
    if (m_queue.empty() || m_queue.front().kind != kind) {
        m_failures << QStringLiteral("unexpected ") + what;
        return { kind, {}, app::IDCANCEL, kind == Kind::Message };
    }
    Step step = std::move(m_queue.front());
    m_queue.pop_front();
    return step;
}

ScriptedUi::~ScriptedUi()
{
    app::SetMessageBoxHook({});
    app::SetFileDialogHook({});
    app::CDialog::SetModalHook({});
}

bool ScriptedUi::Done(QString* why) const
{
    QStringList problems = m_failures;
    for (const Step& s : m_queue)
        problems << QStringLiteral("expected but not shown: %1").arg(s.text);
    if (why)
        *why = problems.join(QLatin1String("; "));
    return problems.isEmpty();
}

void RunMainWindow(TempCatalogue& cat, ScriptedUi& ui, const std::function<void(CVidarroDlg&)>& script)
{
    cat.EnterDir();
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& dlg) {
        script(dlg);
        if (!dlg.IsEnded())
            dlg.EndDialog(app::IDCANCEL);
    });
    CVidarroDlg dlg;
    dlg.DoModal();
}

void Click(app::CDialog& dlg, int id)
{
    QTest::mouseClick(dlg.GetDlgItem(id), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
}

QStringList EditTexts(const app::CDialog& dlg, const QList<int>& ids)
{
    QStringList texts;
    for (int id : ids)
        texts << app::EditText(dlg.GetDlgItem(id));
    return texts;
}

QStringList Cells(const QList<QStringList>& rows, int column)
{
    QStringList cells;
    for (const QStringList& row : rows)
        cells << row.value(column);
    return cells;
}

void ChooseEntry(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void DragThumb(QSlider* slider, int position)
{
    slider->setSliderDown(true);
    slider->setSliderPosition(position);
    slider->setSliderDown(false);
}

QList<QStringList> ListRows(const app::CListCtrl* list)
{
    QList<QStringList> rows;
    for (int r = 0; r < list->GetItemCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list->GetColumnCount(); ++c)
            cells << list->GetItemText(r, c);
        rows << cells;
    }
    return rows;
}

void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch == u'\n')
            QTest::keyClick(widget, Qt::Key_Return, Qt::ControlModifier);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(widget, key, modifiers);
}
