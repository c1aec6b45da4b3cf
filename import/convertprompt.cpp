#include "import/convertprompt.h"

namespace import {

bool OfferJetConversion(QWidget*, const QString&)
{
    return false;
}

bool ConvertChosenFile(QWidget*, const QString&, const QString&)
{
    return false;
}

void RemoveConversionLeftovers(const QString&) {}

} // namespace import
