#pragma once

#include "data/dberror.h"

#include <QString>

// The text of the database error a step throws, so a test can expect the message the window shows for it.
template <class F> QString DbErrorText(F&& step)
{
    try {
        step();
    } catch (const data::DbError& e) {
        return e.Text();
    }
    return QStringLiteral("<no error>");
}
