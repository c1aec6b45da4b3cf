#pragma once

#include <QString>

class QWidget;

namespace app {

// Start-up, after the catalogue opened: checks it for damage and, when damage is found, tells the user and
// offers the newest good backup. False when the program is to end.
bool CheckCatalogueHealth(QWidget* parent, const QString& catalogueFile);

} // namespace app
