#pragma once

#include <QByteArray>
#include <QString>

// What the import needs from the windows it runs in: the progress window's
// messages, bar and visibility, the message pump, the cursor, the search,
// the instrument labels and the object list.
class ImportHost
{
public:
    enum class Message { Searching, Importing, NoDevice, Error, InstallingDriver };

    virtual ~ImportHost() = default;

    virtual void setMessageVisible(Message message, bool visible) = 0;
    virtual void setProgress(int percent) = 0;
    // Shown on top of all windows, without making it modal.
    virtual void showProgressWindow() = 0;
    virtual void hideProgressWindow() = 0;
    // Lets the GUI handle its pending events once.
    virtual void pumpEvents() = 0;

    virtual void setHourglassCursor() = 0;
    virtual void restoreCursor() = 0;

    // Fills the candidate list and returns the number of candidates; leaves
    // the chip closed.
    virtual int searchDevices() = 0;
    // One command/reply exchange on the open chip; empty on any failure.
    // expectedLength 0: the reply is complete when the line falls silent.
    virtual QByteArray sendCommand(const QByteArray &command, int expectedLength) = 0;
    // The identified instrument's serial number and firmware version, shown
    // beside its name in the current language.
    virtual void showInstrument(const QString &serialNumber, const QString &firmwareVersion) = 0;
    virtual void refreshObjects() = 0;
};
