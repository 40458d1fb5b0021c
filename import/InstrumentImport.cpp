#include "InstrumentImport.h"

#include "FTDIchip.h"
#include "ImportHost.h"
#include "ImportTransaction.h"
#include "StoredProcedure.h"

#include <QString>

namespace
{

using Message = ImportHost::Message;

// Hides the progress window and gives the cursor back however the import
// ends: normally, early, or through an error.
class ProgressGuard
{
public:
    explicit ProgressGuard(ImportHost &host) : host_(host) { host_.setHourglassCursor(); }
    ~ProgressGuard()
    {
        host_.hideProgressWindow();
        host_.restoreCursor();
    }
    ProgressGuard(const ProgressGuard &) = delete;
    ProgressGuard &operator=(const ProgressGuard &) = delete;

private:
    ImportHost &host_;
};

// The USB transfer sizes the instrument's replies are read with: small, so
// that a short reply is handed on at once.
constexpr std::uint32_t UsbTransferSize = 16;

} // namespace

InstrumentImport::InstrumentImport(tftdichip &chip, store::Connection &connection, ImportHost &host,
                                   ImportState state, platform::Clock &clock)
    : chip_(chip), connection_(connection), host_(host), state_(state), clock_(clock)
{
}

void InstrumentImport::run()
{
    openFailure_.reset();
    host_.setMessageVisible(Message::NoDevice, false);
    host_.setMessageVisible(Message::Importing, false);
    host_.setMessageVisible(Message::Error, false);
    host_.setMessageVisible(Message::InstallingDriver, false);
    host_.setMessageVisible(Message::Searching, true);
    host_.setProgress(0);
    host_.showProgressWindow();
    host_.pumpEvents();

    const int candidates = host_.searchDevices();
    host_.setMessageVisible(Message::Searching, true);
    state_.instrumentPresent = false;
    if (candidates == 0) {
        host_.setMessageVisible(Message::Searching, false);
        showNoDevice();
        return;
    }

    const ProgressGuard guard(host_);
    state_.openedSerial = state_.candidates[0];
    if (chip_.fconnected)
        chip_.closeDevice();
    host_.pumpEvents();
    openChip();
    configureChip();
    clock_.sleep(SettleAfterConfiguration);

    if (!identify())
        return;
    if (!downloadObjects())
        return;
    host_.setProgress(100);
    host_.refreshObjects();
}

void InstrumentImport::showNoDevice()
{
    host_.setMessageVisible(Message::NoDevice, true);
    host_.pumpEvents();
    clock_.sleep(MessageTime);
    host_.hideProgressWindow();
}

// A failed open is not an end in itself: every later chip call fails, the
// identify reply comes back empty and the import ends as "not connected".
// The driver's reason is kept so that the user can be told how to get in.
void InstrumentImport::openChip()
{
    if (chip_.openDeviceBySerial(state_.openedSerial))
        return;
    FT_HANDLE probe = nullptr;
    QByteArray serial = state_.openedSerial;
    const FT_STATUS status = FT_OpenEx(serial.data(), FT_OPEN_BY_SERIAL_NUMBER, &probe);
    if (status == FT_OK)
        FT_Close(probe);
    openFailure_ = status;
}

// The outcomes are not looked at: a chip that did not take a setting shows
// up as an instrument that does not answer.
void InstrumentImport::configureChip()
{
    chip_.resetDevice();
    chip_.setBaudRate(fBaud115200);
    chip_.setDataCharacteristics(fBits8, fStopBits1, fParityNone);
    chip_.setLatencyTimer(2);
    FT_SetUSBParameters(chip_.fhandle, UsbTransferSize, UsbTransferSize);
    chip_.setFlowControl(fFlowNone, 0, 0);
    chip_.setTimeouts(5, 5);
}

bool InstrumentImport::identify()
{
    const QByteArray reply =
        host_.sendCommand(QevProtocol::identifyCommand(), QevProtocol::IdentifyReplyLength);
    host_.setMessageVisible(Message::Searching, false);
    host_.pumpEvents();
    const auto identity = QevProtocol::checkIdentify(reply);
    if (!identity) {
        showNoDevice();
        return false;
    }
    host_.setMessageVisible(Message::Importing, true);
    host_.pumpEvents();
    state_.instrumentPresent = true;
    state_.firmware = identity->firmwareVersion.toLatin1();
    host_.showInstrument(identity->serialNumber, identity->firmwareVersion);
    host_.setProgress(60);
    return true;
}

bool InstrumentImport::downloadObjects()
{
    const QByteArray reply =
        host_.sendCommand(QevProtocol::objectListCommand(), QevProtocol::CollectUntilSilence);
    host_.pumpEvents();
    const auto objects = QevProtocol::splitObjectList(reply);
    if (!objects) {
        failObjectList();
        return false;
    }
    host_.setProgress(80);

    store::StoredProcedure storeObject(connection_, QStringLiteral("P_UPDATEOBIEKT_TEMP"));
    store::StoredProcedure storeMeasurement(connection_, QStringLiteral("P_WYNIKI_UI"));
    // One commit per object: a commit per measurement would make the disk,
    // not the line, the slow part, and an object cut short by a power
    // failure is stored again by the next import.
    store::ImportTransaction transaction(connection_);
    for (const QevProtocol::ObjectEntry &entry : *objects) {
        storeObject.setParam(1, DeviceRow);
        storeObject.setParam(2, int(entry.index));
        storeObject.setParam(3, entry.name);
        storeObject.setParam(4, QString());
        storeObject.setParam(5, QString());
        storeObject.setParam(6, 0);
        storeObject.execute();
        const int objectId = storeObject.outputInteger(7);

        const QByteArray measurements =
            host_.sendCommand(QevProtocol::measurementCommand(entry.index), QevProtocol::CollectUntilSilence);
        host_.pumpEvents();
        for (const QevProtocol::MeasurementEntry &raw : QevProtocol::splitMeasurements(measurements)) {
            const QevProtocol::Measurement measurement = QevProtocol::decodeMeasurement(raw);
            if (!measurement.timestamp)
                continue;
            try {
                storeMeasurement.setParam(1, objectId);
                storeMeasurement.setParam(2, *measurement.timestamp);
                storeMeasurement.setParam(3, 0.0);
                storeMeasurement.setParam(4, double(measurement.result));
                storeMeasurement.setParam(5, int(measurement.dataValue));
                storeMeasurement.setParam(6, 0);
                storeMeasurement.setParam(7, 0);
                storeMeasurement.setParam(8, QString());
                storeMeasurement.execute();
            } catch (const std::exception &) {
                // One measurement the database refuses is dropped; the
                // others of the object are still worth having.
            }
        }
        transaction.commit();
    }
    return true;
}

void InstrumentImport::failObjectList()
{
    host_.setMessageVisible(Message::Importing, false);
    host_.setMessageVisible(Message::Error, true);
    host_.pumpEvents();
    clock_.sleep(MessageTime);
    host_.hideProgressWindow();
    state_.instrumentPresent = false;
    host_.restoreCursor();
}
