#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "drive/VcmFile.h"

class QPushButton;
class QTableWidget;

constexpr int kMaxConverterFiles = 16;

// One row of the file list; row k becomes motor slot k of the converted file.
struct ConverterSlot {
    bool used = false;
    QString name;    // file name without folder
    QString folder;
    int kind = kVersionTarvixBipolar;  // the header's version type
    uint8_t major = 0;
    uint8_t minor = 0;
    uint8_t revision = 0;
    // The whole file. Every conversion reads it afresh from behind its header,
    // so converting twice gives the same script.
    std::string text;
};

// "Parameter Converter": turns up to 16 parameter files of older step drives
// into one script that downloads them as the motor slots of a multi-motor
// drive. Needs no drive connection; the target database is loaded by a model
// of its own.
class CParamConverterDlg : public QDialog {
    Q_OBJECT

public:
    explicit CParamConverterDlg(QWidget* parent = nullptr);
    ~CParamConverterDlg() override;

    // What loading a file into a slot gave.
    enum class LoadResult { Loaded, CannotOpen, NotParameterFile, NotSupported, Converted, NoSize };


    void OnBnClickedAdd();
    void OnBnClickedRemove();
    void OnBnClickedConvert();
    void OnNMDblclkFileList();
    void OnNMClickFileList();

protected:
    // The file dialogs, apart so tests can answer them without a modal wait.
    // Full paths; an empty answer means cancelled.
    virtual QStringList ChooseOpenFiles(bool several);
    virtual QString ChooseSaveFile();

private:
    bool LoadFileIntoSlot(int k);
    bool AddFiles();
    bool InsertSelectedFiles(const QStringList& paths);
    LoadResult LoadFile(const QString& path, int k);
    static bool ReadVersionHeader(FILE* file, ConverterSlot& slot);
    bool SaveConvertedFile();
    bool WriteConvertedFile(FILE* file);
    void RefreshFileList();

    int FirstSelectedRow() const;
    int FirstUsedSlot() const;

    QTableWidget* m_pFileList = nullptr;
    QPushButton* m_pRemove = nullptr;
    QPushButton* m_pConvert = nullptr;
    std::array<ConverterSlot, kMaxConverterFiles> m_Slots;
};
