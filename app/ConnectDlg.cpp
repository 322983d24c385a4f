#include "app/ConnectDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>

#include <cstdlib>
#include <string>
#include <vector>

#include "drive/TarvixMaster.h"
#include "platform/ComPorts.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "ui/DialogUnits.h"

namespace {

constexpr const char* kIniFile = "Connection.ini";
constexpr const char* kSection = "COMM";
constexpr int kFirstBaudCode = kBaudCode9600;
// The rates offered, in the order of their baud codes from kFirstBaudCode on.
constexpr const char* kBaudItems[] = {"9600", "19200", "38400", "57600", "115200"};
constexpr int kDevicePathRole = Qt::UserRole + 1;
// The longest version text a failure message quotes.
constexpr size_t kMaxQuotedVersion = 119;

// The drop-down list shows each COM number with the device it stands for;
// the box itself keeps the bare number.
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        QString path = index.data(kDevicePathRole).toString();
        if (!path.isEmpty())
            option->text = QStringLiteral("COM%1   %2").arg(option->text, path);
    }
};

std::string ConnectionIniPath()
{
    return host::ProgramFilePath(kIniFile);
}

// The first item whose text begins with the number's text, ignoring case; 0
// when none does.
int FindPrefix(const QComboBox* list, int number)
{
    int index = list->findText(QString::number(number), Qt::MatchStartsWith);
    return index < 0 ? 0 : index;
}

// The leading signed decimal number of an item text, 0 when there is none.
long LeadingNumber(const QString& text)
{
    return std::strtol(text.left(11).toUtf8().constData(), nullptr, 10);
}

std::string ConnectFailureText(ConnectResult rc, CTarvixMaster* master)
{
    std::string version = master->GetVersionText();
    version = version.substr(0, kMaxQuotedVersion);
    switch (rc) {
    case kConnectOpenFailed: return "Can NOT connect selected port.";
    case kConnectNoEcho:
        return "There is no response. (you may select wrong baudrate or wrong port no.)";
    case kConnectNoAnswer:
    case kConnectVersionFailed: return "The VR command was failed.";
    case kConnectBadVersion:
        return "The version string which received by VR is NOT understandable.\n\nTarget Ver : " +
               version;
    case kConnectUnknownVersion:
        return "The version of selected device is NOT supported yet.\n\nTarget Ver : " + version;
    case kConnectBaudSwitchFailed: return "Failed to change Baudrate.";
    case kConnectDbLoadFailed: return "Failed to read drive database file.";
    case kConnectDbContentError: return "Failed to load database file.\n" + master->GetDbErrorText();
    default: return "Can NOT connect selected port.";
    }
}

}  // namespace

CConnectDlg::CConnectDlg(QWidget* parent) : QDialog(parent), m_pMaster(GetTarvixMaster())
{
    const CDialogUnits du = SetUpTemplateDialog(this, "connectDlg", QStringLiteral("Connect"),
                                                QFont(QStringLiteral("Tahoma"), 9), 190, 65);

    m_pConnect = AddTemplateButton(this, "connect", QStringLiteral("Connect"),
                                   du.Rect(120, 10, 65, 50));
    m_pConnect->setDefault(true);

    auto* group = new QGroupBox(QStringLiteral("COMM Port"), this);
    group->setGeometry(du.Rect(5, 5, 110, 55));
    group->lower();

    auto* portLabel = new QLabel(QStringLiteral("Port No. :"), this);
    portLabel->setGeometry(du.Rect(15, 20, 40, 12));
    portLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pPortList = new QComboBox(this);
    m_pPortList->setObjectName("portNo");
    m_pPortList->setGeometry(du.Rect(60, 20, 48, 12));
    m_pPortList->setItemDelegate(new PortItemDelegate(m_pPortList));
    m_pPortList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pPortList->setFixedWidth(du.X(48));

    auto* baudLabel = new QLabel(QStringLiteral("Baudrate :"), this);
    baudLabel->setGeometry(du.Rect(15, 40, 40, 12));
    baudLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pBaudList = new QComboBox(this);
    m_pBaudList->setObjectName("baudrate");
    m_pBaudList->setGeometry(du.Rect(60, 40, 48, 12));
    int baudCode = kFirstBaudCode;
    for (const char* rate : kBaudItems)
        m_pBaudList->addItem(QString::fromLatin1(rate), baudCode++);

    connect(m_pConnect, &QPushButton::clicked, this, &CConnectDlg::OnBnClickedConnect);
    connect(m_pPortList, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_pPortList->setToolTip(m_pPortList->itemData(index, kDevicePathRole).toString());
    });
}

int CConnectDlg::exec()
{
    if (!m_bInitialised)
        OnInitDialog();
    return QDialog::exec();
}

void CConnectDlg::OnInitDialog()
{
    m_bInitialised = true;
    std::vector<unsigned> ports;
    CTarvixMaster::EnumeratePorts(ports);
    m_pPortList->clear();
    for (unsigned port : ports) {
        m_pPortList->addItem(QString::number(port));
        m_pPortList->setItemData(m_pPortList->count() - 1,
                                 QString::fromUtf8(host::ComDevicePath(port).c_str()),
                                 kDevicePathRole);
    }
    // The list pops up wide enough for the device paths.
    m_pPortList->view()->setMinimumWidth(m_pPortList->view()->sizeHintForColumn(0) + 8);

    if (ports.empty()) {
        m_pConnect->setEnabled(false);
        host::MessageBox("There is no connectable port.", host::MB_OK, "Error");
        return;
    }
    LoadConnectionSettings();
}

void CConnectDlg::LoadConnectionSettings()
{
    const std::string path = ConnectionIniPath();
    int port = host::GetPrivateProfileInt(kSection, "PortNo", 1, path);
    int rate = host::GetPrivateProfileInt(kSection, "Baudrate", 19200, path);
    m_pPortList->setCurrentIndex(FindPrefix(m_pPortList, port));
    m_pBaudList->setCurrentIndex(FindPrefix(m_pBaudList, rate));
}

void CConnectDlg::SaveConnectionSettings()
{
    const std::string path = ConnectionIniPath();
    long port = LeadingNumber(m_pPortList->currentText());
    long rate = LeadingNumber(m_pBaudList->currentText());
    host::WritePrivateProfileString(kSection, "PortNo", std::to_string(port), path);
    host::WritePrivateProfileString(kSection, "Baudrate", std::to_string(rate), path);
}

void CConnectDlg::OnBnClickedConnect()
{
    int port = static_cast<int>(LeadingNumber(m_pPortList->currentText()));
    int baudCode = m_pBaudList->currentData().toInt();
    m_pConnect->setEnabled(false);
    bool connected = ConnectDrive(port, baudCode);
    m_pConnect->setEnabled(true);
    if (connected) {
        SaveConnectionSettings();
        accept();
    }
}

bool CConnectDlg::ConnectDrive(int port, int baudCode)
{
    bool startAt9600 = baudCode != kBaudCode9600;
    for (;;) {
        ConnectResult rc = m_pMaster->Connect(static_cast<uint8_t>(port), baudCode, startAt9600);
        if (rc == kConnectOk)
            return true;
        // A drive that already runs at the chosen rate does not hear 9600:
        // one more try directly at that rate.
        if (rc == kConnectNoEcho && startAt9600) {
            startAt9600 = false;
            continue;
        }
        host::MessageBox(ConnectFailureText(rc, m_pMaster), host::MB_OK, "Error");
        return false;
    }
}
