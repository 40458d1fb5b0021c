#pragma once

#include "D2xxStatus.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace d2xx
{

// Modem status bits as the library reports them.
constexpr std::uint32_t ModemCTS = 0x10;
constexpr std::uint32_t ModemDSR = 0x20;
constexpr std::uint32_t ModemRI = 0x40;
constexpr std::uint32_t ModemDCD = 0x80;

// One open serial terminal in raw mode: line settings through termios, reads
// and writes bounded by a time-out on the monotonic clock. Every operation
// returns a status of D2xxStatus.h and never throws.
//
// The kernel's terminal holds at most 4 KiB of received bytes and, without
// flow control, drops what comes beyond; the FTDI driver keeps a far larger
// queue of its own, and a caller that waits for a long reply to fall silent
// before it reads relies on that. So each look at the receive queue moves
// what the kernel holds into a queue of ours, and reads take from it first.
// The queue is guarded: the receive-event worker looks at it from its own
// thread.
class SerialLine
{
public:
    using Milliseconds = std::chrono::milliseconds;

    // Opens the terminal for exclusive use where the device allows it, in raw
    // mode at 9600 baud, 8 data bits, 1 stop bit, no parity, no flow control.
    static Status open(const std::filesystem::path &tty, std::unique_ptr<SerialLine> &line);

    ~SerialLine();
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    int descriptor() const { return fd_; }

    // Any rate the driver accepts, the non-standard ones included.
    Status setBaudRate(std::uint32_t baudRate);
    // wordLength 7 or 8; stopBits 0 (one) or 2 (two); parity 0 none, 1 odd,
    // 2 even, 3 mark, 4 space.
    Status setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity);
    // 0x0000 none, 0x0100 RTS/CTS, 0x0400 XON/XOFF with the two characters.
    // DTR/DSR (0x0200) has no termios equivalent and is refused.
    Status setFlowControl(std::uint16_t flowControl, std::uint8_t xonChar, std::uint8_t xoffChar);
    // Bit 1 discards the bytes received and not read, bit 2 those not sent.
    Status purge(std::uint32_t mask);
    Status bytesWaiting(std::uint32_t &count);
    Status bytesToSend(std::uint32_t &count) const;
    Status modemStatus(std::uint32_t &status) const;
    Status setDtr(bool on);
    Status setRts(bool on);
    // The driver's low-latency mode (the chip then delivers within a
    // millisecond or two) on or off.
    Status setLowLatency(bool on);

    // Reads until count bytes have come or the time-out has passed; a time-out
    // is no failure, done then tells how many came. A time-out of 0 takes
    // what is there.
    Status read(void *buffer, std::uint32_t count, std::uint32_t &done, Milliseconds timeout);
    // Writes until every byte is out or the time-out has passed.
    Status write(const void *buffer, std::uint32_t count, std::uint32_t &done, Milliseconds timeout);

private:
    explicit SerialLine(int fd) : fd_(fd) {}
    Status setModemLine(int line, bool on);
    // Both with receivedMutex_ held: moves every byte the kernel holds into
    // received_; takes up to count bytes from its front.
    Status collectReceived();
    std::uint32_t takeReceived(unsigned char *bytes, std::uint32_t count);

    int fd_;
    std::mutex receivedMutex_;
    std::string received_;
};

} // namespace d2xx
