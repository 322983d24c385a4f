#pragma once

#include <string>

// The application's message boxes: the handler behind host::MessageBox that
// shows a modal QMessageBox over the window the user is working in.

// Shows one box and returns the button chosen (host::IDOK, IDABORT, ...).
// An empty caption is the application name.
int ShowAppMessageBox(const std::string& text, const std::string& caption, unsigned type);

// Installs ShowAppMessageBox as the host's message-box handler.
void InstallAppMessageBox();

// A successful save (EEPROM, script file, motor list) is told after a pause of
// 300 ms, with the same words for all three.
void ShowSaveSucceeded();
