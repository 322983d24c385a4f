#pragma once

#include <QDialog>

class CTarvixMaster;
class QComboBox;
class QPushButton;

// Drive > Connect: choose a COM port and a baud rate, connect and identify
// the drive. Ends with Accepted only after a successful connect; the choices
// are then kept in "Connection.ini" beside the program.
class CConnectDlg : public QDialog {
    Q_OBJECT

public:
    explicit CConnectDlg(QWidget* parent = nullptr);

    // Fills the lists and preselects the stored choices; says so when the
    // machine has no port. Runs at the start of exec().
    void OnInitDialog();
    int exec() override;

    // Connects with the chosen port and rate.
    void OnBnClickedConnect();
    // True when the drive is connected; otherwise the failure has been shown.
    bool ConnectDrive(int port, int baudCode);

    void LoadConnectionSettings();
    void SaveConnectionSettings();

private:
    CTarvixMaster* m_pMaster;
    QComboBox* m_pPortList = nullptr;
    QComboBox* m_pBaudList = nullptr;
    QPushButton* m_pConnect = nullptr;
    bool m_bInitialised = false;
};
