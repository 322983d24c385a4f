#pragma once

#include <QDialog>

class QLabel;

// Help > About: the program icon, product name and version.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Shows the name as given and the version as "Ver. <version> (rev.174)";
    // a missing (null or empty) value keeps its line's template text.
    void SetVersionText(const char* productName, const char* productVersion);

private:
    QLabel* m_pName = nullptr;
    QLabel* m_pVersion = nullptr;
};
