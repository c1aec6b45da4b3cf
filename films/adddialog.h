#pragma once

#include "films/filmform.h"

// Adds one film to the catalogue. The caller sets m_strBasePath; IDOK means the film was added.
class CAddDialog final : public films::CFilmForm {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAddDialog)
public:
    explicit CAddDialog(QWidget* parent = nullptr);

private:
    void OnSave();
};
