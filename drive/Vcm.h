#pragma once

#include <cstdint>

#include "drive/Rs232CB.h"
#include "platform/NamedMutex.h"

// Result of one command exchange.
using VcmResult = int;
enum : int {
    kVcmOk = 0,
    kVcmNoEcho = 1,            // port closed after it
    kVcmWrongEcho = 2,
    kVcmNoAnswer = 0x10,
    kVcmErrorAnswer = 0x20,
    kVcmAborted = 0x100000,    // the user chose Abort, here or in an earlier exchange;
                               // the application is closing
    kVcmPortNotOpen = 0x10000000,
    kVcmWriteFailed = 0x20000000,  // port closed after it
};

constexpr uint16_t kNoAddress = 0xFFFF;
constexpr int kReadFailed = 0xFFFF;
constexpr unsigned kEchoTimeoutMs = 500;
constexpr unsigned kAnswerTimeoutMs = 5000;

// The drive's ASCII command protocol: command line, echo line, answer line,
// under the named mutex "TARVIX MUTEX", with the drive's address pointer tracked.
class CVcm : public CRs232CB {
public:
    CVcm();
    ~CVcm() override;

    VcmResult SendCommand(const char* command);
    VcmResult SendCommandValue(const char* command, int value);
    // Reads one line into the reply buffer: kVcmOk, kVcmNoAnswer or kVcmErrorAnswer.
    // A line ends at LF or at its 255th character. One not ended in time fails;
    // the bytes it read are gone, those that come later wait for the next read.
    VcmResult ReadLine(unsigned timeoutMs);
    // Bare CR LF, its reply drained, then "VR".
    VcmResult RequestVersion();

    bool SetAddress(uint16_t address);
    int ReadData();  // kReadFailed on failure
    bool WriteData(int value);
    bool WriteParameter(uint16_t address, int value, int* answer);

    const char* GetReply() const { return m_szReply; }
    const char* GetCommandLine() const { return m_szCommand; }
    uint16_t GetCurrentAddress() const { return m_nCurrentAddress; }
    void ForgetCurrentAddress() { m_nCurrentAddress = kNoAddress; }
    bool GetShowErrorBox() const { return m_bShowErrorBox; }
    void SetShowErrorBox(bool show) { m_bShowErrorBox = show; }

protected:
    // One exchange (write, echo, answer), repeated while the user chooses Retry.
    // One that failed leaves the input stale: the next exchange, a Retry
    // included, first drops what the drive still sends for it.
    VcmResult Exchange(const char* command, bool withValue, int value);
    // The answer line of an exchange; one cut at the line's length is none.
    VcmResult ReadAnswer();

    char m_szCommand[256] = {};
    char m_szReply[256] = {};
    host::NamedMutex m_hMutex;
    bool m_bShowErrorBox = false;
    uint16_t m_nCurrentAddress = kNoAddress;
};
