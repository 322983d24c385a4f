#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>

#include "tests/support/ModalWindows.h"
#include "ui/FileDialogs.h"

namespace {

struct FilterCase {
    const char* name;
    bool several;
    int filter;          // row of the file-type list the user picks
    const char* label;   // what that row reads
    const char* file;
    bool listed;
};

const FilterCase kFilterCases[] = {
    {"ParameterFilesOnly", false, 0, "Parameter file(*.txt)", "motor.txt", true},
    {"ParameterFilterHidesOthers", false, 0, "Parameter file(*.txt)", "motor", false},
    {"AllFilesWithoutADot", false, 1, "All Files(*.*)", "motor", true},
    {"AllFilesOfSeveral", true, 1, "All Files(*.*)", "README", true},
};

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileFilterTest : public testing::TestWithParam<FilterCase> {};

}  // namespace

TEST_P(FileFilterTest, ListsWhatTheFilterNames)
{
    const FilterCase& c = GetParam();
    QString label;
    bool listed = !c.listed;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* model = dialog->findChild<QFileSystemModel*>();
        if (types && model && c.filter < types->count()) {
            label = types->itemText(c.filter);
            dialog->selectNameFilter(dialog->nameFilters().at(c.filter));
            listed = QDir::match(model->nameFilters(), QString::fromLatin1(c.file));
        }
        dialog->reject();
    });
    EXPECT_TRUE(AskOpenParameterFiles(nullptr, c.several).isEmpty());
    EXPECT_EQ(label.toStdString(), c.label);
    EXPECT_EQ(listed, c.listed);
}

INSTANTIATE_TEST_SUITE_P(Open, FileFilterTest, testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });
