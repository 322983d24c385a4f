#pragma once

#include <QDialog>

#include <cstdio>

class CStep1x3Driver;
class CTarvixMaster;
class QPushButton;
class QTreeWidget;

// The 16 motor-table slots of a multi-motor drive, downloaded behind a
// progress window when the dialog opens, and saved as a text file on request.
class CMotorListDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMotorListDlg(QWidget* parent = nullptr);

    // Downloads the list before the dialog shows. Runs at the start of exec().
    void OnInitDialog();
    int exec() override;

    void FillMotorList();
    void OnBnClickedSaveToFile();
    // Writes the motor-list file; false when any byte did not reach the stream.
    bool WriteMotorList(FILE* file);

private:
    // The connected model when it has a motor list, else null.
    CStep1x3Driver* MotorListDriver() const;

    CTarvixMaster* m_pMaster;
    QTreeWidget* m_listMotors = nullptr;
    QPushButton* m_pSaveToFile = nullptr;
    bool m_bInitialised = false;
};
