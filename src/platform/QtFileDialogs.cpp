#include "QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace keytoner {

namespace {

std::optional<QString> runDialog(QWidget *parent, const FileDialogRequest &request,
                                 QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty())
        dialog.selectNameFilter(request.filters.first());
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(QString());
    if (!request.proposedName.isEmpty())
        dialog.selectFile(QDir(request.folder).filePath(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

} // namespace

std::optional<QString> QtFileDialogs::saveFileName(QWidget *parent,
                                                   const FileDialogRequest &request)
{
    return runDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtFileDialogs::openFileName(QWidget *parent,
                                                   const FileDialogRequest &request)
{
    return runDialog(parent, request, QFileDialog::AcceptOpen);
}

} // namespace keytoner
