#include "app/MotorListDlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include <string>

#include "drive/Step1x3Driver.h"
#include "drive/TarvixMaster.h"
#include "drive/TextModeFile.h"
#include "platform/MessageBox.h"
#include "platform/ReplacingFile.h"
#include "ui/AppMessageBox.h"
#include "ui/DialogUnits.h"
#include "ui/FileDialogs.h"
#include "ui/ProgressDlg.h"

namespace {

struct Column {
    const char* heading;
    Qt::Alignment alignment;
    int width;
};
constexpr Column kColumns[] = {
    {"No.", Qt::AlignRight, 35},
    {"Motor No.", Qt::AlignHCenter, 75},
    {"Motor Description", Qt::AlignLeft, 370},
};
// The numbers of the first two columns are shown with at most this many characters.
constexpr int kMaxNumberText = 7;

}  // namespace

CMotorListDlg::CMotorListDlg(QWidget* parent) : QDialog(parent), m_pMaster(GetTarvixMaster())
{
    const CDialogUnits du = SetUpTemplateDialog(this, "motorListDlg", QStringLiteral("Motor List"),
                                                QFont(QStringLiteral("Tahoma"), 9), 319, 205);

    m_listMotors = new QTreeWidget(this);
    m_listMotors->setObjectName("motorList");
    m_listMotors->setGeometry(du.Rect(5, 5, 310, 175));
    m_listMotors->setRootIsDecorated(false);
    m_listMotors->setUniformRowHeights(true);
    m_listMotors->setAllColumnsShowFocus(true);
    m_listMotors->setColumnCount(static_cast<int>(std::size(kColumns)));
    QStringList headings;
    for (const Column& column : kColumns)
        headings << QString::fromLatin1(column.heading);
    m_listMotors->setHeaderLabels(headings);
    m_listMotors->header()->setStretchLastSection(false);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        m_listMotors->headerItem()->setTextAlignment(i, kColumns[i].alignment | Qt::AlignVCenter);
        m_listMotors->setColumnWidth(i, kColumns[i].width);
    }

    m_pSaveToFile = AddTemplateButton(this, "saveToFile", QStringLiteral("Save to File"),
                                      du.Rect(185, 185, 70, 14));
    QPushButton* close = AddTemplateButton(this, "close", QStringLiteral("Close"),
                                           du.Rect(265, 185, 50, 14));
    close->setDefault(true);

    connect(m_pSaveToFile, &QPushButton::clicked, this, &CMotorListDlg::OnBnClickedSaveToFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

int CMotorListDlg::exec()
{
    if (!m_bInitialised)
        OnInitDialog();
    return QDialog::exec();
}

void CMotorListDlg::OnInitDialog()
{
    m_bInitialised = true;
    FillMotorList();
}

CStep1x3Driver* CMotorListDlg::MotorListDriver() const
{
    return dynamic_cast<CStep1x3Driver*>(m_pMaster->GetDriver());
}

void CMotorListDlg::FillMotorList()
{
    m_listMotors->clear();
    CStep1x3Driver* driver = MotorListDriver();
    // Only the multi-motor drive has a motor list; for any other the list
    // stays empty and there is nothing to save.
    if (!driver) {
        m_pSaveToFile->setEnabled(false);
        return;
    }
    {
        CProgressDlg progress;
        progress.Create(this);
        if (driver->DownloadMotorList(&progress)) {
            for (int i = 0; i < kMotorSlotCount; ++i) {
                auto* row = new QTreeWidgetItem(m_listMotors);
                row->setText(0, QString::number(i).left(kMaxNumberText));
                row->setText(1, QString::number(driver->GetMotorListNumber(i)).left(kMaxNumberText));
                row->setText(2, QString::fromUtf8(driver->GetMotorListName(i).c_str()));
                for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c)
                    row->setTextAlignment(c, kColumns[c].alignment | Qt::AlignVCenter);
            }
        }
    }
    m_pSaveToFile->setEnabled(true);
}

void CMotorListDlg::OnBnClickedSaveToFile()
{
    std::unique_ptr<host::ReplacingFile> file = CreateParameterFile(this);
    if (!file)
        return;
    if (!WriteMotorList(file->Stream()) || !file->Commit()) {
        host::MessageBox("Saving parameter was failed.");
        return;
    }
    ShowSaveSucceeded();
}

bool CMotorListDlg::WriteMotorList(FILE* file)
{
    CStep1x3Driver* driver = MotorListDriver();
    if (!driver)
        return false;
    bool ok = WriteTextModeFormat(file, "Drive Version: %s\r\n\r\n\r\n", m_pMaster->GetVersion());
    ok = WriteTextModeFormat(file, "\t\t\tMotors List\r\n") && ok;
    for (int i = 0; i < kMotorSlotCount; ++i) {
        std::string name = driver->GetMotorListName(i);
        ok = WriteTextModeFormat(file, "\r\n\r\n%d \t %d \t %s", i, driver->GetMotorListNumber(i),
                                 name.c_str()) &&
             ok;
    }
    return ok;
}
