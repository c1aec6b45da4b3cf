#pragma once

#include "app/dialoglayer.h"

class QComboBox;
class QLineEdit;
class QSlider;

namespace data {
class CDaoRecordset;
}

namespace films {

// The genre and medium lists of every film window are in their templates. Entry 0 is "Выбрать"
// (nothing chosen) and the last is "Другое" (a text of the user's own).
inline constexpr int kChooseIndex = 0;
inline constexpr int kGenreOther = 14;
inline constexpr int kMediumOther = 8;
inline constexpr int kRatingMax = 10;

// A choice in a genre or medium list fills the text edit beside it, which holds what is stored:
// an entry's name (edit read-only), "Другое" (edit writable, text kept), "Выбрать" (text emptied, the
// edit's read-only state left as it was). `value` is the field bound to the edit.
void ApplyPickerRule(app::CDialog& dlg, int listId, int otherIndex, int editId, QString& value);

// The rating text follows the slider only when its thumb is released after a drag.
void ApplyRatingMirror(app::CDialog& dlg, int code, int position, QString& value);

// The form shared by the add and the edit dialog: eight texts, the two pickers with their text edits and
// the rating slider. Enter does nothing here; only "OK" saves and "Отмена" or Esc closes without saving.
class CFilmForm : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFilmForm)
public:
    QString m_strBasePath;

    QString m_strName;
    QString m_strDirector;
    QString m_strStarring;
    QString m_strGenre;
    QString m_strRating;
    QString m_strMedium;
    QString m_strDuration;
    QString m_strComment;

protected:
    explicit CFilmForm(int templateId, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;
    void OnOK() override { }
    void OnDefaultAction() override { }

    // Shows a stored film: texts unchanged, the lists at the entry that equals the text exactly
    // ("n/d" is "Выбрать", anything else "Другое" with a writable edit), the slider at the rating's number.
    void LoadFields(const data::CDaoRecordset& rs);
    // Writes the form into the record being added or edited, an empty or single-blank value as "n/d".
    void StoreFields(data::CDaoRecordset& rs) const;

    QComboBox* m_comboGenre = nullptr;
    QComboBox* m_comboMedium = nullptr;
    QSlider* m_sliderRating = nullptr;
    QLineEdit* m_editGenre = nullptr;
    QLineEdit* m_editMedium = nullptr;

private:
    void SelectByText(QComboBox* list, QLineEdit* edit, int otherIndex, const QString& text);
};

} // namespace films
