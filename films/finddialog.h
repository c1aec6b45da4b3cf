#pragma once

#include "app/dialoglayer.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

// Shared by every opening of the find dialog: the search mode (0 for none chosen, 1 to 7).
extern int g_nFindMode;

// Finds films by title, director, genre, medium (the whole text, letter case ignored) or by rating
// (above, below or equal to the slider's value). Only reads the catalogue. The caller sets
// m_strBasePath and m_strIniPath.
class CFindDialog final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFindDialog)
public:
    explicit CFindDialog(QWidget* parent = nullptr);

    QString m_strBasePath;
    QString m_strIniPath;

    QString m_strFind;
    QString m_strStarring;
    QString m_strComment;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;
    void OnOK() override { }
    void OnDefaultAction() override { }

private:
    void ChooseMode(int radioId);
    void OnFind();
    void OnResultChanged(int row);
    void SetStatus(const QString& text);

    QLabel* m_textStatus = nullptr;
    QSlider* m_sliderRating = nullptr;
    QComboBox* m_comboMedium = nullptr;
    QComboBox* m_comboGenre = nullptr;
    QLineEdit* m_editFind = nullptr;
    app::CListCtrl* m_listResults = nullptr;
};
