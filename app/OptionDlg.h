#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QLineEdit;
class QPushButton;
class QTabWidget;

// "Option": the path of a drive data file, kept in the ini file named after
// the program (section "Database", key "FileName"). Nothing else reads it.
class COptionDlg : public QDialog {
    Q_OBJECT

public:
    explicit COptionDlg(QWidget* parent = nullptr);
    ~COptionDlg() override;

    const QString& GetDataFile() const { return m_strDataFile; }

    // The ini file beside the program with the program's base name; empty when
    // the program's path is unknown.
    static std::string SettingsFilePath();

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

    QTabWidget* m_pTab = nullptr;
    QLineEdit* m_pDataFile = nullptr;
    QPushButton* m_pBrowse = nullptr;
    QPushButton* m_pApply = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
