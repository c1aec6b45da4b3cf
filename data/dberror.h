#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace data {

// A failed database operation. The text is for the user: it names the file and says what is wrong.
// Thrown by the record layer and caught where a command starts (see app/commandguard.h), so the
// command in progress stops and the program goes on.
class DbError : public std::exception {
public:
    explicit DbError(QString text)
        : m_text(std::move(text))
        , m_utf8(m_text.toUtf8())
    {
    }
    const QString& Text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

} // namespace data
