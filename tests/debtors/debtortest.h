#pragma once

// Small helpers shared by the debtor windows' tests.
#include "app/dialoglayer.h"

#include <QComboBox>
#include <QList>
#include <QStringList>

#include <deque>

// Chooses an entry of a combo box the way a click in its drop-down does.
inline void ChooseEntry(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// Every row of a list control as its cell texts.
inline QList<QStringList> ListRows(const app::CListCtrl* list)
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

inline QStringList Headings(const app::CListCtrl* list)
{
    QStringList headings;
    for (int c = 0; c < list->GetColumnCount(); ++c)
        headings << list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return headings;
}

// Pixel widths laid out for the classic dialog font, in pixels of the font in use.
inline QList<int> ClassicWidths(const app::CDialog& d, const QList<int>& classic)
{
    QList<int> widths;
    for (int w : classic)
        widths << d.MapClassicPixels(QRect(0, 0, w, 0)).width();
    return widths;
}

inline QList<int> Widths(const app::CListCtrl* list)
{
    QList<int> widths;
    for (int c = 0; c < list->GetColumnCount(); ++c)
        widths << list->columnWidth(c);
    return widths;
}

// Answers every message box with the next of the given answers (OK when they run out) and keeps the texts;
// for messages whose text comes from the database engine. Replaces ScriptedUi's message hook while it lives.
class AnyMessages {
public:
    explicit AnyMessages(std::deque<int> answers = {})
        : m_answers(std::move(answers))
    {
        app::SetMessageBoxHook([this](const QString& text, app::Buttons) {
            m_texts << text;
            if (m_answers.empty())
                return app::IDOK;
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
    }
    ~AnyMessages() { app::SetMessageBoxHook({}); }
    AnyMessages(const AnyMessages&) = delete;
    AnyMessages& operator=(const AnyMessages&) = delete;
    const QStringList& Texts() const { return m_texts; }

private:
    std::deque<int> m_answers;
    QStringList m_texts;
};
