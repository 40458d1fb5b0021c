#pragma once

#include "EventObject.h"
#include "FTDIdll.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

// A scriptable stand-in for the D2XX library, linked into a test in place
// of the real layer. One process-wide instance serves the 24 functions: it
// logs every call with its arguments, answers from a small model of
// attached devices, open handles, a receive queue and line state, and
// returns the status a test scripted for the function (0 unless told).
//
// Each test calls reset() first. The fake is thread-safe, so a worker
// thread may call the library while the test scripts it; the hook runs
// under the same (recursive) lock and may script the fake itself.
class FakeD2xx
{
public:
    // The non-zero statuses the fake returns by itself.
    static constexpr FT_STATUS InvalidHandle = 1;
    static constexpr FT_STATUS DeviceNotFound = 2;

    struct Device {
        QByteArray serialNumber;
        QByteArray description;
        std::uint32_t type = 5;
        std::uint32_t id = 0x04036001; // vendor 0x0403, product 0x6001
        std::uint32_t flags = 0;
        std::uint32_t locid = 0;
    };

    // One library call: the function's name, the handle it was given (null
    // for the functions without one), its numeric arguments in order, and
    // the text or bytes it was given (the open's serial number or
    // description, the bytes written).
    struct Call {
        QByteArray function;
        FT_HANDLE handle = nullptr;
        QList<std::uint64_t> args;
        QByteArray data;
    };

    static FakeD2xx &instance();

    // Back to no devices, no open handles, empty queues, all statuses 0,
    // no hook, an empty log.
    void reset();

    // Devices the enumeration lists and the open finds, in order.
    void addDevice(const Device &device);
    void removeDevice(const QByteArray &serialNumber);

    // The status a function returns from now on; unknown names abort the
    // test. With a non-zero status the function changes nothing and writes
    // no out-value.
    void setStatus(const char *function, FT_STATUS status);

    // Called at the start of every library call, before the answer is made.
    void setHook(std::function<void(const Call &)> hook);

    // The receive queue that FT_GetQueueStatus, FT_GetStatus and FT_Read
    // serve and FT_Purge empties. Bytes arrive at once, or at a moment of
    // a simulated clock: deliverUntil moves every piece that is due.
    void appendReceived(const QByteArray &bytes);
    void scheduleReceived(std::int64_t atMs, const QByteArray &bytes);
    void deliverUntil(std::int64_t nowMs);
    QByteArray receiveQueue() const;

    // Line state reported by FT_GetStatus and FT_GetModemStatus. The event
    // bits are reported once: FT_GetStatus clears them.
    void setSendQueueBytes(std::uint32_t bytes);
    void setModemStatus(std::uint32_t status);
    void setEventStatus(std::uint32_t bits);

    // Signals the event object FT_SetEventNotification was given, if any.
    // Arriving bytes signal it by themselves when the mask asks for it.
    void signalEvent();
    std::uint32_t eventMask() const;

    QList<Call> calls() const;
    QList<Call> calls(const char *function) const;
    QList<QByteArray> functionNames() const;
    void clearCalls();
    // Every byte written since the reset, in order.
    QByteArray written() const;
    bool isOpen(FT_HANDLE handle) const;
    int openHandleCount() const;

private:
    friend struct FakeD2xxLibrary;

    struct Piece {
        std::int64_t atMs;
        QByteArray bytes;
    };

    FakeD2xx() = default;
    // Logs the call and runs the hook; the scripted status, or
    // InvalidHandle for a handle that is not open when one is required.
    FT_STATUS enter(Call call, bool needsOpenHandle);
    void receive(const QByteArray &bytes);
    const Device *findDevice(const QByteArray &text, std::uint32_t flags) const;

    mutable std::recursive_mutex mutex_;
    QList<Device> devices_;
    std::map<QByteArray, FT_STATUS> statuses_;
    std::function<void(const Call &)> hook_;
    QList<Call> calls_;
    std::map<FT_HANDLE, Device> open_;
    std::uintptr_t nextHandle_ = 0x1000;
    QByteArray receiveQueue_;
    QList<Piece> scheduled_;
    QByteArray written_;
    std::uint32_t sendQueueBytes_ = 0;
    std::uint32_t modemStatus_ = 0;
    std::uint32_t eventStatus_ = 0;
    std::uint32_t eventMask_ = 0;
    platform::EventHandle event_ = nullptr;
};
