#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <string>

#include "app/OptionDlg.h"
#include "platform/IniFile.h"
#include "tests/support/TempProgramFolder.h"

namespace {

// Answers the browse dialog with a fixed path (empty: cancelled).
class ScriptedOptionDlg : public COptionDlg {
public:
    QString browseAnswer;

protected:
    QString ChooseDataFile() override { return browseAnswer; }
};

class OptionDlgTest : public testing::Test {
protected:
    void SetUp() override { m_dlg.show(); }

    // The ini file beside the program, named after the test executable.
    std::string Ini() const { return m_folder.Path() + "app_tests.ini"; }
    std::string Stored() const
    {
        return host::GetPrivateProfileString("Database", "FileName", "<none>", Ini());
    }
    QLineEdit* Edit() { return m_dlg.findChild<QLineEdit*>("dataFile"); }
    QPushButton* Button(const char* name) { return m_dlg.findChild<QPushButton*>(name); }

    TempProgramFolder m_folder;
    ScriptedOptionDlg m_dlg;
};

}  // namespace

TEST_F(OptionDlgTest, ShowsTheStoredPathWithoutMarkingAChange)
{
    EXPECT_EQ(m_dlg.findChild<QTabWidget*>("tab")->tabText(0), "Drive");
    EXPECT_EQ(Edit()->text(), "");  // no ini file
    m_folder.Write("app_tests.ini", "[database]\nfilename = /data/drive.db3\n");
    ScriptedOptionDlg dlg;
    EXPECT_EQ(dlg.findChild<QLineEdit*>("dataFile")->text(), "/data/drive.db3");
    EXPECT_FALSE(dlg.findChild<QPushButton*>("apply")->isEnabled());
}

TEST_F(OptionDlgTest, ApplySavesOnceAndCancelSavesNothing)
{
    QTest::keyClicks(Edit(), "/a.db3");
    Button("apply")->click();
    EXPECT_EQ(Stored(), "/a.db3");
    EXPECT_FALSE(Button("apply")->isEnabled());
    // Unchanged since: a second Apply writes nothing, nor does Cancel after a change.
    host::WritePrivateProfileString("Database", "FileName", "/other.db3", Ini());
    m_dlg.OnBnClickedApply();
    QTest::keyClicks(Edit(), "x");
    Button("cancel")->click();
    EXPECT_EQ(m_dlg.result(), QDialog::Rejected);
    EXPECT_EQ(Stored(), "/other.db3");
}

TEST_F(OptionDlgTest, BrowsedPathIsStoredByOk)
{
    Button("browse")->click();
    EXPECT_FALSE(Button("apply")->isEnabled());  // cancelled
    m_dlg.browseAnswer = QString::fromStdString(m_folder.Path() + "drive.db3");
    Button("browse")->click();
    EXPECT_EQ(Edit()->text(), m_dlg.browseAnswer);
    EXPECT_TRUE(Button("apply")->isEnabled());
    EXPECT_EQ(Stored(), "<none>");
    Button("ok")->click();
    EXPECT_EQ(m_dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(), m_dlg.browseAnswer.toStdString());
}
