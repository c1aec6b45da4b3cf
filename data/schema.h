#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <array>
#include <span>

// Names of the catalogue's file, tables and fields. Every column is TEXT; record order is rowid order.
namespace data {

inline constexpr QLatin1String kBaseFileName { "BaseFilm.mdb" };

namespace table {
    inline constexpr QLatin1String Films { "KINVORA11" };
    inline constexpr QLatin1String Debtors { "DOLGI" };
    inline constexpr QLatin1String BlackList { "BLACKSPISOK" };
    inline constexpr QLatin1String PrevFilms { "KINVORA" };
} // namespace table

namespace field {
    inline constexpr QLatin1String NameFilm { "NAMEFILM" };
    inline constexpr QLatin1String Rezisser { "REZISSER" };
    inline constexpr QLatin1String Roli { "ROLI" };
    inline constexpr QLatin1String Zanr { "ZANR" };
    inline constexpr QLatin1String Reiting { "REITING" };
    inline constexpr QLatin1String Nositel { "NOSITEL" };
    inline constexpr QLatin1String Prodol { "PRODOL" };
    inline constexpr QLatin1String Komentar { "KOMENTAR" };
    inline constexpr QLatin1String Name { "NAME" };
    inline constexpr QLatin1String Data { "DATA" };
    inline constexpr QLatin1String Metka { "METKA" };
    inline constexpr QLatin1String Prichina { "PRICHINA" };
} // namespace field

// Fields of each table in the order a new record is written.
inline constexpr std::array<QLatin1String, 8> kFilmFields { field::NameFilm, field::Rezisser, field::Roli, field::Zanr,
    field::Reiting, field::Nositel, field::Prodol, field::Komentar };
inline constexpr std::array<QLatin1String, 4> kDebtorFields { field::Name, field::NameFilm, field::Data, field::Metka };
inline constexpr std::array<QLatin1String, 2> kBlackListFields { field::Name, field::Prichina };

struct TableDef {
    QLatin1String name;
    std::span<const QLatin1String> fields;
};
inline constexpr std::array<TableDef, 3> kCatalogueTables { TableDef { table::Films, kFilmFields },
    TableDef { table::Debtors, kDebtorFields }, TableDef { table::BlackList, kBlackListFields } };

// Field names as a list, for a record set that reads only these.
QStringList FieldList(std::span<const QLatin1String> fields);

// Fields the catalogue requires of a table, or an empty span for a table it does not know.
std::span<const QLatin1String> FieldsOf(QLatin1String table);

// Creates an empty catalogue file with the three tables. Refuses to touch an existing file. Throws DbError.
void CreateCatalogue(const QString& filePath);

} // namespace data
