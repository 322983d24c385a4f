#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "platform/MessageBox.h"

namespace {

// Each filter names its pattern twice: the label as the user reads it, then
// the pattern Qt applies. "All Files(*.*)" must also list names without a dot.
const QString kParameterFilter = QStringLiteral("Parameter file(*.txt) (*.txt)");
const QString kAllFilesFilter = QStringLiteral("All Files(*.*) (*)");

QStringList RunFileDialog(QWidget* owner, QFileDialog::AcceptMode mode,
                          QFileDialog::FileMode fileMode, const QStringList& filters)
{
    QFileDialog dialog(owner);
    dialog.setObjectName("fileDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(mode);
    dialog.setNameFilters(filters);
    dialog.setFileMode(fileMode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString FirstOf(const QStringList& paths)
{
    return paths.isEmpty() ? QString() : paths.constFirst();
}

}  // namespace

QString AskSaveParameterFile(QWidget* owner)
{
    return FirstOf(
        RunFileDialog(owner, QFileDialog::AcceptSave, QFileDialog::AnyFile, {kParameterFilter}));
}

QString AskOpenParameterFile(QWidget* owner)
{
    return FirstOf(AskOpenParameterFiles(owner, false));
}

QStringList AskOpenParameterFiles(QWidget* owner, bool several)
{
    return RunFileDialog(owner, QFileDialog::AcceptOpen,
                         several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile,
                         {kParameterFilter, kAllFilesFilter});
}

std::unique_ptr<host::ReplacingFile> CreateParameterFile(QWidget* owner)
{
    const QString path = AskSaveParameterFile(owner);
    if (path.isEmpty())
        return nullptr;
    auto file = std::make_unique<host::ReplacingFile>(path.toLocal8Bit().toStdString());
    if (!file->Open()) {
        host::MessageBox("Failed to create file", host::MB_OK, "Error");
        return nullptr;
    }
    return file;
}
