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
    QString BasePath() const { return QDir(m_dir.path()).filePath(QStringLiteral("BaseFilm.mdb")); }
    QString IniPath() const { return QDir(m_dir.path()).filePath(QStringLiteral("Korvel.ini")); }

    // Appends a record; values in the table's field order.
    void AddFilm(const QStringList& fields) { Insert(QStringLiteral("KINVORA11"), fields); }
    void AddFilm(const QString& title, const QString& genre = QStringLiteral("Драма"),
        const QString& director = QStringLiteral("Режиссёр"));
    void AddDebtor(const QStringList& fields) { Insert(QStringLiteral("DOLGI"), fields); }
    void AddBlack(const QString& name, const QString& why) { Insert(QStringLiteral("BLACKSPISOK"), { name, why }); }

    // Every record of a table in record order.
    QList<QStringList> Rows(const QString& table) const;
    int Count(const QString& table) const { return int(Rows(table).size()); }
    void Execute(const QString& sql) const;
    void WriteIni(const QByteArray& text) const;
    QByteArray FileBytes() const;

    // Makes the folder the working directory while the object lives.
    void EnterDir();

private:
    void Insert(const QString& table, const QStringList& fields) const;

    QTemporaryDir m_dir;
    QString m_oldCwd;
    bool m_ok = false;
};

// Path of a fixture file.
QString FixturePath(const QString& name);
