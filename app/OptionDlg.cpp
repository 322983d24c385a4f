#include "app/OptionDlg.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <string>

#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "ui/DialogUnits.h"

namespace {

const char kSection[] = "Database";
const char kKey[] = "FileName";

// The ini file beside the program with the program's base name; empty when the
// program's path is unknown.
std::string SettingsFilePath()
{
    const QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        return {};
    return host::ProgramFilePath(QFileInfo(program).completeBaseName().toStdString() + ".ini");
}

}  // namespace

COptionDlg::COptionDlg(QWidget* parent) : QDialog(parent)
{
    const CDialogUnits du = SetUpTemplateDialog(this, "optionDlg", QStringLiteral("Option"),
                                                QFont(QStringLiteral("MS Shell Dlg"), 9), 303, 186);

    auto* tab = new QTabWidget(this);
    tab->setObjectName("tab");
    tab->setGeometry(du.Rect(6, 6, 290, 150));
    tab->addTab(new QWidget, QStringLiteral("Drive"));

    // The page's controls belong to the dialog and lie over the tab.
    auto* label = new QLabel(QStringLiteral("Drive data file :"), this);
    label->setGeometry(du.Rect(12, 30, 48, 8));
    // A substitute font may be wider than the one the template was made for.
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    m_pDataFile = new QLineEdit(this);
    m_pDataFile->setObjectName("dataFile");
    m_pDataFile->setGeometry(du.Rect(12, 42, 258, 14));

    QPushButton* browse = AddTemplateButton(this, "browse", QStringLiteral("..."),
                                            du.Rect(271, 42, 18, 14));
    m_pApply = AddTemplateButton(this, "apply", QStringLiteral("Apply"), du.Rect(132, 165, 50, 14));
    QPushButton* ok = AddTemplateButton(this, "ok", QStringLiteral("OK"),
                                        du.Rect(191, 165, 50, 14));
    QPushButton* cancel = AddTemplateButton(this, "cancel", QStringLiteral("Cancel"),
                                            du.Rect(245, 165, 50, 14));
    ok->setDefault(true);
    m_pApply->setEnabled(false);

    connect(m_pDataFile, &QLineEdit::textChanged, this, &COptionDlg::OnEnChangeDataFile);
    connect(browse, &QPushButton::clicked, this, &COptionDlg::OnBnClickedBrowse);
    connect(m_pApply, &QPushButton::clicked, this, &COptionDlg::OnBnClickedApply);
    connect(ok, &QPushButton::clicked, this, &COptionDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    LoadSettings();
}

COptionDlg::~COptionDlg() = default;

void COptionDlg::LoadSettings()
{
    const std::string path = SettingsFilePath();
    if (path.empty())
        return;
    m_strDataFile = QString::fromStdString(host::GetPrivateProfileString(kSection, kKey, "", path));
    // Showing the stored value is no change of it.
    const QSignalBlocker blocker(m_pDataFile);
    m_pDataFile->setText(m_strDataFile);
}

void COptionDlg::SaveSettings()
{
    m_strDataFile = m_pDataFile->text();
    const std::string path = SettingsFilePath();
    if (path.empty())
        return;
    host::WritePrivateProfileString(kSection, kKey, m_strDataFile.toStdString(), path);
}

void COptionDlg::OnEnChangeDataFile()
{
    m_bModified = true;
    m_pApply->setEnabled(true);
}

QString COptionDlg::ChooseDataFile()
{
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Details hidden, so the filters read as written; "*" matches names without a dot.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters({QStringLiteral("SQLite3 File(*.db3) (*.db3)"),
                           QStringLiteral("All Files(*.*) (*)")});
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void COptionDlg::OnBnClickedBrowse()
{
    const QString path = ChooseDataFile();
    if (path.isEmpty())
        return;
    m_pDataFile->setText(path);
    m_strDataFile = path;
}

void COptionDlg::OnBnClickedApply()
{
    if (!m_bModified)
        return;
    SaveSettings();
    m_bModified = false;
    m_pApply->setEnabled(false);
}

void COptionDlg::accept()
{
    if (m_bModified)
        SaveSettings();
    m_strDataFile = m_pDataFile->text();
    QDialog::accept();
}
