#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// "Option": the path of a drive data file, kept in the ini file named after
// the program (section "Database", key "FileName"). Nothing else reads it.
class COptionDlg : public QDialog {
    Q_OBJECT

public:
    explicit COptionDlg(QWidget* parent = nullptr);
    ~COptionDlg() override;

    void OnEnChangeDataFile();
    void OnBnClickedBrowse();
    void OnBnClickedApply();
    void accept() override;

protected:
    // The file dialog, apart so tests can answer it without a modal wait.
    // A full path; empty when cancelled.
    virtual QString ChooseDataFile();

private:
    void LoadSettings();
    void SaveSettings();

    bool m_bModified = false;
    QString m_strDataFile;

    QLineEdit* m_pDataFile = nullptr;
    QPushButton* m_pApply = nullptr;
};
