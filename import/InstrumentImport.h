#pragma once

#include "Clock.h"
#include "FTDIdll.h"
#include "QevProtocol.h"

#include <QByteArray>

#include <array>
#include <chrono>
#include <optional>

class ImportHost;
class tftdichip;

namespace store
{
class Connection;
} // namespace store

// The main window's state that an import reads and writes.
struct ImportState {
    std::array<QByteArray, 100> &candidates; // filled by the search
    QByteArray &openedSerial;                // the candidate the import opens
    bool &instrumentPresent;                 // an instrument was identified
    QByteArray &firmware;                    // of the last identified instrument
};

// One complete import: finds the instrument, opens and configures the chip,
// identifies the instrument, downloads the object list and every object's
// measurements, and stores them through the database's two procedures.
// Runs on the GUI thread and lets it handle events between its steps.
//
// An object that cannot be stored ends the import with the database's
// error; a measurement that cannot be decoded or stored is skipped.
class InstrumentImport
{
public:
    static constexpr int DeviceRow = 3;
    static constexpr std::chrono::milliseconds SettleAfterConfiguration{100};
    static constexpr std::chrono::milliseconds MessageTime{2000};

    InstrumentImport(tftdichip &chip, store::Connection &connection, ImportHost &host, ImportState state,
                     platform::Clock &clock = platform::steadyClock());

    void run();

    // "Device not connected" for two seconds, then the progress window goes.
    void showNoDevice();

    // The status the driver gave when the chip would not open, if it would
    // not: it tells a device that refuses this user from one that is gone.
    std::optional<FT_STATUS> openFailure() const { return openFailure_; }

private:
    void openChip();
    void configureChip();
    bool identify();
    // False when the object list is invalid.
    bool downloadObjects();
    void failObjectList();

    tftdichip &chip_;
    store::Connection &connection_;
    ImportHost &host_;
    ImportState state_;
    platform::Clock &clock_;
    std::optional<FT_STATUS> openFailure_;
};
