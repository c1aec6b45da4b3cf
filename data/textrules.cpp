#include "data/textrules.h"

#include <limits>

namespace data {

QString NdRule(const QString& input)
{
    if (input.isEmpty() || input == QStringLiteral(" "))
        return QString::fromUtf16(kNoData);
    return input;
}

int LeadingInt(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    // isspace() in the C locale: blank, \t, \n, \v, \f, \r.
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            value = qint64(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        return int(-value);
    return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(value);
}

QString FoldCase(const QString& text)
{
    return text.toLower();
}

} // namespace data
