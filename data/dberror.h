#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace data {

// A failed operation on one of the user's files. The text is for the user: it names the file, says what
// is wrong and what to do (worded in data/errortext.h).
//
// The core's one error style: data/, settings/ and import/ throw this; none returns a bool plus a text.
// A failure must stop the command in progress, and a thrown error cannot be forgotten on the way up the
// way an unchecked bool can, which would let a failure pass for success.
// The dialog layer catches it around every handler (app::CDialog::Guarded) and shows it, so the window
// stays and the program goes on; a caller that has more to say, like the import's report, catches it
// itself. Calls that cannot fail by design (the settings readers give their defaults) throw nothing.
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
