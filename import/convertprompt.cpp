#include "import/convertprompt.h"

#include "app/dialoglayer.h"
#include "data/dberror.h"
#include "import/jetconvert.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace import {

namespace {

    // The conversion takes a moment on a large catalogue; the user sees that something is going on.
    struct WaitCursor {
        WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~WaitCursor() { QApplication::restoreOverrideCursor(); }
        Q_DISABLE_COPY_MOVE(WaitCursor)
    };

    // false, after saying why, when the file cannot be converted as a catalogue.
    bool Inspect(QWidget* parent, const QString& path, JetFile* file)
    {
        try {
            WaitCursor wait;
            *file = InspectJetFile(path);
        } catch (const data::DbError& e) {
            app::MessageBox(parent, ConversionFailure(e.Text()));
            return false;
        }
        if (file->kind == JetCatalogueKind::None) {
            app::MessageBox(parent,
                QStringLiteral("Файл «%1» — база Microsoft Access, но не каталог фильмов: в ней нет таблицы KINVORA11.")
                    .arg(QFileInfo(path).fileName()));
            return false;
        }
        return true;
    }

    // Runs the conversion under the wait cursor and reports its outcome.
    bool Report(QWidget* parent, const std::function<ConversionResult()>& convert)
    {
        QString text;
        try {
            WaitCursor wait;
            text = ConversionReport(convert());
        } catch (const data::DbError& e) {
            app::MessageBox(parent, ConversionFailure(e.Text()));
            return false;
        }
        app::MessageBox(parent, text);
        return true;
    }

} // namespace

bool OfferJetConversion(QWidget* parent, const QString& catalogueFile)
{
    JetFile file;
    if (!Inspect(parent, catalogueFile, &file))
        return false;
    const QFileInfo info(catalogueFile);
    const QString question = QStringLiteral("Файл «%1» — каталог Windows-версии программы (база Microsoft Access). "
                                            "Перевести его в новый формат? Исходный файл сохранится рядом под "
                                            "именем «%2».")
                                 .arg(info.fileName(), KeptCopyName(info.absolutePath()));
    if (app::MessageBox(parent, question, app::Buttons::OkCancel) != app::IDOK)
        return false;
    return Report(parent, [&] { return ConvertInPlace(file); });
}

bool ConvertChosenFile(QWidget* parent, const QString& jetFile, const QString& folder)
{
    JetFile file;
    if (!Inspect(parent, jetFile, &file))
        return false;
    // The chosen file may sit on a stick that is pulled out any moment: it is copied once, and the copy,
    // kept beside the new catalogue, is what gets converted.
    return Report(parent, [&] {
        file.path = KeepCopy(jetFile, folder);
        try {
            ConversionResult result = ConvertInto(file, folder);
            result.keptPath = file.path;
            return result;
        } catch (const data::DbError&) {
            QFile::remove(file.path);
            throw;
        }
    });
}

void RemoveConversionLeftovers(const QString& folder)
{
    RemoveLeftovers(folder);
}

} // namespace import
