#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ParamConverterDlg.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempProgramFolder.h"

using drivertest::SmallVersion;
using drivertest::Stored;

namespace {

// Answers the file dialogs from queues; an unexpected dialog fails the test.
class ScriptedConverterDlg : public CParamConverterDlg {
public:
    std::deque<QStringList> openAnswers;
    std::deque<QString> saveAnswers;
    std::vector<bool> openSeveral;

protected:
    QStringList ChooseOpenFiles(bool several) override
    {
        openSeveral.push_back(several);
        if (openAnswers.empty()) {
            ADD_FAILURE() << "unexpected open dialog";
            return {};
        }
        QStringList answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    QString ChooseSaveFile() override
    {
        if (saveAnswers.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return {};
        }
        QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
};

SmallVersion Target(const std::string& pattern, int driverType, const std::string& prefix)
{
    SmallVersion v;
    v.pattern = pattern;
    v.driverType = driverType;
    v.prefix = prefix;
    v.constants =
        "DB_Var_SerialComm_bps = 1\nDB_Motor_No = 48\nDB_Motor_Tab = 2\n"
        "DB_Var_ResetDrv_Flag = 3\nDB_ExternSwitchEnable_Flags = 4\n"
        "NUMBER_OF_PARAMETERS = 120\nPARAM_DRIVER_START = 0\nPARAM_DRIVER_END = 47\n"
        "PARAM_MOTOR_START = 48\nPARAM_MOTOR_END = 119\n";
    v.defaults.assign(120, 0);
    v.descriptions.assign(120, "");
    v.descriptions[51] = "Run current [0.1 A]";
    v.descriptions[58] = "Acceleration";
    v.descriptions[98] = "Deceleration";
    return v;
}

const char kConvertedTo[] = "Tarvix Bipolar Version 1.1.3.0";

// The set-up lines of a converted script, stored as text-mode files keep them.
std::string ScriptStart(const std::string& version)
{
    return Stored("VR" + version + "\r\n" +
                  "\r\n\r\n"
                  "MA\t3\tMD\t1\t// Disconnect Motor\r\n"
                  "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
                  "MA\t4\tMD\t0\t// Set GUI Control (Disable PCB Switch Control)\r\n"
                  "\r\n\r\n"
                  "\t\t\t\t// *** Start Download Motor DB ***\r\n");
}

std::string MotorBlock(int slot, const std::string& convertedLines)
{
    return Stored("\r\n\r\n"
                  "MA\t2\tMD\t" + std::to_string(slot) + "\t// Set Motor Pointer\r\n" +
                  "DM\t\t\t\t// Download Motor " + std::to_string(slot) +
                  " Default Parameters\r\n" +
                  "\r\n\r\n" + convertedLines + "\r\n\r\n" +
                  "SM\t\t\t\t// Save Motor Parameters\r\n");
}

const std::string kScriptEnd = Stored(
    "\r\n\r\n"
    "\t\t\t\t// *** Finish Download Motor DB ***\r\n"
    "\r\n\r\n"
    "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
    "MA\t3\tMD\t0\t// Connect Motor\r\n");

// An old driver file as the old software stored it (CR CR LF), with comments,
// a dropped, a doubled and a divided parameter, signs and an unknown number.
const char kOldBody[] =
    "\r\r\n"
    "// Old driver settings\r\r\n"
    "LP\t\t\t\t// Load Parameters from EEPROM\r\r\n"
    "MA\t5\tMD\t7\t// dropped\r\r\n"
    "MA\t21\tMD\t-3\t// doubled\r\r\n"
    "MA\t24\tMD\t1500\t// Run current\r\r\n"
    "MA\t62\tMD\t-15\t// divided\r\r\n"
    "MA\t70\tMD\t9\r\r\n"
    "SP\t\t\t\t// Save Parameters to EEPROM\r\r\n";
const char kOldBodyConverted[] =
    "// LP\r\n"
    "MA\t58 \tMD\t-3\t// \tAcceleration\r\n"
    "MA\t98 \tMD\t-3\t// \tDeceleration\r\n"
    "MA\t51 \tMD\t150\t// \tRun current [0.1 A]\r\n"
    "MA\t60 \tMD\t-1\r\n"
    "// SP\r\n";

// A second file with LF lines: an "MD" after an "MA" maps the same number again.
const char kLfHeader[] = "VR Tarvix Bipolar Version 1.0.9\n";
const char kLfBody[] = "MA 27 MD 5\nMD +8\nMA 33 MD +12 // plus\n";
const char kLfBodyConverted[] =
    "MA\t54 \tMD\t5\r\n"
    "MA\t54 \tMD\t8\r\n"
    "MA\t99 \tMD\t12\r\n";

class ParamConverterDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        SmallVersion broken = Target("Tarvix Bipolar Version 5.5.3", kDriverTypeStep1x3, "B55");
        drivertest::WriteSmallDatabase(
            m_folder,
            {Target("Tarvix Bipolar Version 1.1.3", kDriverTypeStep1x3, "B11"),
             Target("Tarvix Bipolar Version 2.2.3", kDriverTypeStep1x3, "B22"),
             Target("Tarvix Unipolar Version 4.1.3", kDriverTypeStep1x3, "U41"),
             Target("Tarvix Unipolar Version 3.0.3", kDriverTypeStep1x2Unipolar, "U30"),
             broken});
        // A default value that is no number: the database cannot be loaded.
        m_folder.Write("B55_Default.lua", "Default_Value = {1, 2, \"x\"}\n");
        m_dlg.show();
    }

    QString Old(const std::string& name, const std::string& content)
    {
        m_folder.Write("in/" + name, content);
        return QString::fromStdString(m_folder.Path() + "in/" + name);
    }
    QString OutPath() const { return QString::fromStdString(m_folder.Path() + "out.txt"); }
    std::string Output() const
    {
        std::ifstream in(m_folder.Path() + "out.txt", std::ios::binary);
        if (!in)
            return "<none>";
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    QTableWidget* List() { return m_dlg.findChild<QTableWidget*>("fileList"); }
    QPushButton* Button(const char* name) { return m_dlg.findChild<QPushButton*>(name); }
    QString Cell(int row, int column) { return List()->item(row, column)->text(); }

    void Add(const QStringList& paths)
    {
        m_dlg.openAnswers.push_back(paths);
        Button("add")->click();
    }
    void DoubleClick(int row)
    {
        QAbstractItemView* view = List();
        QRect cell = view->visualRect(List()->model()->index(row, 1));
        // The first click selects the row, as the user's does.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void Convert(const QString& savePath)
    {
        m_dlg.saveAnswers.push_back(savePath);
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

class ConvertEachVersion : public ParamConverterDlgTest,
                           public testing::WithParamInterface<AcceptedVersion> {};

}  // namespace

TEST_P(ConvertEachVersion, WritesTheScriptByteForByte)
{
    const AcceptedVersion& v = GetParam();
    Add({Old("a.txt", std::string(v.header) + kOldBody),
         Old("empty.txt", std::string(v.header) + "\r\r\n// nothing but a comment\r\r\n"),
         Old("b.txt", std::string(kLfHeader) + kLfBody)});
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Cell(0, 1), "a.txt");
    EXPECT_EQ(Cell(2, 2), "Tarvix Bipolar Version 1.0.9");
    ASSERT_TRUE(Button("convert")->isEnabled());

    m_boxes.Answer(host::IDYES);
    m_boxes.Answer(host::IDOK);
    Convert(OutPath());
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Shown()[0].text,
              "The version of files are different. Do you want to convert anyway?");
    EXPECT_EQ(m_boxes.Shown()[0].caption, "Warning");
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_YESNO);
    EXPECT_EQ(m_boxes.Shown()[1].text, "The converting is finished.");
    EXPECT_EQ(m_boxes.Shown()[1].caption, "Convert");
    EXPECT_EQ(m_boxes.Shown()[1].type, host::MB_OK);
    // The file with nothing behind its header gives no block; the next one keeps its row number.
    EXPECT_EQ(Output(), ScriptStart(v.target) + MotorBlock(0, kOldBodyConverted) +
                            MotorBlock(2, kLfBodyConverted) + kScriptEnd);
    EXPECT_TRUE(Button("convert")->isEnabled());
    EXPECT_TRUE(m_dlg.isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    ParamConverterDlgTest, ConvertEachVersion,
    testing::Values(AcceptedVersion{"VRTarvix Bipolar Version 1.1.0 beta\r\r\n", kConvertedTo},
                    AcceptedVersion{"\r\n\tVR Tarvix/Bipolar Version 2.2.3\r\r\n",
                                    "Tarvix Bipolar Version 2.2.3.0"},
                    AcceptedVersion{"VRTarvix Unipolar Version 4.1.7.2\n",
                                    "Tarvix Unipolar Version 4.1.3.0"}));

TEST_F(ParamConverterDlgTest, ConvertingAgainWritesTheSameScript)
{
    Add({Old("a.txt", std::string("VRTarvix Bipolar Version 1.1.0\r\r\n") + kOldBody)});
    m_boxes.AnswerAlways(host::IDOK);
    Convert(OutPath());
    const std::string first = Output();
    EXPECT_EQ(first, ScriptStart(kConvertedTo) + MotorBlock(0, kOldBodyConverted) + kScriptEnd);
    Convert(OutPath());
    EXPECT_EQ(Output(), first);
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Shown()[1].text, "The converting is finished.");
}

TEST_F(ParamConverterDlgTest, AnsweringNoToTheVersionQuestionWritesNothing)
{
    Add({Old("a.txt", std::string("VRTarvix Bipolar Version 1.1.0\r\r\n") + kOldBody),
         Old("b.txt", std::string(kLfHeader) + kLfBody),
         Old("c.txt", std::string("VRTarvix Bipolar Version 1.1.1\n") + kLfBody)});
    m_boxes.Answer(host::IDYES);
    m_boxes.Answer(host::IDNO);
    m_dlg.saveAnswers.push_back(OutPath());
    Button("convert")->click();
    // One question per differing file, each with its row selected.
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(List()->currentRow(), 2);
    EXPECT_EQ(List()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(m_dlg.saveAnswers.size(), 1u);
    EXPECT_EQ(Output(), "<none>");
    EXPECT_TRUE(Button("convert")->isEnabled());
    m_dlg.saveAnswers.clear();
}

struct RefusedFile {
    const char* content;
    const char* addOne;      // adding it alone
    const char* doubleClick; // loading it into a row; %s = name
    const char* addSeveral;  // adding it with others; %s = name
};

class RefusedFiles : public ParamConverterDlgTest,
                     public testing::WithParamInterface<RefusedFile> {};

TEST_P(RefusedFiles, AreReportedAndLeaveTheRowAsItWas)
{
    const RefusedFile& f = GetParam();
    const QString good = Old("good.txt", "VRTarvix Bipolar Version 1.1.0\r\r\nMA 24 MD 10\r\r\n");
    const QString bad = f.content ? Old("bad.txt", f.content)
                                  : QString::fromStdString(m_folder.Path() + "in/bad.txt");
    m_boxes.AnswerAlways(host::IDOK);

    Add({bad});
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, f.addOne);
    EXPECT_EQ(m_boxes.Shown()[0].caption, "Error");
    EXPECT_FALSE(m_dlg.GetSlot(0).used);
    EXPECT_FALSE(Button("convert")->isEnabled());

    Add({good});
    m_dlg.openAnswers.push_back({bad});
    DoubleClick(0);
    ASSERT_EQ(m_boxes.Count(), 2u);
    std::string expected = f.doubleClick;
    if (auto at = expected.find("%s"); at != std::string::npos)
        expected.replace(at, 2, "bad.txt");
    EXPECT_EQ(m_boxes.Shown()[1].text, expected);
    EXPECT_EQ(m_boxes.Shown()[1].caption, "Error");
    EXPECT_EQ(m_dlg.openSeveral, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(Cell(0, 1), "good.txt");
    EXPECT_EQ(Cell(0, 2), "Tarvix Bipolar Version 1.1.0");
    const ConverterSlot& slot = m_dlg.GetSlot(0);
    EXPECT_TRUE(slot.used);
    EXPECT_EQ(slot.kind, 0);
    EXPECT_EQ(slot.minor, 1);
    EXPECT_EQ(slot.revision, 0);

    Add({bad, good});
    ASSERT_EQ(m_boxes.Count(), 3u);
    std::string line = f.addSeveral;
    line.replace(line.find("%s"), 2, "bad.txt");
    EXPECT_EQ(m_boxes.Shown()[2].text, "Can NOT insert next files : \r\n" + line);
    EXPECT_TRUE(m_dlg.GetSlot(1).used);
    EXPECT_FALSE(m_dlg.GetSlot(2).used);
}

INSTANTIATE_TEST_SUITE_P(
    ParamConverterDlgTest, RefusedFiles,
    testing::Values(
        RefusedFile{nullptr, "Failed to open file", "Failed to open file", "Open failed : %s\n"},
        RefusedFile{"VRTarvix Stepper Version 1.1.0\r\n", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"VRTarvix Bipolar Version 1.1.0", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"vrtarvix bipolar version 1.1.0\n", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"VRTarvix Bipolar Version 1.1\n", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"\r\n\r\n", "It's NOT a Tarvix Parameter file.",
                    "%s\r\n is NOT a Tarvix Parameter file.", "Wrong file : %s\n"},
        RefusedFile{"VRMorvane VCM Version 2.0.5\r\n", "It's a Parameter file which doesn't support.",
                    "%s\r\n is NOT supported Parameter file.", "Not supported file : %s\n"},
        RefusedFile{"VRTarvix Unipolar Version 1.4.3.0\r\n",
                    "It's a Parameter file which converted already.",
                    "%s\r\n is already converted file.", "Converted file : %s\n"}));

TEST_F(ParamConverterDlgTest, SixteenRowsTakeTheFilesInOrder)
{
    const std::string header = "VRTarvix Bipolar Version 1.1.0\r\r\n";
    m_dlg.openAnswers.push_back({Old("row3.txt", header)});
    DoubleClick(3);
    ASSERT_TRUE(m_dlg.GetSlot(3).used);

    QStringList names;
    for (int i = 0; i < 20; ++i) {
        if (i == 2)
            names << Old("bad.txt", "not a parameter file\n");
        names << Old("f" + std::to_string(i) + ".txt", header);
    }
    m_boxes.Answer(host::IDOK);
    Add(names);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text,
              "Can NOT insert next files : \r\nWrong file : bad.txt\nList fulled : f15.txt\n"
              "List fulled : f16.txt\nList fulled : f17.txt\nList fulled : f18.txt\n"
              "List fulled : f19.txt\n");
    EXPECT_EQ(Cell(2, 1), "f2.txt");
    EXPECT_EQ(Cell(3, 1), "row3.txt");
    EXPECT_EQ(Cell(4, 1), "f3.txt");
    EXPECT_EQ(Cell(15, 1), "f14.txt");

    // No free row: a single file is not taken, and nothing is said.
    Add({Old("more.txt", header)});
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Cell(15, 1), "f14.txt");
}

TEST_F(ParamConverterDlgTest, RemoveFreesTheSelectedRows)
{
    const std::string header = "VRTarvix Bipolar Version 1.1.0\r\r\n";
    Add({Old("a.txt", header), Old("b.txt", header), Old("c.txt", header)});
    EXPECT_FALSE(Button("remove")->isEnabled());

    List()->setCurrentCell(5, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_FALSE(Button("remove")->isEnabled());
    List()->setCurrentCell(0, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    List()->setCurrentCell(2, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(Button("remove")->isEnabled());
    Button("remove")->click();
    EXPECT_FALSE(Button("remove")->isEnabled());
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_EQ(Cell(0, 2), "");
    EXPECT_EQ(Cell(1, 1), "b.txt");
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_EQ(Cell(2, 0), "2");
    EXPECT_TRUE(Button("convert")->isEnabled());

    // The freed rows are the first to be filled again.
    Add({Old("d.txt", header)});
    EXPECT_EQ(Cell(0, 1), "d.txt");

    List()->clearSelection();
    List()->selectRow(0);
    List()->setCurrentCell(1, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Button("remove")->click();
    EXPECT_FALSE(Button("convert")->isEnabled());
}

TEST_F(ParamConverterDlgTest, TargetOfAnotherDriverTypeIsRefusedAndWritesNothing)
{
    m_folder.Write("out.txt", "earlier file");
    Add({Old("u.txt", std::string("VRTarvix Unipolar Version 3.0.1\r\r\n") + kOldBody)});
    m_boxes.Answer(host::IDOK);
    Convert(OutPath());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "The converting is failed.");
    EXPECT_EQ(m_boxes.Shown()[0].caption, "Convert");
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_ICONEXCLAMATION);
    EXPECT_EQ(Output(), "earlier file");
}

TEST_F(ParamConverterDlgTest, FailuresKeepTheEarlierFile)
{
    m_folder.Write("out.txt", "earlier file");
    m_boxes.AnswerAlways(host::IDOK);

    // No database of the target version.
    Add({Old("old.txt", std::string("VRTarvix Bipolar Version 7.7.0\r\r\n") + kOldBody)});
    Convert(OutPath());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "The converting is failed.");
    EXPECT_EQ(Output(), "earlier file");

    // A database that cannot be loaded says why.
    m_dlg.openAnswers.push_back({Old("b55.txt", "VRTarvix Bipolar Version 5.5.0\n" + std::string(kOldBody))});
    DoubleClick(0);
    Convert(OutPath());
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(m_boxes.Shown()[1].caption, "Error");
    EXPECT_EQ(m_boxes.Shown()[1].type, host::MB_ICONHAND);
    EXPECT_EQ(m_boxes.Shown()[1].text,
              "Failed to get default value.\nB55_Default.lua\nDefault_Value[2]");
    EXPECT_EQ(m_boxes.Shown()[2].text, "The converting is failed.");
    EXPECT_EQ(Output(), "earlier file");

    // A folder that cannot take the file.
    Convert(QString::fromStdString(m_folder.Path() + "missing/out.txt"));
    ASSERT_EQ(m_boxes.Count(), 5u);
    EXPECT_EQ(m_boxes.Shown()[3].text, "Failed to create file");
    EXPECT_EQ(m_boxes.Shown()[3].caption, "Error");
    EXPECT_EQ(m_boxes.Shown()[4].text, "The converting is failed.");

    // Cancelling the save dialog reports a failed conversion too.
    Convert(QString());
    ASSERT_EQ(m_boxes.Count(), 6u);
    EXPECT_EQ(m_boxes.Shown()[5].text, "The converting is failed.");
}
