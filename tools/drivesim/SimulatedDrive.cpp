#include "tools/drivesim/SimulatedDrive.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include "platform/SerialPort.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxIncomingLine = 4096;
constexpr int kBankCount = 16;
constexpr auto kWriteStall = std::chrono::milliseconds(200);
constexpr auto kDefaultFlood = std::chrono::seconds(30);

Clock::duration ByteTime(int rate)
{
    // 8N1: start bit, eight data bits, stop bit.
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / rate));
}

std::string SwapCase(std::string text)
{
    for (char& c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        c = static_cast<char>(std::isupper(u) ? std::tolower(u) : std::toupper(u));
    }
    return text;
}

}  // namespace

const int SimulatedDrive::kBaudRates[12] = {300,   600,   1200,  2400,   4800,   9600,
                                            19200, 38400, 57600, 115200, 128000, 230400};

SimulatedDrive::SimulatedDrive()
{
    SetParameterCount(128);
}

SimulatedDrive::~SimulatedDrive()
{
    Stop();
}

// ---- life cycle -----------------------------------------------------------

bool SimulatedDrive::Start()
{
    std::unique_lock lock(m_mutex);
    if (m_running)
        return true;
    if (m_vanished)
        return false;
    if (!m_masterFd.IsOpen()) {
        host::UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (!master.IsOpen())
            return false;
        char name[128] = {};
        if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0 ||
            ::ptsname_r(master.Get(), name, sizeof name) != 0)
            return false;
        host::UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (!slave.IsOpen())
            return false;
        // The slave raw until the program sets it, or the terminal driver
        // echoes and rewrites line ends. The master side is raw from birth;
        // termios calls on the master fd reach the slave's settings.
        termios tio{};
        if (::tcgetattr(slave.Get(), &tio) == 0) {
            ::cfmakeraw(&tio);
            tio.c_cflag |= CLOCAL | CREAD;
            ::tcsetattr(slave.Get(), TCSANOW, &tio);
        }
        host::SetTerminalLineRate(slave.Get(), m_lineRate);
        m_masterFd = std::move(master);
        m_slaveFd = std::move(slave);
        m_slavePath = name;
    }
    if (!m_wakeFd.IsOpen()) {
        m_wakeFd.Reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
        if (!m_wakeFd.IsOpen())
            return false;
    }
    m_stop = false;
    m_running = true;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void SimulatedDrive::Stop()
{
    {
        std::unique_lock lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_stop = true;
        m_flooding = false;
    }
    m_changed.notify_all();
    uint64_t one = 1;
    if (::write(m_wakeFd.Get(), &one, sizeof one) < 0) {
        // The thread also wakes through the condition; nothing else to do.
    }
    m_thread.join();
    std::unique_lock lock(m_mutex);
    m_running = false;
    m_stop = false;
    uint64_t drain = 0;
    if (::read(m_wakeFd.Get(), &drain, sizeof drain) < 0) {
        // Nothing was pending.
    }
}

bool SimulatedDrive::IsRunning() const
{
    std::unique_lock lock(m_mutex);
    return m_running && !m_vanished;
}

std::string SimulatedDrive::SlavePath() const
{
    std::unique_lock lock(m_mutex);
    return m_slavePath;
}

bool SimulatedDrive::HasVanished() const
{
    std::unique_lock lock(m_mutex);
    return m_vanished;
}

bool SimulatedDrive::WaitStop(Clock::duration duration)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, duration, [this] { return m_stop; });
}

bool SimulatedDrive::PacedWaitUntil(Clock::time_point due)
{
    // A timed sleep wakes late by tens of microseconds, a byte time at high
    // rates: sleep most of the way, then yield until the moment.
    constexpr auto kSpin = std::chrono::microseconds(200);
    if (due - Clock::now() > kSpin && WaitStop(due - Clock::now() - kSpin))
        return true;
    while (Clock::now() < due) {
        std::this_thread::yield();
    }
    std::unique_lock lock(m_mutex);
    return m_stop;
}

void SimulatedDrive::VanishNow()
{
    Stop();
    std::unique_lock lock(m_mutex);
    if (m_masterFd.IsOpen())
        Vanish();
}

void SimulatedDrive::Vanish()
{
    std::unique_lock lock(m_mutex);
    m_vanished = true;
    m_flooding = false;
    m_masterFd.Reset();
    m_slaveFd.Reset();
}

// ---- the thread -------------------------------------------------------------

void SimulatedDrive::Run()
{
    std::string partial;
    std::string floodBytes;
    uint8_t buffer[512];
    for (;;) {
        int master;
        bool flooding;
        int timeoutMs = -1;
        {
            std::unique_lock lock(m_mutex);
            if (m_stop || m_vanished)
                return;
            master = m_masterFd.Get();
            if (m_flooding && Clock::now() >= m_floodUntil) {
                m_flooding = false;
                m_changed.notify_all();
            }
            flooding = m_flooding;
            if (flooding) {
                floodBytes = m_floodBytes;
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_floodUntil -
                                                                                  Clock::now());
                timeoutMs = static_cast<int>(std::max<int64_t>(1, left.count()));
            }
        }
        pollfd fds[2] = {{master, static_cast<short>(POLLIN | (flooding ? POLLOUT : 0)), 0},
                         {m_wakeFd.Get(), POLLIN, 0}};
        int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready <= 0)
            continue;
        if (fds[1].revents & POLLIN)
            continue;  // the loop head sees the stop

        if (flooding && (fds[0].revents & POLLOUT)) {
            if (::write(master, floodBytes.data(), floodBytes.size()) < 0) {
                // Full or gone: the next poll tells.
            }
        }
        if (!(fds[0].revents & POLLIN)) {
            if (fds[0].revents & (POLLHUP | POLLERR))
                WaitStop(std::chrono::milliseconds(10));  // cannot happen while the slave is held
            continue;
        }
        ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            continue;

        int rate;
        bool pacing;
        {
            std::unique_lock lock(m_mutex);
            rate = m_lineRate;
            pacing = m_pacing;
            if (host::TerminalLineRate(master) != rate) {
                // A UART at another rate hears framing errors, never a line.
                m_droppedBytes += static_cast<size_t>(n);
                partial.clear();
                continue;
            }
            if (pacing)
                m_rxDone = std::max(Clock::now(), m_rxDone) + n * ByteTime(rate);
        }
        for (ssize_t i = 0; i < n; ++i) {
            char c = static_cast<char>(buffer[i]);
            if (c == '\n') {
                std::string line;
                line.swap(partial);
                {
                    std::unique_lock lock(m_mutex);
                    m_flooding = false;
                    ++m_linesRead;
                }
                if (pacing) {
                    Clock::time_point done;
                    {
                        std::unique_lock lock(m_mutex);
                        done = m_rxDone;
                    }
                    if (PacedWaitUntil(done))
                        return;
                }
                HandleLine(line);
                {
                    std::unique_lock lock(m_mutex);
                    ++m_linesAnswered;
                }
                m_changed.notify_all();
                if (HasVanished())
                    return;
            } else if (c != '\r' && partial.size() < kMaxIncomingLine) {
                partial.push_back(c);
            }
        }
    }
}

SimulatedDrive::Command SimulatedDrive::Parse(const std::string& line)
{
    Command command;
    command.line = line;
    size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    while (i < line.size() && std::isalpha(static_cast<unsigned char>(line[i])))
        command.word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(line[i++]))));
    size_t first = line.find_first_not_of(" \t", i);
    size_t last = line.find_last_not_of(" \t");
    if (first != std::string::npos)
        command.rest = line.substr(first, last - first + 1);
    if (!command.rest.empty()) {
        errno = 0;
        char* end = nullptr;
        long value = std::strtol(command.rest.c_str(), &end, 10);
        if (end && *end == '\0' && errno == 0) {
            command.hasValue = true;
            command.value = value;
        }
    }
    return command;
}

std::optional<SimulatedDrive::Fault> SimulatedDrive::TakeFault(const std::string& word)
{
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (!it->command.empty() && it->command != word)
            continue;
        Fault fault = it->fault;
        if (it->remaining > 0 && --it->remaining == 0)
            m_faults.erase(it);
        return fault;
    }
    return std::nullopt;
}

void SimulatedDrive::HandleLine(const std::string& line)
{
    Command command = Parse(line);
    std::optional<Fault> fault;
    std::string answer;
    int switchToRate = 0;
    int rate = 0;  // the answer still goes out at the rate the line came in
    {
        std::unique_lock lock(m_mutex);
        rate = m_lineRate;
        m_received.push_back(line);
        fault = TakeFault(command.word);
        bool replaced = fault && (fault->kind == FaultKind::RawReply ||
                                  fault->kind == FaultKind::Silent ||
                                  fault->kind == FaultKind::ErrorAnswer ||
                                  fault->kind == FaultKind::NonPrintableFlood ||
                                  fault->kind == FaultKind::LineFlood ||
                                  fault->kind == FaultKind::VanishBeforeEcho);
        if (!replaced)
            answer = Answer(command, switchToRate);
        // Switched already: the next line is read only after this answer is out,
        // and whoever sees the answer sees the new rate.
        if (switchToRate > 0)
            m_lineRate = switchToRate;
    }
    m_changed.notify_all();
    auto sendLine = [this, rate](const std::string& text) { return SendLine(text, rate); };
    auto sendRaw = [this, rate](const std::string& bytes) { return SendRaw(bytes, rate); };

    std::string echo = line;
    if (!fault) {
        sendLine(echo);
        sendLine(answer);
    } else {
        switch (fault->kind) {
        case FaultKind::NoEcho:
            sendLine(answer);
            break;
        case FaultKind::Silent:
            break;
        case FaultKind::WrongEcho:
            if (!fault->text.empty())
                echo = fault->text;
            else if (!echo.empty())
                echo[0] = echo[0] == 'X' ? 'Y' : 'X';
            else
                echo = "X";
            sendLine(echo);
            sendLine(answer);
            break;
        case FaultKind::EchoOtherCase:
            sendLine(SwapCase(echo));
            sendLine(answer);
            break;
        case FaultKind::EchoCutShort:
            sendLine(echo.substr(0, std::max<size_t>(1, echo.size() / 2)));
            sendLine(answer);
            break;
        case FaultKind::EchoLonger:
            sendLine(echo + "0");
            sendLine(answer);
            break;
        case FaultKind::EmptyLineBeforeEcho:
            sendLine("");
            sendLine(echo);
            sendLine(answer);
            break;
        case FaultKind::NoAnswer:
            sendLine(echo);
            break;
        case FaultKind::ErrorAnswer:
            sendLine(echo);
            sendLine(fault->text.empty() ? "Error 1" : fault->text);
            break;
        case FaultKind::Answer:
            sendLine(echo);
            sendLine(fault->text);
            break;
        case FaultKind::RawReply:
            sendRaw(fault->text);
            break;
        case FaultKind::Garbage:
            sendRaw(std::string("\x01\xff", 2) + echo + std::string("\x00\x80\x1b\r\n", 5));
            sendRaw(std::string("\x7f\xfe", 2) + answer + std::string("\x00\x07\xc3\r\n", 5));
            break;
        case FaultKind::LongAnswer:
            sendLine(echo);
            {
                std::string text(fault->length, 'L');
                for (size_t i = 0; i < text.size(); ++i)
                    text[i] = static_cast<char>('A' + i % 26);
                sendLine(text);
            }
            break;
        case FaultKind::SlowAnswer:
            sendLine(echo);
            if (WaitStop(fault->delay))
                return;
            sendLine(answer);
            break;
        case FaultKind::NonPrintableFlood:
        case FaultKind::LineFlood: {
            std::unique_lock lock(m_mutex);
            m_flooding = true;
            // No flood line, whole or cut, begins a line of the program's own
            // commands in any case: no echo can match it.
            m_floodBytes = fault->kind == FaultKind::LineFlood
                               ? std::string("FLOOD 0123456789 flood 0123456789 FLOOD\r\n")
                               : std::string(256, '\0');
            m_floodUntil = Clock::now() + (fault->delay.count() > 0
                                               ? Clock::duration(fault->delay)
                                               : Clock::duration(kDefaultFlood));
            break;
        }
        case FaultKind::VanishBeforeEcho:
            Vanish();
            return;
        case FaultKind::VanishAfterEcho:
            sendLine(echo);
            Vanish();
            return;
        }
    }
}

// ---- commands ---------------------------------------------------------------

std::string SimulatedDrive::ReadParameter(uint16_t address) const
{
    const int32_t* value = SlotIfAny(address);
    return value ? std::to_string(*value) : std::string("Error: address out of range");
}

std::string SimulatedDrive::Answer(const Command& command, int& switchToRate)
{
    if (command.word.empty() && command.rest.empty())
        return "Error: no command";
    auto hook = m_hooks.find(command.word);
    if (hook != m_hooks.end() && hook->second)
        return hook->second(command);

    if (command.word == "VR" && command.rest.empty())
        return m_versionText;
    if (command.word == "MA") {
        if (!command.hasValue)
            return "Error: address expected";
        if (command.value < 0 || static_cast<size_t>(command.value) >= m_values.size())
            return "Error: address out of range";
        m_address = static_cast<uint16_t>(command.value);
        return std::to_string(m_address);
    }
    if (command.word == "MD") {
        if (!SlotIfAny(m_address))
            return "Error: address out of range";
        if (command.rest.empty()) {
            std::string answer = ReadParameter(m_address);
            ++m_address;
            return answer;
        }
        if (!command.hasValue)
            return "Error: value expected";
        if (m_readOnly.count(m_address))
            return "Error: parameter is read-only";
        if (m_address == m_motorTabParam && (command.value < 0 || command.value >= kBankCount))
            return "Error: motor slot out of range";
        int32_t value = static_cast<int32_t>(std::clamp<long>(command.value, INT32_MIN, INT32_MAX));
        if (m_writeHook)
            m_writeHook(m_address, value);
        Slot(m_address) = value;
        if (m_address == m_baudRateParam && value >= 0 && value < 12)
            switchToRate = kBaudRates[value];
        ++m_address;
        return std::to_string(value);
    }
    if (command.rest.empty()) {
        if (command.word == "SP") {
            m_eeprom = m_values;
            m_eepromBanks = m_banks;
            return "OK";
        }
        if (command.word == "LP") {
            m_values = m_eeprom;
            m_banks = m_eepromBanks;
            return "OK";
        }
        if (command.word == "LD") {
            m_values = m_defaults;
            m_banks = m_bankDefaults;
            return "OK";
        }
        if (m_commandWords.count(command.word))
            return "OK";
    }
    return "Error: unknown command";
}

// ---- sending ----------------------------------------------------------------

bool SimulatedDrive::SendLine(const std::string& line, int rate)
{
    {
        std::unique_lock lock(m_mutex);
        m_sent.push_back(line);
    }
    bool sent = SendRaw(line + "\r\n", rate);
    {
        std::unique_lock lock(m_mutex);
        ++m_sentOnWire;
    }
    m_changed.notify_all();
    return sent;
}

bool SimulatedDrive::SendRaw(const std::string& bytes, int rate)
{
    int master;
    bool pacing;
    Clock::duration byteTime = ByteTime(rate > 0 ? rate : 9600);
    {
        std::unique_lock lock(m_mutex);
        master = m_masterFd.Get();
        pacing = m_pacing;
    }
    if (master < 0)
        return false;
    // Paced bytes are due on one schedule that runs on from the end of the last
    // line in either direction, so late wake-ups do not add up.
    Clock::time_point start = Clock::now();
    if (pacing) {
        std::unique_lock lock(m_mutex);
        start = std::max({m_txDone, m_rxDone, start - std::chrono::milliseconds(1)});
        m_txDone = start + static_cast<long>(bytes.size()) * byteTime;
    }
    size_t sent = 0;
    while (sent < bytes.size()) {
        size_t chunk = bytes.size() - sent;
        if (pacing) {
            Clock::time_point due = start + static_cast<long>(sent + 1) * byteTime;
            if (PacedWaitUntil(due))
                return false;
            size_t dueCount =
                static_cast<size_t>((Clock::now() - start) / byteTime);
            chunk = std::clamp<size_t>(dueCount > sent ? dueCount - sent : 1, 1, chunk);
        }
        ssize_t n = ::write(master, bytes.data() + sent, chunk);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        // Nobody reads the other end: give up on this line after a while.
        pollfd fds[2] = {{master, POLLOUT, 0}, {m_wakeFd.Get(), POLLIN, 0}};
        int ready = ::poll(fds, 2, static_cast<int>(kWriteStall.count()));
        if (ready <= 0 || (fds[1].revents & POLLIN))
            return false;
    }
    return true;
}

// ---- parameter table --------------------------------------------------------

int32_t& SimulatedDrive::Slot(uint16_t address)
{
    if (m_motorTabParam >= 0 && address >= m_motorStart && address <= m_motorEnd &&
        static_cast<size_t>(m_motorTabParam) < m_values.size()) {
        int slot = m_values[m_motorTabParam];
        if (slot < 0 || slot >= kBankCount)
            slot = 0;
        return m_banks[slot][address - m_motorStart];
    }
    return m_values[address];
}

const int32_t* SimulatedDrive::SlotIfAny(uint16_t address) const
{
    if (address >= m_values.size())
        return nullptr;
    return &const_cast<SimulatedDrive*>(this)->Slot(address);
}

void SimulatedDrive::ApplyProfile(const DriveProfile& profile)
{
    std::unique_lock lock(m_mutex);
    m_versionText = profile.versionText;
    std::vector<int32_t> values = profile.values;
    if (profile.testArrayStart >= 0 && profile.testArrayLength > 0)
        values.resize(std::max<size_t>(values.size(),
                                       static_cast<size_t>(profile.testArrayStart) +
                                           static_cast<size_t>(profile.testArrayLength)));
    m_values = m_defaults = m_eeprom = values;
    m_readOnly = profile.readOnly;
    m_commandWords = profile.commandWords;
    m_baudRateParam = profile.baudRateParam;
    m_motorTabParam = -1;
    m_banks.clear();
    m_bankDefaults.clear();
    m_eepromBanks.clear();
    m_address = 0;
    lock.unlock();
    SetMotorBanks(profile.motorTabParam, profile.motorStart, profile.motorEnd);
}

void SimulatedDrive::SetVersionText(const std::string& text)
{
    std::unique_lock lock(m_mutex);
    m_versionText = text;
}

std::string SimulatedDrive::GetVersionText() const
{
    std::unique_lock lock(m_mutex);
    return m_versionText;
}

void SimulatedDrive::SetParameterCount(size_t count)
{
    std::unique_lock lock(m_mutex);
    count = std::min<size_t>(count, 0xFFFF);
    m_values.resize(count, 0);
    m_defaults.resize(count, 0);
    m_eeprom.resize(count, 0);
}

size_t SimulatedDrive::GetParameterCount() const
{
    std::unique_lock lock(m_mutex);
    return m_values.size();
}

void SimulatedDrive::SetValue(uint16_t address, int32_t value)
{
    std::unique_lock lock(m_mutex);
    if (address < m_values.size())
        Slot(address) = value;
}

int32_t SimulatedDrive::GetValue(uint16_t address) const
{
    std::unique_lock lock(m_mutex);
    const int32_t* value = SlotIfAny(address);
    return value ? *value : 0;
}

void SimulatedDrive::SetReadOnly(uint16_t address, bool readOnly)
{
    std::unique_lock lock(m_mutex);
    if (readOnly)
        m_readOnly.insert(address);
    else
        m_readOnly.erase(address);
}

void SimulatedDrive::SetBaudRateParam(int address)
{
    std::unique_lock lock(m_mutex);
    m_baudRateParam = address;
}

void SimulatedDrive::SetMotorBanks(int motorTabParam, int motorStart, int motorEnd)
{
    std::unique_lock lock(m_mutex);
    m_motorTabParam = -1;
    m_banks.clear();
    if (motorTabParam < 0 || motorStart < 0 || motorEnd < motorStart ||
        static_cast<size_t>(motorEnd) >= m_values.size() ||
        static_cast<size_t>(motorTabParam) >= m_values.size())
        return;
    std::vector<int32_t> bank(m_values.begin() + motorStart, m_values.begin() + motorEnd + 1);
    m_banks.assign(kBankCount, bank);
    std::vector<int32_t> defaults(m_defaults.begin() + motorStart,
                                  m_defaults.begin() + motorEnd + 1);
    m_bankDefaults.assign(kBankCount, defaults);
    m_eepromBanks = m_banks;
    m_motorTabParam = motorTabParam;
    m_motorStart = motorStart;
    m_motorEnd = motorEnd;
}

int32_t SimulatedDrive::GetBankValue(int slot, uint16_t address) const
{
    std::unique_lock lock(m_mutex);
    if (m_motorTabParam < 0 || slot < 0 || slot >= kBankCount || address < m_motorStart ||
        address > m_motorEnd)
        return GetValue(address);
    return m_banks[slot][address - m_motorStart];
}

void SimulatedDrive::SetBankValue(int slot, uint16_t address, int32_t value)
{
    std::unique_lock lock(m_mutex);
    if (m_motorTabParam < 0 || slot < 0 || slot >= kBankCount || address < m_motorStart ||
        address > m_motorEnd) {
        SetValue(address, value);
        return;
    }
    m_banks[slot][address - m_motorStart] = value;
}

uint16_t SimulatedDrive::GetAddress() const
{
    std::unique_lock lock(m_mutex);
    return m_address;
}

// ---- hooks, rate, faults, record ----------------------------------------------

void SimulatedDrive::SetCommandHook(const std::string& word, CommandHook hook)
{
    std::unique_lock lock(m_mutex);
    m_hooks[word] = std::move(hook);
}

void SimulatedDrive::RemoveCommandHook(const std::string& word)
{
    std::unique_lock lock(m_mutex);
    m_hooks.erase(word);
}

void SimulatedDrive::SetWriteHook(WriteHook hook)
{
    std::unique_lock lock(m_mutex);
    m_writeHook = std::move(hook);
}

void SimulatedDrive::SetLineRate(int baudRate)
{
    std::unique_lock lock(m_mutex);
    m_lineRate = baudRate;
}

int SimulatedDrive::GetLineRate() const
{
    std::unique_lock lock(m_mutex);
    return m_lineRate;
}

int SimulatedDrive::GetHostLineRate() const
{
    std::unique_lock lock(m_mutex);
    return m_masterFd.IsOpen() ? host::TerminalLineRate(m_masterFd.Get()) : 0;
}

size_t SimulatedDrive::GetDroppedByteCount() const
{
    std::unique_lock lock(m_mutex);
    return m_droppedBytes;
}

void SimulatedDrive::SetPacing(bool pace)
{
    std::unique_lock lock(m_mutex);
    m_pacing = pace;
}

void SimulatedDrive::InjectFault(const Fault& fault, int exchanges, const std::string& command)
{
    if (exchanges == 0)
        return;
    std::unique_lock lock(m_mutex);
    m_faults.push_back({fault, exchanges, command});
}

void SimulatedDrive::ClearFaults()
{
    std::unique_lock lock(m_mutex);
    m_faults.clear();
    m_flooding = false;
    m_changed.notify_all();
}

bool SimulatedDrive::IsFlooding() const
{
    std::unique_lock lock(m_mutex);
    return m_flooding;
}

std::vector<std::string> SimulatedDrive::ReceivedLines() const
{
    std::unique_lock lock(m_mutex);
    return m_received;
}

std::vector<std::string> SimulatedDrive::SentLines() const
{
    std::unique_lock lock(m_mutex);
    return m_sent;
}

void SimulatedDrive::ClearRecord()
{
    std::unique_lock lock(m_mutex);
    m_received.clear();
    m_sent.clear();
    m_sentOnWire = 0;
}

bool SimulatedDrive::WaitForReceivedLines(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_received.size() >= count; });
}

bool SimulatedDrive::WaitUntilIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout,
                              [&] { return !m_flooding && m_linesAnswered == m_linesRead; });
}

bool SimulatedDrive::WaitForSentLines(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_sentOnWire >= count; });
}
