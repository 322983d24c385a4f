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

// Answers the browse dialog with a fixed path.
class ScriptedOptionDlg : public COptionDlg {
public:
    QString browseAnswer;
    int browseCalls = 0;

protected:
    QString ChooseDataFile() override
    {
        ++browseCalls;
        return browseAnswer;
    }
};

class OptionDlgTest : public testing::Test {
protected:
    std::string Ini() const { return m_folder.Path() + "app_tests.ini"; }
    std::string Stored() const
    {
        return host::GetPrivateProfileString("Database", "FileName", "<none>", Ini());
    }

    static QLineEdit* Edit(COptionDlg& dlg) { return dlg.findChild<QLineEdit*>("dataFile"); }
    static QPushButton* Button(COptionDlg& dlg, const char* name)
    {
        return dlg.findChild<QPushButton*>(name);
    }

    TempProgramFolder m_folder;
};

struct IniCase {
    const char* content;  // null: no ini file
    const char* shown;
};

class OptionDlgLoads : public OptionDlgTest, public testing::WithParamInterface<IniCase> {};

}  // namespace

TEST_P(OptionDlgLoads, TheStoredPath)
{
    if (GetParam().content)
        m_folder.Write("app_tests.ini", GetParam().content);
    ScriptedOptionDlg dlg;
    EXPECT_EQ(Edit(dlg)->text(), GetParam().shown);
    EXPECT_EQ(dlg.GetDataFile(), GetParam().shown);
    EXPECT_FALSE(Button(dlg, "apply")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    OptionDlgTest, OptionDlgLoads,
    testing::Values(IniCase{nullptr, ""}, IniCase{"[Database]\nOther=x\n", ""},
                    IniCase{"[Other]\nFileName=/x.db3\n", ""},
                    IniCase{"[database]\nfilename = /data/drive.db3\n", "/data/drive.db3"}));

TEST_F(OptionDlgTest, HasOneDriveTabAndTheProgramsIniFile)
{
    ScriptedOptionDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Option");
    auto* tab = dlg.findChild<QTabWidget*>("tab");
    ASSERT_NE(tab, nullptr);
    ASSERT_EQ(tab->count(), 1);
    EXPECT_EQ(tab->tabText(0), "Drive");
    EXPECT_EQ(COptionDlg::SettingsFilePath(), Ini());
}

TEST_F(OptionDlgTest, CancelLeavesTheStoredValue)
{
    host::WritePrivateProfileString("Database", "FileName", "/kept.db3", Ini());
    ScriptedOptionDlg dlg;
    dlg.show();
    QTest::keyClicks(Edit(dlg), "x");
    EXPECT_TRUE(Button(dlg, "apply")->isEnabled());
    Button(dlg, "cancel")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(Stored(), "/kept.db3");
}

TEST_F(OptionDlgTest, ApplySavesOnceUntilTheNextChange)
{
    ScriptedOptionDlg dlg;
    dlg.show();
    QTest::keyClicks(Edit(dlg), "/a.db3");
    Button(dlg, "apply")->click();
    EXPECT_EQ(Stored(), "/a.db3");
    EXPECT_FALSE(Button(dlg, "apply")->isEnabled());

    // A second Apply has nothing to save: what another writer stored stays.
    host::WritePrivateProfileString("Database", "FileName", "/other.db3", Ini());
    dlg.OnBnClickedApply();
    EXPECT_EQ(Stored(), "/other.db3");
    // Nor does OK save an unchanged field.
    Button(dlg, "ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(), "/other.db3");
}

TEST_F(OptionDlgTest, BrowsedPathIsStoredOnlyByOk)
{
    ScriptedOptionDlg dlg;
    dlg.show();
    Button(dlg, "browse")->click();
    EXPECT_EQ(dlg.browseCalls, 1);
    EXPECT_FALSE(Button(dlg, "apply")->isEnabled());  // cancelled: nothing changes

    dlg.browseAnswer = QString::fromStdString(m_folder.Path() + "drive.db3");
    Button(dlg, "browse")->click();
    EXPECT_EQ(Edit(dlg)->text(), dlg.browseAnswer);
    EXPECT_TRUE(Button(dlg, "apply")->isEnabled());
    EXPECT_EQ(Stored(), "<none>");

    Button(dlg, "ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(), dlg.browseAnswer.toStdString());
    EXPECT_EQ(dlg.GetDataFile(), dlg.browseAnswer);
}
