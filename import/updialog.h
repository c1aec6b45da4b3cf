#pragma once

#include "app/dialoglayer.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace import {
class CPrevBase;
}

// Loads a base of the previous program version: "Открыть" chooses a file and checks that it has the film
// table KINVORA, "Загрузить" appends its films to KINVORA11 and its debtors to DOLGI of the open catalogue,
// all of them or, when anything fails, none. The caller sets m_strBasePath; IDOK asks it to rebuild what
// it shows of the catalogue.
class CUpDialog final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUpDialog)
public:
    explicit CUpDialog(QWidget* parent = nullptr);

    QString m_strBasePath;

    // The base chosen last and whether it passed its check: they outlive the dialog, so a later opening
    // can load without choosing again.
    static QString ChosenPath();
    static bool BaseFits();
    // Forgets both, as at program start.
    static void ResetImportState();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;
    void OnCancel() override;

private:
    void OnOpen();
    void OnLoad();
    void CheckBase();
    void CountRecords(import::CPrevBase& base);
    void ReadSource(QList<QStringList>* films, QList<QStringList>* debtors, bool* hasDebtors);
    void CopyRecords(const QList<QStringList>& films, const QList<QStringList>& debtors);
    void SetProgressRange(int total);
    void StepProgress();
    void Report(const QString& line);

    QPushButton* m_buttonOk = nullptr;
    QProgressBar* m_progress = nullptr;
    QListWidget* m_listReport = nullptr;
    int m_nTotal = 0;
    int m_nPosition = 0;
    bool m_bCopying = false;
    QElapsedTimer m_paintTimer;
};
