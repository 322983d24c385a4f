#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "platform/ReplacingFile.h"

class QWidget;

// The program's file choosers: non-native dialogs (tests drive them like any
// other window). Each returns the chosen path, or an empty text on cancel.

// "Parameter file(*.txt)" only; a name without extension gets ".txt"; an
// existing file is replaced without a question.
QString AskSaveParameterFile(QWidget* owner);

// Asks for a parameter file to save and opens it for writing; the earlier file
// stays until the new one is committed. Null on cancel, and after the message
// "Failed to create file" when it cannot be written.
std::unique_ptr<host::ReplacingFile> CreateParameterFile(QWidget* owner);

// An existing "Parameter file(*.txt)" or any file ("All Files(*.*)").
QString AskOpenParameterFile(QWidget* owner);
// The same, one file or several; empty on cancel.
QStringList AskOpenParameterFiles(QWidget* owner, bool several);
