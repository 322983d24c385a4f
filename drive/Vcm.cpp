#include "drive/Vcm.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "platform/Clock.h"
#include "platform/CloseRequest.h"
#include "platform/MessageBox.h"

namespace {

constexpr size_t kMaxLine = 255;

// The value of a decimal answer: leading blanks skipped, saturated to 32 bits
// like the drive's own long.
long ParseAnswer(const char* text)
{
    while (*text && std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return value;
}

std::string FormatMessage(VcmResult result, const char* command, bool withValue, int value,
                          const char* answer)
{
    char text[256] = {};
    switch (result) {
    case kVcmNoEcho:
        std::snprintf(text, sizeof text,
                      "An error is occured at the communication\n which couldn't received echo "
                      "command.\nPort will be disconnected.");
        break;
    case kVcmWrongEcho:
        std::snprintf(text, sizeof text,
                      "An error is occured at the communication\n which received wrong echo.");
        break;
    case kVcmNoAnswer:
        if (withValue)
            std::snprintf(text, sizeof text, "Command \"%s%d\" returned nothing.", command, value);
        else
            std::snprintf(text, sizeof text, "Command \"%s\" returned nothing.", command);
        break;
    case kVcmErrorAnswer:
        if (withValue)
            std::snprintf(text, sizeof text, "Command \"%s%d\" was failed.\n%s", command, value,
                          answer);
        else
            std::snprintf(text, sizeof text, "Command \"%s\" was failed.\n%s", command, answer);
        break;
    case kVcmWriteFailed:
        std::snprintf(text, sizeof text,
                      "An error is occured during writing the command.\nPort will be "
                      "disconnected.");
        break;
    default:
        break;
    }
    return text;
}

}  // namespace

CVcm::CVcm() : m_hMutex("TARVIX MUTEX") {}

CVcm::~CVcm()
{
    Close();
}

VcmResult CVcm::ReadLine(unsigned timeoutMs)
{
    std::memset(m_szReply, 0, sizeof m_szReply);
    const uint32_t t0 = host::TickMs();
    size_t length = 0;
    while (length < kMaxLine) {
        uint8_t byte = 0;
        host::SerialPort::ReadResult read = m_hPort.ReadByte(byte);
        if (read == host::SerialPort::ReadResult::Byte) {
            if (byte >= 0x20 && byte <= 0x7E) {
                m_szReply[length++] = static_cast<char>(byte);
                continue;
            }
            if (byte == '\n' && length > 0)
                break;
            // A line that never ends in anything printable (a stream of NULs,
            // bare LFs) must not hold the reader past its time-out.
        }
        if (static_cast<uint32_t>(host::TickMs() - t0) > timeoutMs)
            return kVcmNoAnswer;
    }
    return strncasecmp(m_szReply, "Error", 5) == 0 ? kVcmErrorAnswer : kVcmOk;
}

VcmResult CVcm::ReadAnswer()
{
    VcmResult result = ReadLine(kAnswerTimeoutMs);
    // A line still going at its last character is no answer: its first digits
    // are no value the drive gave. It fails at once, not waiting for an end
    // that may never come.
    if (result != kVcmNoAnswer && std::strlen(m_szReply) == kMaxLine)
        return kVcmNoAnswer;
    return result;
}

VcmResult CVcm::SendCommand(const char* command)
{
    return Exchange(command, false, 0);
}

VcmResult CVcm::SendCommandValue(const char* command, int value)
{
    return Exchange(command, true, value);
}

VcmResult CVcm::Exchange(const char* command, bool withValue, int value)
{
    // Once the user chose Abort, the rest of the refresh or command that was
    // running ends here: nothing more on the line, no further box.
    if (host::IsCloseRequested())
        return kVcmAborted;
    if (!m_bOpen)
        return kVcmPortNotOpen;
    if (!command)
        command = "";

    int length = withValue
                     ? std::snprintf(m_szCommand, sizeof m_szCommand, "%s%d\r\n", command, value)
                     : std::snprintf(m_szCommand, sizeof m_szCommand, "%s\r\n", command);
    if (length < 0)
        length = 0;
    if (static_cast<size_t>(length) >= sizeof m_szCommand) {
        // A command too long for the line buffer is cut, but still ends its line.
        length = static_cast<int>(sizeof m_szCommand - 1);
        m_szCommand[length - 2] = '\r';
        m_szCommand[length - 1] = '\n';
    }

    for (;;) {
        VcmResult result = kVcmOk;
        m_hMutex.Lock();
        DropStaleInput();
        if (!m_hPort.Write(m_szCommand, static_cast<size_t>(length))) {
            result = kVcmWriteFailed;
        } else {
            m_hPort.Flush();
            VcmResult echo = ReadLine(kEchoTimeoutMs);
            if (echo != kVcmOk && echo != kVcmErrorAnswer)
                result = kVcmNoEcho;
            else if (strncasecmp(m_szCommand, m_szReply, std::strlen(m_szReply)) != 0)
                result = kVcmWrongEcho;
            else
                result = ReadAnswer();
        }
        m_hMutex.Unlock();

        // What follows a late, garbled, missing or over-long line belongs to no
        // later exchange. An "Error" answer came whole and leaves the line clean.
        if (result != kVcmOk && result != kVcmErrorAnswer)
            MarkInputStale();
        if (result == kVcmOk)
            return kVcmOk;

        std::string text = FormatMessage(result, command, withValue, value, m_szReply);
        if (result == kVcmNoEcho || result == kVcmWriteFailed)
            Close();

        if (m_bShowErrorBox) {
            int answer = host::MessageBox(text, host::MB_ABORTRETRYIGNORE | host::MB_ICONEXCLAMATION);
            if (answer == host::IDABORT) {
                host::RequestApplicationClose();
                return kVcmAborted;
            }
            if (answer == host::IDRETRY)
                continue;
        }
        m_nCurrentAddress = kNoAddress;
        return result;
    }
}

VcmResult CVcm::RequestVersion()
{
    static const char kEmptyLine[] = "\r\n";
    DropStaleInput();
    if (m_hPort.Write(kEmptyLine, 2))
        m_hPort.Flush();
    ReadLine(kEchoTimeoutMs);
    return SendCommand("VR");
}

bool CVcm::SetAddress(uint16_t address)
{
    if (address == m_nCurrentAddress)
        return true;
    if (SendCommandValue("MA", address) != kVcmOk)
        return false;
    m_nCurrentAddress = static_cast<uint16_t>(ParseAnswer(m_szReply));
    return m_nCurrentAddress == address;
}

int CVcm::ReadData()
{
    if (SendCommand("MD") != kVcmOk)
        return kReadFailed;
    long value = ParseAnswer(m_szReply);
    if (m_nCurrentAddress != kNoAddress)
        ++m_nCurrentAddress;
    return static_cast<int>(value);
}

bool CVcm::WriteData(int value)
{
    if (SendCommandValue("MD", value) != kVcmOk)
        return false;
    long answer = ParseAnswer(m_szReply);
    if (m_nCurrentAddress != kNoAddress)
        ++m_nCurrentAddress;
    return answer == value;
}

bool CVcm::WriteParameter(uint16_t address, int value, int* answer)
{
    if (!SetAddress(address) || !WriteData(value))
        return false;
    if (answer)
        *answer = static_cast<int>(ParseAnswer(m_szReply));
    return true;
}
