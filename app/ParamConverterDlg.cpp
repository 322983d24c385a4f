#include "app/ParamConverterDlg.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/LuaManager.h"
#include "drive/Step1x3Driver.h"
#include "drive/TextModeFile.h"
#include "drive/VcmFile.h"
#include "platform/MessageBox.h"
#include "platform/ReplacingFile.h"
#include "platform/UniqueFile.h"
#include "ui/DialogUnits.h"
#include "ui/FileDialogs.h"
#include "ui/ProgressDlg.h"

namespace {

// Why a file was refused, in the words of each way of adding it.
struct RefusalTexts {
    const char* doubleClick;  // %s = the file name
    const char* addOne;
    const char* addSeveral;   // %s = the file name
};

RefusalTexts TextsFor(CParamConverterDlg::LoadResult result)
{
    using Result = CParamConverterDlg::LoadResult;
    switch (result) {
    case Result::CannotOpen:
        return {"Failed to open file", "Failed to open file", "Open failed : %s\n"};
    case Result::NotParameterFile:
        return {"%s\r\n is NOT a Tarvix Parameter file.", "It's NOT a Tarvix Parameter file.",
                "Wrong file : %s\n"};
    case Result::NotSupported:
        return {"%s\r\n is NOT supported Parameter file.",
                "It's a Parameter file which doesn't support.", "Not supported file : %s\n"};
    case Result::Converted:
        return {"%s\r\n is already converted file.",
                "It's a Parameter file which converted already.", "Converted file : %s\n"};
    case Result::NoSize:
        return {"Failed to get file size", "Failed to get file size", "Read failed : %s\n"};
    case Result::Loaded:
        break;
    }
    return {"", "", ""};
}

std::string WithName(const char* format, const QString& name)
{
    std::string text = format;
    std::string::size_type at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name.toStdString());
    return text;
}

void ShowError(const std::string& text)
{
    host::MessageBox(text, host::MB_OK, "Error");
}

// A lexer over a slot's text with its cursor behind the header line.
void LoadTextAfterHeader(CVcmFile& lexer, std::string& text)
{
    host::UniqueFile memory(fmemopen(text.data(), text.size(), "r"));
    if (!memory)
        return;
    lexer.Load(static_cast<int>(text.size()), memory.get());
    lexer.NextLine();
}

}  // namespace

CParamConverterDlg::CParamConverterDlg(QWidget* parent) : QDialog(parent)
{
    const CDialogUnits du =
        SetUpTemplateDialog(this, "paramConverterDlg", QStringLiteral("Parameter Converter"),
                            QFont(QStringLiteral("Tahoma"), 9), 347, 207);

    auto* group = new QGroupBox(QStringLiteral("Input Parameter Files"), this);
    group->setGeometry(du.Rect(5, 5, 337, 175));

    m_pFileList = new QTableWidget(kMaxConverterFiles, 3, this);
    m_pFileList->setObjectName("fileList");
    m_pFileList->setGeometry(du.Rect(11, 17, 325, 157));
    m_pFileList->setHorizontalHeaderLabels(
        {QStringLiteral("No."), QStringLiteral("File Name"), QStringLiteral("Version Info.")});
    m_pFileList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pFileList->horizontalHeader()->setHighlightSections(false);
    m_pFileList->setColumnWidth(0, 35);
    m_pFileList->setColumnWidth(1, 250);
    m_pFileList->setColumnWidth(2, 270);
    m_pFileList->verticalHeader()->hide();
    // Rows as tight as a list view's, so most of the 16 show at once.
    m_pFileList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pFileList->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    m_pFileList->setShowGrid(true);
    m_pFileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pFileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pFileList->setWordWrap(false);
    for (int row = 0; row < kMaxConverterFiles; ++row) {
        m_pFileList->setItem(row, 0, new QTableWidgetItem(QString::number(row)));
        m_pFileList->setItem(row, 1, new QTableWidgetItem);
        m_pFileList->setItem(row, 2, new QTableWidgetItem);
    }

    QPushButton* add = AddTemplateButton(this, "add", QStringLiteral("Add"),
                                         du.Rect(12, 186, 50, 14));
    m_pRemove = AddTemplateButton(this, "remove", QStringLiteral("Remove"),
                                  du.Rect(66, 186, 50, 14));
    m_pConvert = AddTemplateButton(this, "convert", QStringLiteral("Convert"),
                                   du.Rect(216, 186, 68, 14));
    QPushButton* closeButton = AddTemplateButton(this, "close", QStringLiteral("Close"),
                                                 du.Rect(288, 186, 50, 14));
    closeButton->setDefault(true);
    m_pRemove->setEnabled(false);
    m_pConvert->setEnabled(false);

    connect(add, &QPushButton::clicked, this, &CParamConverterDlg::OnBnClickedAdd);
    connect(m_pRemove, &QPushButton::clicked, this, &CParamConverterDlg::OnBnClickedRemove);
    connect(m_pConvert, &QPushButton::clicked, this, &CParamConverterDlg::OnBnClickedConvert);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pFileList, &QTableWidget::cellDoubleClicked, this,
            &CParamConverterDlg::OnNMDblclkFileList);
    connect(m_pFileList, &QTableWidget::cellClicked, this, &CParamConverterDlg::OnNMClickFileList);
    connect(m_pFileList, &QTableWidget::itemSelectionChanged, this,
            &CParamConverterDlg::OnNMClickFileList);
}

CParamConverterDlg::~CParamConverterDlg() = default;

QStringList CParamConverterDlg::ChooseOpenFiles(bool several)
{
    return AskOpenParameterFiles(this, several);
}

QString CParamConverterDlg::ChooseSaveFile()
{
    return AskSaveParameterFile(this);
}

int CParamConverterDlg::FirstSelectedRow() const
{
    int first = -1;
    for (const QModelIndex& index : m_pFileList->selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

int CParamConverterDlg::FirstUsedSlot() const
{
    for (int k = 0; k < kMaxConverterFiles; ++k) {
        if (m_Slots[static_cast<size_t>(k)].used)
            return k;
    }
    return -1;
}

void CParamConverterDlg::OnBnClickedAdd()
{
    AddFiles();
    RefreshFileList();
}

void CParamConverterDlg::OnBnClickedRemove()
{
    const QModelIndexList rows = m_pFileList->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    m_pRemove->setEnabled(false);
    // The text stays until the slot is loaded again or the dialog ends.
    for (const QModelIndex& index : rows)
        m_Slots[static_cast<size_t>(index.row())].used = false;
    RefreshFileList();
}

void CParamConverterDlg::OnNMClickFileList()
{
    int row = FirstSelectedRow();
    m_pRemove->setEnabled(row >= 0 && m_Slots[static_cast<size_t>(row)].used);
}

void CParamConverterDlg::OnNMDblclkFileList()
{
    int row = FirstSelectedRow();
    if (row >= 0 && LoadFileIntoSlot(row))
        RefreshFileList();
}

bool CParamConverterDlg::ReadVersionHeader(FILE* file, ConverterSlot& slot)
{
    int c;
    do {
        c = std::fgetc(file);
        if (c == EOF)
            return false;
    } while (c < 0x20 || c == 0x7F);

    // A longer header is cut: only its first words matter.
    char line[256];
    size_t length = 0;
    while (c != '\r' && c != '\n') {
        if (length < sizeof line - 1)
            line[length++] = static_cast<char>(c);
        c = std::fgetc(file);
        if (c == EOF)
            return false;
    }
    line[length] = '\0';
    if (std::strncmp(line, "VR", 2) != 0)
        return false;

    std::vector<const char*> tokens;
    char* save = nullptr;
    for (char* t = strtok_r(line + 2, " \t\n\r./", &save); t && tokens.size() < 6;
         t = strtok_r(nullptr, " \t\n\r./", &save))
        tokens.push_back(t);
    if (tokens.size() < 2)
        return false;
    const std::string family = tokens[0];
    const std::string kind = tokens[1];
    if (family == "Tarvix" && kind == "Bipolar")
        slot.kind = kVersionTarvixBipolar;
    else if (family == "Tarvix" && kind == "Unipolar")
        slot.kind = kVersionTarvixUnipolar;
    else if (family == "Morvane" && kind == "VCM")
        slot.kind = kVersionMorvaneVcm;
    else
        return false;
    if (tokens.size() < 6 || std::strcmp(tokens[2], "Version") != 0)
        return false;
    // Each number keeps its low 8 bits; strtol saturates where atoi would overflow.
    slot.major = static_cast<uint8_t>(std::strtol(tokens[3], nullptr, 10));
    slot.minor = static_cast<uint8_t>(std::strtol(tokens[4], nullptr, 10));
    slot.revision = static_cast<uint8_t>(std::strtol(tokens[5], nullptr, 10));
    return true;
}

CParamConverterDlg::LoadResult CParamConverterDlg::LoadFile(const QString& path, int k)
{
    // Everything is read into a fresh slot first: a refused file leaves the
    // row as it was.
    ConverterSlot loaded;
    const QFileInfo info(path);
    loaded.name = info.fileName();
    loaded.folder = info.absolutePath();

    host::UniqueFile file(std::fopen(QFile::encodeName(path).constData(), "r"));
    if (!file)
        return LoadResult::CannotOpen;
    if (!ReadVersionHeader(file.get(), loaded))
        return LoadResult::NotParameterFile;
    if (loaded.kind == kVersionMorvaneVcm)
        return LoadResult::NotSupported;
    if (loaded.major == 1 && loaded.revision == 3)
        return LoadResult::Converted;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return LoadResult::NoSize;
    long size = std::ftell(file.get());
    if (size <= 0 || size >= INT_MAX || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return LoadResult::NoSize;
    loaded.text.resize(static_cast<size_t>(size));
    loaded.text.resize(std::fread(loaded.text.data(), 1, loaded.text.size(), file.get()));
    if (std::ferror(file.get()))
        return LoadResult::NoSize;

    loaded.used = true;
    m_Slots[static_cast<size_t>(k)] = std::move(loaded);
    return LoadResult::Loaded;
}

bool CParamConverterDlg::LoadFileIntoSlot(int k)
{
    const QStringList paths = ChooseOpenFiles(false);
    if (paths.isEmpty())
        return false;
    LoadResult result = LoadFile(paths.front(), k);
    if (result == LoadResult::Loaded)
        return true;
    ShowError(WithName(TextsFor(result).doubleClick, QFileInfo(paths.front()).fileName()));
    return false;
}

bool CParamConverterDlg::AddFiles()
{
    const QStringList paths = ChooseOpenFiles(true);
    if (paths.isEmpty())
        return false;
    return InsertSelectedFiles(paths);
}

bool CParamConverterDlg::InsertSelectedFiles(const QStringList& paths)
{
    if (paths.size() == 1) {
        int k = 0;
        while (k < kMaxConverterFiles && m_Slots[static_cast<size_t>(k)].used)
            ++k;
        if (k == kMaxConverterFiles)
            return false;
        LoadResult result = LoadFile(paths.front(), k);
        if (result == LoadResult::Loaded)
            return true;
        ShowError(TextsFor(result).addOne);
        return false;
    }

    // Free slots take the names in order; a refused name leaves its slot to the next.
    std::string report;
    int k = 0;
    for (const QString& path : paths) {
        while (k < kMaxConverterFiles && m_Slots[static_cast<size_t>(k)].used)
            ++k;
        const QString name = QFileInfo(path).fileName();
        if (k == kMaxConverterFiles) {
            report += WithName("List fulled : %s\n", name);
            continue;
        }
        LoadResult result = LoadFile(path, k);
        if (result == LoadResult::Loaded)
            ++k;
        else
            report += WithName(TextsFor(result).addSeveral, name);
    }
    if (report.empty())
        return true;
    ShowError("Can NOT insert next files : \r\n" + report);
    return false;
}

void CParamConverterDlg::RefreshFileList()
{
    for (int k = 0; k < kMaxConverterFiles; ++k) {
        const ConverterSlot& slot = m_Slots[static_cast<size_t>(k)];
        QString name;
        QString version;
        if (slot.used) {
            name = slot.name;
            const VersionWords words = WordsOfVersionType(slot.kind);
            version = QString::asprintf("%s %s %s %d.%d.%d", words.family, words.kind, "Version",
                                        slot.major, slot.minor, slot.revision);
        }
        m_pFileList->item(k, 1)->setText(name);
        m_pFileList->item(k, 2)->setText(version);
    }
    m_pConvert->setEnabled(FirstUsedSlot() >= 0);
}

void CParamConverterDlg::OnBnClickedConvert()
{
    m_pConvert->setEnabled(false);
    const int first = FirstUsedSlot();
    if (first >= 0) {
        const ConverterSlot& reference = m_Slots[static_cast<size_t>(first)];
        for (int k = first + 1; k < kMaxConverterFiles; ++k) {
            const ConverterSlot& slot = m_Slots[static_cast<size_t>(k)];
            if (!slot.used ||
                (slot.kind == reference.kind && slot.major == reference.major &&
                 slot.minor == reference.minor && slot.revision == reference.revision))
                continue;
            m_pConvert->setEnabled(true);
            m_pFileList->clearSelection();
            m_pFileList->setCurrentCell(k, 0, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
            if (host::MessageBox(
                    "The version of files are different. Do you want to convert anyway?",
                    host::MB_YESNO, "Warning") != host::IDYES)
                return;
        }
    }

    if (SaveConvertedFile())
        host::MessageBox("The converting is finished.", host::MB_OK, "Convert");
    else
        host::MessageBox("The converting is failed.", host::MB_ICONEXCLAMATION, "Convert");
    m_pConvert->setEnabled(true);
}

bool CParamConverterDlg::SaveConvertedFile()
{
    const QString path = ChooseSaveFile();
    if (path.isEmpty())
        return false;
    // Written beside the target and put in its place only when complete, so
    // a failed conversion never costs the file that was there.
    host::ReplacingFile out(QFile::encodeName(path).toStdString());
    if (!out.Open()) {
        ShowError("Failed to create file");
        return false;
    }
    return WriteConvertedFile(out.Stream()) && out.Commit();
}

bool CParamConverterDlg::WriteConvertedFile(FILE* file)
{
    const int first = FirstUsedSlot();
    if (first < 0)
        return false;
    const ConverterSlot& target = m_Slots[static_cast<size_t>(first)];
    if (target.kind != kVersionTarvixBipolar && target.kind != kVersionTarvixUnipolar)
        return false;
    const char* kindWord = WordsOfVersionType(target.kind).kind;
    char version[100];
    std::snprintf(version, sizeof version, "%s %s %s %d.%d.%d.%d", "Tarvix", kindWord, "Version",
                  target.major, target.minor, 3, 0);

    // Only the multi-motor model has motor slots and the lines below; another
    // model would read its missing parameter numbers as 0.
    int driverType = 0;
    if (LookupDriverType(version, &driverType) != kLuaDbOk || driverType != kDriverTypeStep1x3)
        return false;
    CStep1x3Driver model(nullptr);
    if (model.GetLuaManager().OpenDriveDb(version) != kLuaDbOk)
        return false;
    if (model.LoadDatabase() != kLuaDbOk) {
        host::MessageBox(model.GetLuaManager().GetLastErrorText(), host::MB_ICONHAND, "Error");
        return false;
    }

    CProgressDlg progress;
    progress.Create(this);
    progress.SetRange(0, kMaxConverterFiles);
    progress.SetStep(1);
    progress.SetPos(0);

    if (!WriteTextModeFormat(file, "VR%s\r\n", version) || !model.WriteDisconnectMotorLines(file) ||
        !model.WriteStartMotorDbLines(file))
        return false;
    for (int k = 0; k < kMaxConverterFiles; ++k) {
        ConverterSlot& slot = m_Slots[static_cast<size_t>(k)];
        if (slot.used) {
            CVcmFile lexer;
            LoadTextAfterHeader(lexer, slot.text);
            // Nothing but blanks and comments behind the header: no motor block.
            lexer.SkipSpaceAndComments();
            if (!lexer.AtEnd() &&
                (!model.WriteMotorPointerLines(file, k) ||
                 !model.ConvertParameterFile(file, &lexer) || !model.WriteSaveMotorLine(file)))
                return false;
        }
        progress.StepIt();
    }
    return model.WriteFinishMotorDbLines(file);
}
