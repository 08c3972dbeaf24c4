#pragma once
// Readers answer "no" with the reason in an optional text.

#include <QString>

// Puts text into *why when one is asked for; false, for `return failed(why, ...)`.
inline bool failed(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}
