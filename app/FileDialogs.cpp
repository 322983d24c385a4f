#include "app/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace {

QString RunFileDialog(QWidget* owner, QFileDialog::AcceptMode mode, const QStringList& filters)
{
    QFileDialog dialog(owner);
    dialog.setObjectName("fileDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setNameFilters(filters);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString AskSaveParameterFile(QWidget* owner)
{
    return RunFileDialog(owner, QFileDialog::AcceptSave,
                         {QStringLiteral("Parameter file(*.txt)")});
}

QString AskOpenParameterFile(QWidget* owner)
{
    return RunFileDialog(owner, QFileDialog::AcceptOpen,
                         {QStringLiteral("Parameter file(*.txt)"),
                          QStringLiteral("All Files(*.*)")});
}
