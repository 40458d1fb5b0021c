#pragma once

#include "EventObject.h"
#include "FTDItypes.h"
#include "bsearchtree.h"

#include <QEvent>
#include <QtGlobal>

#include <atomic>
#include <string>
#include <thread>

class QObject;

// The three messages a worker posts to the dispatch window; each number is
// the type of the posted event.
constexpr int ftdiMsgReceiveData = 0x8001;    // bytes wait in the receive queue
constexpr int ftdiMsgSendQueueEmpty = 0x8002; // the send queue emptied after writes
constexpr int ftdiMsgError = 0x8003;          // the library's status query failed

// One posted message. Its only parameter is the identity of the chip it is
// about, from which the dispatch rebuilds the chip's registry key.
class ftdiMessage : public QEvent
{
public:
    ftdiMessage(int message, qint64 lParam) : QEvent(static_cast<QEvent::Type>(message)), lParam(lParam) {}

    const qint64 lParam;
};

// A chip's identity as a message carries it, and its registry key: the
// decimal text of the identity.
qint64 ftdiIdentity(const tftdichip *chip);
std::string ftdiKey(qint64 identity);

// The hidden object on the GUI thread that receives the workers' messages
// and calls the handlers of registered chips, and the registry of the chips
// whose workers run. Both exist only while an ftdiThreadModule does.
extern QObject *ftdiWindow;
extern thashtable *ftdiRegistry;

// Sets up the dispatch window and the registry, and tears them down. The
// program makes one on the GUI thread, after the application object and
// before any chip starts its events, and keeps it to the end. Tearing down
// stops the workers of chips still registered, so that no worker outlives
// the window it posts to.
class ftdiThreadModule
{
public:
    ftdiThreadModule();
    ~ftdiThreadModule();

    ftdiThreadModule(const ftdiThreadModule &) = delete;
    ftdiThreadModule &operator=(const ftdiThreadModule &) = delete;
};

// The receive-event worker of one chip. It waits on an event object that
// the library signals on received characters, at most 10 ms a pass, and
// posts a message for bytes waiting, for the send queue found empty after
// writes, and for a failed status query. It never calls a handler itself.
// The chip owns it (tftdichip::startCommEvents and stopCommEvents).
class tftdithread
{
public:
    // Copies ftdichip's three handlers: whether a message is posted depends
    // on these copies, whatever the chip's handlers become later. Starts at
    // once unless CreateSuspended.
    tftdithread(tftdichip &ftdichip, bool CreateSuspended);
    // Asks the body to end and waits for it.
    virtual ~tftdithread();

    tftdithread(const tftdithread &) = delete;
    tftdithread &operator=(const tftdithread &) = delete;

    const tftdievent_onReceiveData e_onReceiveData;
    const tftdievent_onSendQueueEmpty e_onSendQueueEmpty;
    const tftdievent_onError e_onError;
    tftdichip *const ftdiclass;

    // False when the worker was started already or the system gives no
    // thread.
    bool Start();
    // Asks the body to end after the pass it is in.
    void Terminate();
    // Returns once the body has ended (at once when it never started).
    void WaitFor();
    // True once the body has ended, also when it ended by itself.
    bool Finished() const;

private:
    void Execute();
    // One wait and what follows from it; false when the worker must end.
    bool runPass(platform::EventHandle event);
    void post(int message) const;

    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
