#pragma once

#include <QString>

class QWidget;

namespace import {

// Start-up: `catalogueFile` is a Jet (Access) file. Asks whether to convert it, converts and reports.
// False when the program is to end (the user declined, the file is no catalogue, or the conversion failed).
bool OfferJetConversion(QWidget* parent, const QString& catalogueFile);

// First run: converts the chosen Jet file, which is never changed, into a new catalogue in `folder`.
// False when nothing was made (the failure has been reported).
bool ConvertChosenFile(QWidget* parent, const QString& jetFile, const QString& folder);

// Start-up: removes what an interrupted conversion left in `folder`.
void RemoveConversionLeftovers(const QString& folder);

} // namespace import
