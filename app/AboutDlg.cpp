#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "Version.h"
#include "app/TarvixSettingApp.h"
#include "ui/DialogUnits.h"

namespace {
constexpr const char* kRevision = "174";
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    const CDialogUnits du =
        SetUpTemplateDialog(this, "aboutDlg", QStringLiteral("About TarvixSetting"),
                            QFont(QStringLiteral("MS Shell Dlg"), 8), 184, 73);

    auto* icon = new QLabel(this);
    icon->setObjectName("icon");
    icon->setGeometry(du.Rect(14, 14, 20, 20));
    icon->setPixmap(CTarvixSettingApp::AppIcon().pixmap(icon->size()));

    m_pName = new QLabel(QStringLiteral("TarvixSetting"), this);
    m_pName->setObjectName("productName");
    m_pName->setTextFormat(Qt::PlainText);
    m_pName->setGeometry(du.Rect(42, 14, 114, 8));

    m_pVersion = new QLabel(QStringLiteral("Ver 1.0.0.1"), this);
    m_pVersion->setObjectName("productVersion");
    m_pVersion->setGeometry(du.Rect(42, 26, 114, 8));

    auto* notice = new QLabel(QStringLiteral("Motor drive parameter setting"), this);
    notice->setObjectName("notice");
    notice->setGeometry(du.Rect(42, 38, 132, 8));

    QPushButton* ok = AddTemplateButton(this, "ok", QStringLiteral("OK"), du.Rect(126, 54, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    SetVersionText(TARVIX_PRODUCT_NAME, TARVIX_PRODUCT_VERSION);
}

void CAboutDlg::SetVersionText(const char* productName, const char* productVersion)
{
    if (productName && *productName)
        m_pName->setText(QString::fromUtf8(productName));
    if (productVersion && *productVersion)
        m_pVersion->setText(QStringLiteral("Ver. %1 (rev.%2)")
                                .arg(QString::fromUtf8(productVersion), QLatin1String(kRevision)));
}
