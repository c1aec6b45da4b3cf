#include "app/ddx.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVariant>

namespace app {

namespace {
    // Properties that remember what an edit was given, so an untouched text returns unchanged.
    constexpr char kShown[] = "vidarroShown";
    constexpr char kValue[] = "vidarroValue";

    QString Displayed(const QWidget* w, const QString& value)
    {
        if (qobject_cast<const QPlainTextEdit*>(w)) {
            QString s = value;
            return s.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        }
        return value;
    }
} // namespace

QString EditText(const QWidget* w)
{
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w))
        return e->toPlainText();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    return {};
}

void SetEditText(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
        e->setCursorPosition(0);
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        e->setPlainText(text);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setEditText(text);
    }
}

void DDX_Text(CDataExchange* pDX, int id, QString& value)
{
    QWidget* w = pDX->m_pDlgWnd->GetDlgItem(id);
    Q_ASSERT_X(w, "DDX_Text", "no control with this id");
    if (!w)
        return;
    if (pDX->m_bSaveAndValidate) {
        const QString now = EditText(w);
        const QVariant shown = w->property(kShown);
        if (shown.isValid() && shown.toString() == now)
            value = w->property(kValue).toString();
        else
            value = now;
        return;
    }
    const QString display = Displayed(w, value);
    if (EditText(w) != display)
        SetEditText(w, display);
    w->setProperty(kShown, EditText(w));
    w->setProperty(kValue, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    QWidget* w = pDX->m_pDlgWnd->GetDlgItem(id);
    Q_ASSERT_X(w, "DDX_Text", "no control with this id");
    if (!w)
        return;
    if (pDX->m_bSaveAndValidate) {
        bool ok = false;
        const int n = EditText(w).trimmed().toInt(&ok);
        if (ok)
            value = n;
        return;
    }
    SetEditText(w, QString::number(value));
}

int ComboGetCurSel(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    if (index < 0)
        return -1;
    if (combo->isEditable() && combo->currentText() != combo->itemText(index))
        return -1;
    return index;
}

void ComboSetCurSel(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void SetEditReadOnly(QWidget* w, bool readOnly)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setReadOnly(readOnly);
    else if (auto* e = qobject_cast<QPlainTextEdit*>(w))
        e->setReadOnly(readOnly);
    else
        return;
    QPalette p = w->palette();
    const QPalette base;
    p.setColor(QPalette::Base, readOnly ? base.color(QPalette::Window) : base.color(QPalette::Base));
    w->setPalette(p);
}

bool IsEditReadOnly(const QWidget* w)
{
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->isReadOnly();
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w))
        return e->isReadOnly();
    return false;
}

} // namespace app
