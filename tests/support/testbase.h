#pragma once

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A catalogue in a temporary folder, with direct access to its tables for setting up and checking.
class TempCatalogue {
public:
    TempCatalogue();
    ~TempCatalogue();

    bool IsValid() const { return m_ok; }
    QString Dir() const { return m_dir.path(); }
    QString BasePath() const;
    QString IniPath() const;

    // Appends a record; values in the table's field order.
    void AddFilm(const QStringList& fields);
    void AddFilm(const QString& title, const QString& genre = QStringLiteral("Драма"),
        const QString& director = QStringLiteral("Режиссёр"));
    void AddDebtor(const QStringList& fields);
    void AddBlack(const QString& name, const QString& reason);

    // Every record of a table in record order.
    QList<QStringList> Rows(const QString& table) const;
    int Count(const QString& table) const;
    void Execute(const QString& sql) const;
    void WriteIni(const QByteArray& text) const;
    QByteArray FileBytes() const;

    // Makes the folder the working directory while the object lives.
    void EnterDir();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    bool m_ok = false;
};

// Path of a fixture file.
QString FixturePath(const QString& name);
