#pragma once

#include <cstdio>
#include <string>

// Text files written by the program keep the bytes of text-mode files of the
// platform it comes from: every LF of a format string goes out as CR LF, so a
// "\r\n" is stored as CR CR LF. Stored scripts and the tools that read them
// rely on these bytes.

// Writes text with that translation; false when a write fails.
bool WriteTextModeString(FILE* file, const char* text);

// printf-style, formatted into a 256-byte buffer first (longer output is cut).
bool WriteTextModeFormat(FILE* file, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Pushes what the stream still buffers to the file; false when any write to the
// stream failed (a full disk shows only here for a file smaller than the buffer).
bool FlushTextModeFile(FILE* file);

// Writes text that stands inside a "//" comment: a CR or LF would end the
// comment and turn the rest into command lines, so each goes out as a blank.
bool WriteTextModeComment(FILE* file, const std::string& text);
