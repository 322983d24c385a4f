// Feeds arbitrary bytes to the script lexer the way its readers use it: the
// version line, an execution-style command scan, a converter-style scan, and
// a random mix of every reader. Each scan must make progress on every input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "drive/VcmFile.h"
#include "platform/UniqueFile.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Reads the token whole, so a token that is not terminated inside its buffer
// shows up under the address sanitizer.
size_t Touch(const char* token)
{
    return token ? std::strlen(token) : 0;
}

void LoadFrom(CVcmFile& lexer, const uint8_t* data, size_t size)
{
    host::UniqueFile file(size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr);
    lexer.Load(static_cast<int>(size), file.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    const size_t lineFeeds = static_cast<size_t>(std::count(data, data + size, '\n'));
    // Every pass below takes at least one byte per round.
    const size_t maxRounds = size + 2;

    // Execution: version line, then command and optional number; an empty
    // command ends its line.
    {
        CVcmFile lexer;
        LoadFrom(lexer, data, size);
        DriveVersion version;
        if (lexer.ReadVersionLine(&version)) {
            Check(std::strlen(version.text) < sizeof version.text);
            char text[kVersionTextSize];
            FormatVersionText(&version, text);
            Check(std::strlen(text) < sizeof text);
        }
        size_t rounds = 0;
        while (!lexer.AtEnd()) {
            Check(++rounds <= maxRounds);
            const char* command = lexer.NextCommand();
            if (!command)
                break;
            size_t length = Touch(command);
            Check(length <= 2);
            if (length == 0) {
                lexer.SkipLine();
                continue;
            }
            std::string name(command);
            if (const char* number = lexer.NextNumber())
                (void)std::strtol(number, nullptr, 10);
            Check(name.size() == length);
        }
        Check(lexer.GetLine() >= 0 && static_cast<size_t>(lexer.GetLine()) <= lineFeeds);
    }

    // Conversion: pass the header line, then commands with a word behind MA and MD.
    {
        CVcmFile lexer;
        LoadFrom(lexer, data, size);
        Touch(lexer.NextLine());
        size_t rounds = 0;
        while (const char* command = lexer.NextCommand()) {
            Check(++rounds <= maxRounds);
            std::string name(command);
            if (name.empty()) {
                lexer.SkipLine();
                continue;
            }
            if (name == "MA" || name == "MD")
                Touch(lexer.NextWord());
        }
        Check(lexer.AtEnd());
        Check(static_cast<size_t>(lexer.GetLine()) <= lineFeeds);
    }

    // Any order of readers: memory safety only.
    {
        CVcmFile lexer;
        LoadFrom(lexer, data, size);
        for (size_t i = 0; i < std::min<size_t>(size, 512); ++i) {
            switch (data[i] % 11) {
            case 0: Touch(lexer.NextCommand()); break;
            case 1: Touch(lexer.NextNumber()); break;
            case 2: Touch(lexer.NextWord()); break;
            case 3: (void)lexer.NextChar(); break;
            case 4: Touch(lexer.NextLine()); break;
            case 5: Touch(lexer.RestOfLine()); break;
            case 6: lexer.SkipBlanks(); break;
            case 7: lexer.SkipSpaceAndComments(); break;
            case 8: lexer.SkipLine(); break;
            case 9: {
                DriveVersion version;
                lexer.ReadVersionLine(&version);
                Check(std::strlen(version.text) < sizeof version.text);
                break;
            }
            default: (void)lexer.AtEnd(); break;
            }
        }
        Check(static_cast<size_t>(lexer.GetLine()) <= lineFeeds);
    }
    return 0;
}
