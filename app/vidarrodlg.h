#pragma once

#include "app/dialoglayer.h"
#include "data/recordref.h"
#include "data/schema.h"

#include <QIcon>

class QLabel;

// Program-wide values: the selected film row (1-based, 0 for none), the number of debtors as last
// counted, and whether the settings path is complete.
extern int g_nSelectedFilm;
extern int g_nDebtors;
extern bool g_bIniPathBuilt;

// The main window: navigation panel, film list with its detail panel, debtor indicator and status bar.
class CVidarroDlg final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CVidarroDlg)
public:
    // `baseFile`: the catalogue file found at start-up; a bare name is looked for in the working folder.
    explicit CVidarroDlg(const QString& baseFile = data::kBaseFileName, QWidget* parent = nullptr);

    // The navigation panel's groups.
    enum class Group { None, Films, Debtors, Service, Help };
    Group CurrentGroup() const { return m_group; }

    const QString& BasePath() const { return m_strBasePath; }
    const QString& IniPath() const { return m_strIniPath; }
    app::CListCtrl* FilmList() const { return m_listFilms; }
    app::CStatusBar* StatusBar() const { return m_wndStatusBar; }
    // Empties the film list, fills it again from the base and updates the film count.
    void RefreshFilmList();
    // Start-up: reads the film list ahead, beside the health check; the first window on that unchanged file
    // lists it instead of reading again. Nothing is shown: a failed read is simply done again by the window.
    static void PreloadFilmList(const QString& baseFile);
    static void DropPreloadedFilmList();
    // The selected row of the film list, as listed.
    data::RecordRef ListedFilm() const;
    void RefreshAfterGone();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void ShowGroup(Group group);
    void OnExit();

    void OnAddFilm();
    void OnEditFilm();
    void OnDeleteFilm();
    void OnFindFilm();
    void OnAddDebtor();
    void OnShowDebtors();
    void OnFindDebtor();
    void DebtorAlert(int mode);
    void PlayDebtorSound();
    void OnBlackList();
    void OnImport();
    void OnRestore();
    void OnSettings();
    void OnAbout();
    void OnHelp();

    void ReadConfig(const QString& section, const QString& key);
    void InsertFilmColumns();
    void FillFilmList();
    void ApplyFilmSelection(int row);
    void CountDebtors();
    void CreateStatusBar();
    void SetFilmCountPane();
    void SetSelectedFilmPane();
    void SetDebtorPane();

    app::CStatusBar* m_wndStatusBar = nullptr;
    QLabel* m_textDebtors = nullptr;
    QLabel* m_picDebtors = nullptr;
    app::CListCtrl* m_listFilms = nullptr;
    QString m_strBaseFile;
    QString m_strBasePath;
    QString m_strIniPath;
    QString m_strRating;
    QString m_strMedium;
    QString m_strDuration;
    QString m_strStarring;
    QString m_strComment;
    QIcon m_hIcon;
    Group m_group = Group::None;
};
