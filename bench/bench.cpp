// vidarro-bench: builds a large catalogue and reports medians of the program's heavy paths, each beside
// a plain read of the film table through SQLite. Run with QT_QPA_PLATFORM=offscreen.
#include "bench.h"

#include "data/schema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>

namespace {

QString Pick(const QStringList& list, int i)
{
    return list[i % list.size()];
}

void BuildCatalogue(const QString& path)
{
    data::CreateCatalogue(path);
    const QStringList titles { QStringLiteral("Ёжик в тумане"), QStringLiteral("Тёмная ночь"),
        QStringLiteral("Зимняя вишня"), QStringLiteral("Осенний марафон"), QStringLiteral("Берёзовая роща"),
        QStringLiteral("Летучий корабль"), QStringLiteral("Щит и меч") };
    const QStringList directors { QStringLiteral("Андрей Тарковский"), QStringLiteral("Георгий Данелия"),
        QStringLiteral("Эльдар Рязанов"), QStringLiteral("Леонид Гайдай") };
    const QStringList genres { QStringLiteral("Комедия"), QStringLiteral("Драма"), QStringLiteral("Фантастика"),
        QStringLiteral("Мелодрама"), QStringLiteral("Боевик") };
    const QStringList media { QStringLiteral("DVD"), QStringLiteral("CD"), QStringLiteral("VHS"),
        QStringLiteral("Черный ящик") };
    const QString commentTail
        = QStringLiteral(" Диск лежит на второй полке слева, в коробке с надписью «Классика». Смотрели всей семьёй в "
                         "прошлом году; звук хороший, субтитры есть. Не давать тем, кто не возвращает вовремя!");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-build"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN"));
        q.prepare(QStringLiteral("INSERT INTO KINVORA11 VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 1; i <= 100000; ++i) {
            q.addBindValue(QStringLiteral("Фильм №%1 «%2»").arg(i, 6, 10, QLatin1Char('0')).arg(Pick(titles, i)));
            q.addBindValue(Pick(directors, i));
            q.addBindValue(QStringLiteral("Олег Янковский, Евгений Леонов, Андрей Миронов"));
            q.addBindValue(Pick(genres, i));
            q.addBindValue(QString::number(i % 11));
            q.addBindValue(Pick(media, i));
            q.addBindValue(QStringLiteral("%1 мин").arg(80 + i % 100));
            q.addBindValue(QStringLiteral("Комментарий к фильму №%1.").arg(i) + commentTail);
            if (!q.exec())
                qFatal("%s", qUtf8Printable(q.lastError().text()));
        }
        q.prepare(QStringLiteral("INSERT INTO DOLGI VALUES (?, ?, ?, ?)"));
        for (int j = 1; j <= 10000; ++j) {
            q.addBindValue(QStringLiteral("Должник %1").arg(j));
            q.addBindValue(QStringLiteral("Фильм №%1").arg(j * 7 % 100000, 6, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("%1.%2.20%3").arg(1 + j % 28).arg(1 + j % 12).arg(10 + j % 15));
            q.addBindValue(QStringLiteral("NBC").mid(j % 3, 1));
            q.exec();
        }
        q.prepare(QStringLiteral("INSERT INTO BLACKSPISOK VALUES (?, ?)"));
        for (int k = 1; k <= 2000; ++k) {
            q.addBindValue(QStringLiteral("Нарушитель %1").arg(k));
            q.addBindValue(QStringLiteral("Не вернул диск №%1").arg(k));
            q.exec();
        }
        q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-build"));
}

// The baseline: every field of every film, read through SQLite.
void PlainRead(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-plain"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM KINVORA11"));
        qint64 chars = 0;
        while (q.next())
            for (int i = 0; i < 8; ++i)
                chars += q.value(i).toString().size();
        if (chars == 0)
            qFatal("empty catalogue");
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-plain"));
}

long PeakMemoryKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

void BenchContext::Report(const QString& what, double ms, double baselineMs, const QString& baselineName) const
{
    QString line = QStringLiteral("%1: %2 ms").arg(what, -52).arg(ms, 9, 'f', 2);
    if (baselineMs > 0)
        line += QStringLiteral("   = %1 x %2")
                    .arg(ms / baselineMs, 0, 'f', 2)
                    .arg(baselineName.isEmpty() ? QStringLiteral("plain read") : baselineName);
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    BenchContext ctx;
    ctx.dir = tmp.path();
    ctx.basePath = QDir(ctx.dir).filePath(data::kBaseFileName);
    std::printf("Building a catalogue of 100,000 films, 10,000 debtors and 2,000 black-list entries...\n");
    BuildCatalogue(ctx.basePath);
    QDir::setCurrent(ctx.dir);

    ctx.plainReadMs = BenchContext::Median(7, [&] { PlainRead(ctx.basePath); });
    ctx.Report(QStringLiteral("plain read of all KINVORA11 rows"), ctx.plainReadMs);

    RunMainWindowBenchmarks(ctx);
    RunFilmBenchmarks(ctx);
    RunDebtorBenchmarks(ctx);
    RunImportBenchmarks(ctx);
    RunBackupBenchmarks(ctx);

    std::printf("peak memory (VmHWM): %.1f MB\n", double(PeakMemoryKb()) / 1024.0);
    return 0;
}
