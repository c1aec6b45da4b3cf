#include "import/convertprompt.h"

#include "app/dialoglayer.h"
#include "import/jetconvert.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
        QString error;
        bool ok = false;
        {
            WaitCursor wait;
            ok = InspectJetFile(path, file, &error);
        }
        if (!ok) {
            app::MessageBox(parent, ConversionFailure(error));
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

    ConversionResult result;
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        ok = ConvertInPlace(file, &result, &error);
    }
    app::MessageBox(parent, ok ? ConversionReport(result) : ConversionFailure(error));
    return ok;
}

bool ConvertChosenFile(QWidget* parent, const QString& jetFile, const QString& folder)
{
    JetFile file;
    if (!Inspect(parent, jetFile, &file))
        return false;
    // The chosen file may sit on a stick that is pulled out any moment: it is copied once, and the copy,
    // kept beside the new catalogue, is what gets converted.
    ConversionResult result;
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        QString kept;
        ok = KeepCopy(jetFile, folder, &kept, &error);
        if (ok) {
            file.path = kept;
            ok = ConvertInto(file, folder, &result, &error);
            if (ok)
                result.keptPath = kept;
            else
                QFile::remove(kept);
        }
    }
    app::MessageBox(parent, ok ? ConversionReport(result) : ConversionFailure(error));
    return ok;
}

void RemoveConversionLeftovers(const QString& folder)
{
    RemoveLeftovers(folder);
}

} // namespace import
