#pragma once

#include "InstrumentEngine.h"
#include "InstrumentOptions.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace d2xx
{
class AnnouncementFile;
}

// A virtual instrument on a pseudo-terminal: it announces itself where the
// D2XX layer looks for devices, answers commands from its herd on a thread
// of its own, and paces its replies like the real line.
class VirtualInstrument
{
public:
    using Log = std::function<void(const QString &line)>;

    VirtualInstrument(InstrumentOptions options, Herd herd, Log log = {});
    ~VirtualInstrument();
    VirtualInstrument(const VirtualInstrument &) = delete;
    VirtualInstrument &operator=(const VirtualInstrument &) = delete;

    // Opens the terminal, announces it and starts answering. False with an
    // explanation when any of that fails.
    bool start(QString &error);
    // Stops answering, removes the announcement and closes the terminal.
    void stop();

    // The terminal the program opens, which changes after a hang-up.
    QString ttyPath() const;
    const InstrumentOptions &options() const { return options_; }

private:
    bool openTerminal(QString &error);
    void closeTerminal();
    void serve(std::stop_token stop);
    void send(const InstrumentAnswer &answer, std::stop_token stop);
    bool writeAll(QByteArrayView bytes, std::stop_token stop);
    // Waits for the given time, or less when asked to stop; false then.
    bool pause(std::chrono::nanoseconds duration, std::stop_token stop);
    void hangUp();
    void log(const QString &line) const;

    InstrumentOptions options_;
    InstrumentEngine engine_;
    Log log_;
    int master_ = -1;
    // The instrument keeps the far end open itself, so that the program
    // closing and reopening it never looks like a hang-up to this side.
    int slave_ = -1;
    int wakeFd_ = -1;
    mutable std::mutex ttyMutex_;
    QString ttyPath_;
    std::unique_ptr<d2xx::AnnouncementFile> announcement_;
    std::jthread thread_;
};
