#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <deque>
#include <fstream>
#include <iterator>
#include <string>

#include "app/ParamConverterDlg.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"

using drivertest::Stored;

namespace {

// Answers the file dialogs from queues; an unexpected dialog gives "cancelled".
class ScriptedConverterDlg : public CParamConverterDlg {
public:
    std::deque<QStringList> opens;
    std::deque<QString> saves;

protected:
    QStringList ChooseOpenFiles(bool) override { return Next(opens); }
    QString ChooseSaveFile() override { return Next(saves); }

private:
    template <typename T>
    static T Next(std::deque<T>& answers)
    {
        if (answers.empty())
            return T();
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

drivertest::SmallVersion Target(const std::string& pattern, int driverType,
                                const std::string& prefix)
{
    drivertest::SmallVersion v;
    v.pattern = pattern;
    v.driverType = driverType;
    v.prefix = prefix;
    v.constants =
        "DB_Motor_Tab = 2\nDB_Var_ResetDrv_Flag = 3\nDB_ExternSwitchEnable_Flags = 4\n"
        "NUMBER_OF_PARAMETERS = 120\n";
    v.defaults.assign(120, 0);
    v.descriptions.assign(120, "");
    v.descriptions[51] = "Run current [0.1 A]";
    v.descriptions[58] = "Acceleration";
    v.descriptions[98] = "Deceleration";
    return v;
}

std::string Script(const std::string& version, const std::string& blocks)
{
    return Stored("VR" + version +
                  "\r\n\r\n\r\nMA\t3\tMD\t1\t// Disconnect Motor\r\n"
                  "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
                  "MA\t4\tMD\t0\t// Set GUI Control (Disable PCB Switch Control)\r\n"
                  "\r\n\r\n\t\t\t\t// *** Start Download Motor DB ***\r\n" +
                  blocks +
                  "\r\n\r\n\t\t\t\t// *** Finish Download Motor DB ***\r\n\r\n\r\n"
                  "LP\t\t\t\t// Load Parameters from EEPROM\r\nMA\t3\tMD\t0\t// Connect Motor\r\n");
}

std::string MotorBlock(int slot, const std::string& lines)
{
    const std::string k = std::to_string(slot);
    return "\r\n\r\nMA\t2\tMD\t" + k + "\t// Set Motor Pointer\r\nDM\t\t\t\t// Download Motor " +
           k + " Default Parameters\r\n\r\n\r\n" + lines +
           "\r\n\r\nSM\t\t\t\t// Save Motor Parameters\r\n";
}

// As the old software stored it (CR CR LF): comments, a dropped, a doubled
// and a divided parameter, signs, an unknown number.
const char kOldBody[] =
    "\r\r\n// Old driver settings\r\r\nLP\t\t\t\t// Load Parameters from EEPROM\r\r\n"
    "MA\t5\tMD\t7\t// dropped\r\r\nMA\t21\tMD\t-3\t// doubled\r\r\n"
    "MA\t24\tMD\t1500\t// Run current\r\r\nMA\t62\tMD\t-15\t// divided\r\r\n"
    "MA\t70\tMD\t9\r\r\nSP\t\t\t\t// Save Parameters to EEPROM\r\r\n";
const char kOldBodyConverted[] =
    "// LP\r\nMA\t58 \tMD\t-3\t// \tAcceleration\r\nMA\t98 \tMD\t-3\t// \tDeceleration\r\n"
    "MA\t51 \tMD\t150\t// \tRun current [0.1 A]\r\nMA\t60 \tMD\t-1\r\n// SP\r\n";
// LF lines; a bare "MD" after an "MA" maps the same number again.
const char kLfFile[] = "VR Tarvix Bipolar Version 1.0.9\nMA 27 MD 5\nMD +8\nMA 33 MD +12 // x\n";
const char kLfConverted[] = "MA\t54 \tMD\t5\r\nMA\t54 \tMD\t8\r\nMA\t99 \tMD\t12\r\n";
const char kHeader[] = "VRTarvix Bipolar Version 1.1.0\r\r\n";

class ParamConverterDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        drivertest::WriteSmallDatabase(
            m_folder, {Target("Tarvix Bipolar Version 1.1.3", kDriverTypeStep1x3, "B11"),
                       Target("Tarvix Bipolar Version 2.2.3", kDriverTypeStep1x3, "B22"),
                       Target("Tarvix Unipolar Version 4.1.3", kDriverTypeStep1x3, "U41"),
                       Target("Tarvix Unipolar Version 3.0.3", kDriverTypeStep1x2Unipolar, "U30"),
                       Target("Tarvix Bipolar Version 5.5.3", kDriverTypeStep1x3, "B55")});
        m_folder.Write("B55_Default.lua", "Default_Value = {1, 2, \"x\"}\n");
        m_dlg.show();
    }

    QString Old(const std::string& name, const std::string& content)
    {
        m_folder.Write("in/" + name, content);
        return QString::fromStdString(m_folder.Path() + "in/" + name);
    }
    std::string Output() const
    {
        std::ifstream in(m_folder.Path() + "out.txt", std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
    }
    QTableWidget* List() { return m_dlg.findChild<QTableWidget*>("fileList"); }
    QPushButton* Button(const char* name) { return m_dlg.findChild<QPushButton*>(name); }
    QString Cell(int row, int column) { return List()->item(row, column)->text(); }
    std::string Box(size_t i) { return m_boxes.Shown().at(i).text; }

    void Add(const QStringList& paths)
    {
        m_dlg.opens.push_back(paths);
        Button("add")->click();
    }
    void DoubleClick(int row, const QString& path)
    {
        m_dlg.opens.push_back({path});
        QPoint at = List()->visualRect(List()->model()->index(row, 1)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
    }
    void Convert(const std::string& name = "out.txt")
    {
        m_dlg.saves.push_back(name.empty() ? QString()
                                           : QString::fromStdString(m_folder.Path() + name));
        Button("convert")->click();
    }

    TempProgramFolder m_folder;
    ScriptedConverterDlg m_dlg;
    ScriptedMessageBoxes m_boxes;
};

struct AcceptedVersion {
    const char* header;
    const char* target;
};
void PrintTo(const AcceptedVersion& v, std::ostream* os)
{
    *os << v.target;
}
class ConvertEachVersion : public ParamConverterDlgTest,
                           public testing::WithParamInterface<AcceptedVersion> {};

}  // namespace

TEST_P(ConvertEachVersion, WritesTheSameScriptEachTime)
{
    const std::string header = GetParam().header;
    Add({Old("a.txt", header + kOldBody), Old("empty.txt", header + "\r\r\n// comment only\r\r\n"),
         Old("b.txt", kLfFile)});
    EXPECT_EQ(Cell(2, 1), "b.txt");
    EXPECT_EQ(Cell(2, 2), "Tarvix Bipolar Version 1.0.9");
    m_boxes.Answer(host::IDYES);
    m_boxes.AnswerAlways(host::IDOK);
    Convert();
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(Box(0), "The version of files are different. Do you want to convert anyway?");
    EXPECT_EQ(m_boxes.Shown()[0].caption, "Warning");
    EXPECT_EQ(Box(1), "The converting is finished.");
    EXPECT_EQ(m_boxes.Shown()[1].caption, "Convert");
    // No block for the file with nothing behind its header; rows keep their numbers.
    const std::string expected =
        Script(GetParam().target, MotorBlock(0, kOldBodyConverted) + MotorBlock(2, kLfConverted));
    EXPECT_EQ(Output(), expected);
    m_boxes.Answer(host::IDYES);
    Convert();
    EXPECT_EQ(Box(3), "The converting is finished.");
    EXPECT_EQ(Output(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ConvertEachVersion,
    testing::Values(AcceptedVersion{"VRTarvix Bipolar Version 1.1.0 beta\r\r\n",
                                    "Tarvix Bipolar Version 1.1.3.0"},
                    AcceptedVersion{"\r\n\tVR Tarvix/Bipolar Version 2.2.3\r\r\n",
                                    "Tarvix Bipolar Version 2.2.3.0"},
                    AcceptedVersion{"VRTarvix Unipolar Version 4.1.7.2\n",
                                    "Tarvix Unipolar Version 4.1.3.0"}));

TEST_F(ParamConverterDlgTest, AnsweringNoWritesNothing)
{
    Add({Old("a.txt", kHeader), Old("b.txt", kLfFile),
         Old("c.txt", "VRTarvix Bipolar Version 1.1.1\nMA 24 MD 1\n")});
    m_boxes.Answer(host::IDYES);
    m_boxes.Answer(host::IDNO);
    Convert();
    EXPECT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(List()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(List()->currentRow(), 2);
    EXPECT_EQ(Output(), "<none>");
    EXPECT_TRUE(Button("convert")->isEnabled());
}

struct RefusedFile {
    const char* content;  // null: no such file
    const char* addOne;
    const char* doubleClick;  // %s = name
    const char* addSeveral;   // %s = name
};
void PrintTo(const RefusedFile& f, std::ostream* os)
{
    *os << testing::PrintToString(std::string(f.content ? f.content : "(no file)"));
}
class RefusedFiles : public ParamConverterDlgTest,
                     public testing::WithParamInterface<RefusedFile> {};

TEST_P(RefusedFiles, AreReportedAndLeaveTheRowAsItWas)
{
    const RefusedFile& f = GetParam();
    const QString bad =
        f.content ? Old("bad.txt", f.content) : QString::fromStdString(m_folder.Path() + "bad.txt");
    m_boxes.AnswerAlways(host::IDOK);
    Add({bad});
    Add({Old("good.txt", kHeader)});
    DoubleClick(0, bad);
    Add({bad, Old("good2.txt", kHeader)});
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(Box(0), f.addOne);
    EXPECT_EQ(m_boxes.Shown()[0].caption, "Error");
    std::string named = f.doubleClick, line = f.addSeveral;
    if (named.find("%s") != std::string::npos)
        named.replace(named.find("%s"), 2, "bad.txt");
    EXPECT_EQ(Box(1), named);
    EXPECT_EQ(Box(2),
              "Can NOT insert next files : \r\n" + line.replace(line.find("%s"), 2, "bad.txt"));
    EXPECT_EQ(Cell(0, 1) + " " + Cell(0, 2), "good.txt Tarvix Bipolar Version 1.1.0");
    EXPECT_EQ(Cell(1, 1), "good2.txt");
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFiles,
    testing::Values(
        RefusedFile{nullptr, "Failed to open file", "Failed to open file", "Open failed : %s\n"},
        RefusedFile{"VRTarvix Stepper Version 1.1.0\r\n", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"VRTarvix Bipolar Version 1.1.0", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"VRMorvane VCM Version 2.0.5\r\n",
                    "It's a Parameter file which doesn't support.",
                    "%s\r\n is NOT supported Parameter file.", "Not supported file : %s\n"},
        RefusedFile{"VRTarvix Unipolar Version 1.4.3.0\r\n",
                    "It's a Parameter file which converted already.",
                    "%s\r\n is already converted file.", "Converted file : %s\n"}));

TEST_F(ParamConverterDlgTest, SixteenRowsTakeTheFilesInOrder)
{
    DoubleClick(3, Old("row3.txt", kHeader));
    QStringList names;
    for (int i = 0; i < 20; ++i)
        names << Old("f" + std::to_string(i) + ".txt", kHeader);
    names.insert(2, Old("bad.txt", "no header\n"));
    m_boxes.Answer(host::IDOK);
    Add(names);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Box(0),
              "Can NOT insert next files : \r\nWrong file : bad.txt\nList fulled : f15.txt\n"
              "List fulled : f16.txt\nList fulled : f17.txt\nList fulled : f18.txt\n"
              "List fulled : f19.txt\n");
    EXPECT_EQ(Cell(2, 1) + Cell(3, 1) + Cell(4, 1) + Cell(15, 1), "f2.txtrow3.txtf3.txtf14.txt");
    Add({Old("more.txt", kHeader)});  // no free row: not taken, nothing said
    EXPECT_EQ(m_boxes.Count(), 1u);
}

TEST_F(ParamConverterDlgTest, RemoveFreesTheSelectedRows)
{
    Add({Old("a.txt", kHeader), Old("b.txt", kHeader)});
    auto select = [this](int row, QItemSelectionModel::SelectionFlags how) {
        List()->setCurrentCell(row, 0, how | QItemSelectionModel::Rows);
    };
    select(5, QItemSelectionModel::ClearAndSelect);
    EXPECT_FALSE(Button("remove")->isEnabled());  // the first selected row is free
    select(0, QItemSelectionModel::ClearAndSelect);
    select(5, QItemSelectionModel::Select);
    Button("remove")->click();
    EXPECT_EQ(Cell(0, 0) + Cell(0, 1) + Cell(0, 2) + Cell(1, 1), "0b.txt");
    EXPECT_TRUE(Button("convert")->isEnabled());
    select(1, QItemSelectionModel::ClearAndSelect);
    Button("remove")->click();
    EXPECT_FALSE(Button("convert")->isEnabled());
}

TEST_F(ParamConverterDlgTest, FailuresKeepTheEarlierFile)
{
    m_folder.Write("out.txt", "earlier");
    m_boxes.AnswerAlways(host::IDOK);
    const std::string failed = "The converting is failed.";
    // The target's model is not the multi-motor one.
    Add({Old("u.txt", std::string("VRTarvix Unipolar Version 3.0.1\n") + kOldBody)});
    Convert();
    EXPECT_EQ(Box(0), failed);
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_ICONEXCLAMATION);
    DoubleClick(0, Old("b55.txt", "VRTarvix Bipolar Version 5.5.0\nMA 24 MD 1\n"));
    Convert();
    EXPECT_EQ(Box(1), "Failed to get default value.\nB55_Default.lua\nDefault_Value[2]");
    EXPECT_EQ(m_boxes.Shown()[1].caption, "Error");
    EXPECT_EQ(m_boxes.Shown()[1].type, host::MB_ICONHAND);
    EXPECT_EQ(Box(2), failed);
    EXPECT_EQ(Output(), "earlier");
    Convert("missing/out.txt");
    EXPECT_EQ(Box(3), "Failed to create file");
    EXPECT_EQ(Box(4), failed);
}

TEST(ParamConverterDlgOpen, RunsModallyOverTheFrameUntilClosed)
{
    QWidget frame;
    frame.show();
    CParamConverterDlg dlg(&frame);
    QTimer::singleShot(0, &dlg, [&dlg] { dlg.findChild<QPushButton*>("close")->click(); });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.parentWidget(), &frame);
}
