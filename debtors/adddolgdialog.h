#pragma once

#include "debtors/dolgform.h"

namespace data {
class CDaoDatabase;
}

// Records a new loan in DOLGI. A name found on the black list is added only after the user confirms it;
// the mark "Черный список" also puts the person on the black list.
class CAddDolgDialog final : public CDolgForm {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAddDolgDialog)
public:
    CAddDolgDialog();

protected:
    bool OnInitDialog() override;

private:
    void OnSave();
    // False when the name is on the black list and the user declines to add the debtor.
    bool CheckBlackList(data::CDaoDatabase& cDaoDB, const QString& name);
};
