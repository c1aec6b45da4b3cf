#pragma once

#include "app/dialoglayer.h"

class QComboBox;

namespace data {
class CDaoRecordset;
}

// The debtor form shared by the add and the edit dialog: name, film or disc title, date, and the mark
// chosen from the mark list, shown in a read-only mark box. Only "OK" saves; Enter does nothing.
class CDolgForm : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDolgForm)
public:
    // The catalogue's full path, set by the caller before the dialog opens.
    QString m_strBasePath;

protected:
    CDolgForm(int templateId, int markBoxId);

    void DoDataExchange(app::CDataExchange* pDX) override;
    void OnDefaultAction() override { }

    // Name, title and date with the "n/d" rule, and the mark's code unless the mark text is no entry.
    void WriteFields(data::CDaoRecordset& rs) const;

    QComboBox* m_comboMark = nullptr;
    QString m_strName;
    QString m_strFilm;
    QString m_strDate;
    QString m_strMark;

private:
    void OnMarkChange();

    int m_markBoxId;
};
