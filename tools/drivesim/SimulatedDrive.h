#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/UniqueFile.h"
#include "tools/drivesim/DriveProfile.h"

// A motor drive on a pseudo-terminal: the program opens SlavePath() as its
// serial port; the drive answers on the master side in its own thread.
//
// Wire rules: every line received (ended by LF, CR dropped) is echoed, then
// answered with one line; every line sent ends in CR LF.
//   "VR"    -> the version text
//   "MA n"  -> selects address n, answers it
//   "MD"    -> the value at the address, then the address advances
//   "MD v"  -> stores v (read-only: "Error ..."), answers the stored value,
//              then the address advances
//   "LP" "SP" "LD" -> "OK" (parameters from / to the EEPROM copy, defaults)
//   a command word of the profile's page buttons -> "OK"
//   an empty line -> an empty echo and "Error ..."
//   anything else -> "Error ..." unless a command hook answers it
//
// The drive listens at its own line rate and, like a UART, hears nothing but
// noise from a host that set the port to another rate: such bytes are dropped.
class SimulatedDrive {
public:
    // Baud codes 0..11, as written into the baud-rate parameter.
    static const int kBaudRates[12];

    struct Command {
        std::string line;  // as received, CR dropped
        std::string word;  // leading letters, upper case
        std::string rest;  // what follows the word, blanks trimmed
        bool hasValue = false;
        long value = 0;    // the number in rest when hasValue
    };
    // Answers a command word: the answer line without CR LF ("Error ..." fails it).
    using CommandHook = std::function<std::string(const Command&)>;
    // Called before a write is stored; may change the value stored.
    using WriteHook = std::function<void(uint16_t address, int32_t& value)>;

    enum class FaultKind {
        NoEcho,             // the echo is missing (the answer comes alone)
        Silent,             // neither echo nor answer
        WrongEcho,          // echo is `text`, or the line with its first letter changed
        EchoOtherCase,      // echo in swapped case
        EchoCutShort,       // echo of the first half of the line
        EchoLonger,         // echo with "0" appended
        EmptyLineBeforeEcho,
        NoAnswer,           // echo, then nothing
        ErrorAnswer,        // echo, then `text` (default "Error 1"); the command is not done
        Answer,             // echo, then `text` as the answer
        RawReply,           // `text` sent as it stands instead of echo and answer
        Garbage,            // non-printable and high bytes mixed into echo and answer
        LongAnswer,         // echo, then an answer of `length` printable characters
        SlowAnswer,         // echo, then the answer after `delay`
        NonPrintableFlood,  // NUL bytes without end instead of the echo, until the
                            // next line arrives, Stop or `delay` (default 30 s)
        LineFlood,          // the same with printable lines that no echo can match
        VanishBeforeEcho,   // the device disappears when the line has arrived
        VanishAfterEcho,    // the device disappears after the echo
    };
    struct Fault {
        Fault(FaultKind kind_, std::string text_ = {},
              std::chrono::milliseconds delay_ = std::chrono::milliseconds(0), size_t length_ = 300)
            : kind(kind_), text(std::move(text_)), delay(delay_), length(length_)
        {
        }
        FaultKind kind;
        std::string text;
        std::chrono::milliseconds delay;
        size_t length;
    };

    SimulatedDrive();
    ~SimulatedDrive();
    SimulatedDrive(const SimulatedDrive&) = delete;
    SimulatedDrive& operator=(const SimulatedDrive&) = delete;

    // Opens the pseudo-terminal (when not yet open) and starts answering.
    bool Start();
    void Stop();
    bool IsRunning() const;
    // The device the program opens; empty before Start.
    std::string SlavePath() const;
    // True once the device has gone (a vanish fault or VanishNow).
    bool HasVanished() const;
    // The device disappears now, as an unplugged adapter does.
    void VanishNow();

    // Parameter table.
    void ApplyProfile(const DriveProfile& profile);
    void SetVersionText(const std::string& text);
    std::string GetVersionText() const;
    void SetParameterCount(size_t count);  // new parameters are 0
    size_t GetParameterCount() const;
    void SetValue(uint16_t address, int32_t value);  // in the selected motor bank
    int32_t GetValue(uint16_t address) const;
    void SetReadOnly(uint16_t address, bool readOnly = true);
    void SetBaudRateParam(int address);  // -1: none
    // Values of motorStart..motorEnd kept per slot 0..15, chosen by motorTabParam.
    void SetMotorBanks(int motorTabParam, int motorStart, int motorEnd);
    int32_t GetBankValue(int slot, uint16_t address) const;
    void SetBankValue(int slot, uint16_t address, int32_t value);
    uint16_t GetAddress() const;  // the drive's address pointer

    // Hooks. A command hook wins over the built-in commands of the same word.
    void SetCommandHook(const std::string& word, CommandHook hook);
    void RemoveCommandHook(const std::string& word);
    void SetWriteHook(WriteHook hook);

    // Line rate: the drive starts at `baudRate` and switches when a baud code
    // is written into its baud-rate parameter (after sending the answer).
    void SetLineRate(int baudRate);
    int GetLineRate() const;
    // The rate the host has set on its side of the line (0 unknown).
    int GetHostLineRate() const;
    size_t GetDroppedByteCount() const;  // bytes heard at a wrong rate
    // Sleep 10 bits per byte at the line rate, both ways, like a real wire.
    void SetPacing(bool pace);

    // Faults: the command is carried out as usual (its answer may be lost)
    // except with Silent, ErrorAnswer, RawReply, the floods and
    // VanishBeforeEcho. The next `exchanges` lines (of `command` only, when given; -1 =
    // until cleared) get the fault. Faults queue in order.
    void InjectFault(const Fault& fault, int exchanges = 1, const std::string& command = {});
    void ClearFaults();
    // True while a flood is being sent.
    bool IsFlooding() const;
    // Waits until every line the drive has read so far is answered (late
    // answers included) and no flood runs; a line still on its way to the
    // drive is not waited for.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

    // Record of the traffic, lines without CR LF.
    std::vector<std::string> ReceivedLines() const;
    std::vector<std::string> SentLines() const;
    void ClearRecord();
    // Waits until at least `count` lines were received since the last clear.
    bool WaitForReceivedLines(size_t count, std::chrono::milliseconds timeout) const;
    // Waits until at least `count` sent lines are on the wire.
    bool WaitForSentLines(size_t count, std::chrono::milliseconds timeout) const;

private:
    struct PendingFault {
        Fault fault;
        int remaining;
        std::string command;
    };

    void Run();
    void HandleLine(const std::string& line);
    std::string Answer(const Command& command, int& switchToRate);
    std::string ReadParameter(uint16_t address) const;
    std::optional<Fault> TakeFault(const std::string& word);
    bool SendRaw(const std::string& bytes, int rate);
    bool SendLine(const std::string& line, int rate);
    void Vanish();
    bool WaitStop(std::chrono::steady_clock::duration duration);
    bool PacedWaitUntil(std::chrono::steady_clock::time_point due);
    int32_t& Slot(uint16_t address);
    const int32_t* SlotIfAny(uint16_t address) const;
    static Command Parse(const std::string& line);

    mutable std::recursive_mutex m_mutex;  // table, hooks, faults, record
    mutable std::condition_variable_any m_changed;
    std::thread m_thread;
    bool m_stop = false;
    bool m_running = false;
    bool m_vanished = false;
    host::UniqueFd m_masterFd;
    host::UniqueFd m_slaveFd;  // kept open so the master never sees a hang-up
    host::UniqueFd m_wakeFd;   // eventfd that ends the thread's poll
    std::string m_slavePath;

    std::string m_versionText = "Tarvix Bipolar Version 1.2.3";
    std::vector<int32_t> m_values;
    std::vector<int32_t> m_defaults;
    std::vector<int32_t> m_eeprom;
    std::set<uint16_t> m_readOnly;
    std::set<std::string> m_commandWords;
    int m_baudRateParam = -1;
    int m_motorTabParam = -1;
    int m_motorStart = 0;
    int m_motorEnd = -1;
    std::vector<std::vector<int32_t>> m_banks;  // [slot][address - motorStart]
    std::vector<std::vector<int32_t>> m_bankDefaults;
    std::vector<std::vector<int32_t>> m_eepromBanks;
    uint16_t m_address = 0;

    std::map<std::string, CommandHook> m_hooks;
    WriteHook m_writeHook;

    int m_lineRate = 9600;
    bool m_pacing = false;
    bool m_flooding = false;
    std::string m_floodBytes;
    std::chrono::steady_clock::time_point m_floodUntil{};
    size_t m_droppedBytes = 0;
    std::chrono::steady_clock::time_point m_rxDone{};  // paced: the last byte in has arrived
    std::chrono::steady_clock::time_point m_txDone{};  // paced: the last byte out has left

    std::deque<PendingFault> m_faults;
    std::vector<std::string> m_received;
    std::vector<std::string> m_sent;
    size_t m_sentOnWire = 0;  // of m_sent, the lines fully written
    size_t m_linesRead = 0;      // since the start, not cleared with the record
    size_t m_linesAnswered = 0;
};
