// Executing a parameter script file against the connected drive.

#include <strings.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "drive/ProgInterface.h"
#include "drive/TarvixMaster.h"
#include "drive/VcmFile.h"
#include "platform/MessageBox.h"

namespace {

// Asks whether to go on after a failed command line; true for Yes.
bool AskContinue(int line, const char* name, const char* number)
{
    char text[256];
    std::snprintf(text, sizeof(text),
                  "Error of executing command.\nCheck hardware, motor, power on state, etc.\n"
                  "Line : #%d \t%s%s\n\nContinue script executing?",
                  line, name, number);
    return host::MessageBox(text, host::MB_YESNO | host::MB_ICONHAND) == host::IDYES;
}

}  // namespace

bool CTarvixMaster::ExecuteScriptFile(FILE* file, CProgInterface* progress)
{
    if (!file)
        return false;
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    long length = std::ftell(file);
    if (length < 0 || length > INT_MAX || std::fseek(file, 0, SEEK_SET) != 0)
        return false;

    CVcmFile script;
    script.Load(static_cast<int>(length), file);

    DriveVersion version;
    if (!script.ReadVersionLine(&version))
        return false;

    char fileVersion[kVersionTextSize] = {};
    FormatVersionText(&version, fileVersion);
    // Family, kind and the first three numbers decide; the drive may add more.
    if (strncasecmp(GetVersion(), fileVersion, std::strlen(fileVersion)) != 0) {
        char text[256];
        std::snprintf(text, sizeof(text),
                      "Incorrect Driver Software Version in script file\n"
                      "Connected driver version: %s\nDriver version in script file: %s",
                      GetVersion(), fileVersion);
        host::MessageBox(text, host::MB_ICONHAND);
        return false;
    }

    InvalidateParameterCache();

    bool result = true;
    while (!script.AtEnd()) {
        if (progress && progress->CheckCancel()) {
            result = false;
            break;
        }
        const char* token = script.NextCommand();
        if (!token)
            break;
        const int line = script.GetLine();
        if (*token == '\0') {
            // The lexer cannot move past this place: neither a command nor
            // white space. Sending anything here would be guesswork.
            char text[256];
            std::snprintf(text, sizeof(text), "Unreadable text in script file.\nLine : #%d", line);
            host::MessageBox(text, host::MB_ICONHAND);
            result = false;
            break;
        }
        char name[3] = {};
        std::strncpy(name, token, 2);

        char status[256];
        VcmResult r;
        const char* number = script.NextNumber();
        std::string numberText = number ? number : "";
        if (number) {
            std::snprintf(status, sizeof(status), "Line : #%d\t%s%s", line, name,
                          numberText.c_str());
            if (progress)
                progress->SetStatus(status);
            // strtol saturates where atol's overflow would be undefined.
            long value = std::strtol(numberText.c_str(), nullptr, 10);
            if (value > INT_MAX)
                value = INT_MAX;
            if (value < INT_MIN)
                value = INT_MIN;
            r = SendCommandValue(name, static_cast<int>(value));
        } else {
            std::snprintf(status, sizeof(status), "Line : #%d\t%s", line, name);
            if (progress)
                progress->SetStatus(status);
            r = SendCommand(name);
        }
        if (r == kVcmAborted) {
            // The user asked the application to close: no further commands.
            result = false;
            break;
        }
        if (r != kVcmOk && !AskContinue(line, name, numberText.c_str())) {
            result = false;
            break;
        }
        if (progress)
            progress->StepIt();
    }

    // The script's own "MA" and "MD" lines have moved the drive's pointer.
    ForgetCurrentAddress();
    return result;
}
