#include "FTDIthread.h"

#include "FTDIchip.h"

#include <QCoreApplication>
#include <QObject>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <system_error>

#if defined(__SANITIZE_THREAD__)
#define QEV_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QEV_THREAD_SANITIZER 1
#endif
#endif

#ifdef QEV_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

QObject *ftdiWindow = nullptr;
thashtable *ftdiRegistry = nullptr;

namespace
{

// A pass waits at most this long for the library's event, which bounds the
// delay of send-queue-empty and error messages.
constexpr std::uint32_t PassWaitMs = 10;

// Qt hands a posted event to the receiving thread under a lock of its own,
// which ThreadSanitizer cannot see when Qt is not built for it. These two
// mark that hand-over for it; other builds compile nothing.
void markPosted([[maybe_unused]] QEvent *event)
{
#ifdef QEV_THREAD_SANITIZER
    __tsan_release(event);
#endif
}

void markReceived([[maybe_unused]] QEvent *event)
{
#ifdef QEV_THREAD_SANITIZER
    __tsan_acquire(event);
#endif
}

// The chip a message is about, when its events are still on; messages for
// a chip whose events were stopped are dropped without touching it.
tftdichip *registeredChip(const ftdiMessage &message)
{
    return static_cast<tftdichip *>(hashFind(*ftdiRegistry, ftdiKey(message.lParam)));
}

// The handlers run on copies, because a handler may replace or clear the
// chip's handlers while it runs.
void dispatchReceiveData(tftdichip &chip)
{
    if (!chip.e_onReceiveData)
        return;
    std::int32_t waiting = 0;
    if (!chip.getReceiveQueueStatus(waiting) || waiting <= 0)
        return;
    const tftdievent_onReceiveData handler = chip.e_onReceiveData;
    handler(&chip, waiting);
}

void dispatchSendQueueEmpty(tftdichip &chip)
{
    if (!chip.e_onSendQueueEmpty)
        return;
    const tftdievent_onSendQueueEmpty handler = chip.e_onSendQueueEmpty;
    handler(&chip);
}

void dispatchError(tftdichip &chip)
{
    if (!chip.e_onError)
        return;
    const tftdievent_onError handler = chip.e_onError;
    handler(&chip);
}

// The hidden dispatch window: the workers' messages reach it through the
// GUI thread's event queue, in the order they were posted.
class ftdiDispatchWindow : public QObject
{
protected:
    bool event(QEvent *event) override
    {
        if (this != ftdiWindow || !ftdiRegistry)
            return QObject::event(event);
        markReceived(event);
        const auto *message = dynamic_cast<const ftdiMessage *>(event);
        if (!message)
            return true; // nothing else is meant for this window
        tftdichip *chip = registeredChip(*message);
        if (!chip)
            return true;
        switch (static_cast<int>(message->type())) {
        case ftdiMsgReceiveData:
            dispatchReceiveData(*chip);
            break;
        case ftdiMsgSendQueueEmpty:
            dispatchSendQueueEmpty(*chip);
            break;
        case ftdiMsgError:
            dispatchError(*chip);
            break;
        default:
            break;
        }
        return true;
    }
};

// A registered chip is alive and has a running worker: its destruction
// would have stopped the worker and unregistered it.
void stopRegisteredWorkers()
{
    for (tlinklist *&head : *ftdiRegistry)
        while (head) {
            const auto *item = static_cast<const thashitem *>(head);
            const std::string key = item->s;
            if (!static_cast<tftdichip *>(item->p)->stopCommEvents())
                hashRemove(*ftdiRegistry, key);
        }
}

} // namespace

qint64 ftdiIdentity(const tftdichip *chip)
{
    return static_cast<qint64>(reinterpret_cast<std::intptr_t>(chip));
}

std::string ftdiKey(qint64 identity)
{
    return std::to_string(identity);
}

ftdiThreadModule::ftdiThreadModule()
{
    if (ftdiWindow || ftdiRegistry)
        throw std::logic_error("ftdiThreadModule: already set up");
    auto window = std::make_unique<ftdiDispatchWindow>();
    window->setObjectName(QStringLiteral("ftdiWindow"));
    auto registry = std::make_unique<thashtable>();
    registry->fill(nullptr);
    ftdiWindow = window.release();
    ftdiRegistry = registry.release();
}

ftdiThreadModule::~ftdiThreadModule()
{
    stopRegisteredWorkers();
    std::unique_ptr<QObject> window(ftdiWindow);
    ftdiWindow = nullptr;
    std::unique_ptr<thashtable> registry(ftdiRegistry);
    ftdiRegistry = nullptr;
    hashClear(*registry);
}

tftdithread::tftdithread(tftdichip &ftdichip, bool CreateSuspended)
    : e_onReceiveData(ftdichip.e_onReceiveData), e_onSendQueueEmpty(ftdichip.e_onSendQueueEmpty),
      e_onError(ftdichip.e_onError), ftdiclass(&ftdichip)
{
    if (!CreateSuspended)
        Start();
}

tftdithread::~tftdithread()
{
    Terminate();
    WaitFor();
}

bool tftdithread::Start()
{
    if (thread_.joinable() || finished_)
        return false;
    try {
        thread_ = std::thread([this] { Execute(); });
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

void tftdithread::Terminate()
{
    terminated_ = true;
}

void tftdithread::WaitFor()
{
    if (thread_.joinable())
        thread_.join();
}

bool tftdithread::Finished() const
{
    return finished_;
}

// At least one pass always runs: termination is tested after each pass.
void tftdithread::Execute()
{
    platform::EventHandle event = nullptr;
    // Without the library's event the passes still keep their pace on an
    // event of the worker's own, instead of polling the library flat out
    // and flooding the GUI thread with messages.
    if (!ftdiclass->createEventObject(fEventAny, event))
        event = platform::CreateEventObject();
    while (runPass(event) && !terminated_) {
    }
    ftdiclass->closeEventObject(event);
    finished_ = true;
}

bool tftdithread::runPass(platform::EventHandle event)
{
    switch (ftdiclass->waitForEventObject(event, PassWaitMs)) {
    case fEventRXChar:
        if (e_onReceiveData)
            post(ftdiMsgReceiveData);
        break;
    case fEventTimedOut: {
        std::int32_t sendQueueBytes = 0;
        if (!ftdiclass->getSendQueueStatus(sendQueueBytes))
            return false;
        // Tested and cleared in one step, so that a write on the owner's
        // thread between the two is not lost.
        if (sendQueueBytes == 0 && ftdiclass->dataHasBeenSent.exchange(false) && e_onSendQueueEmpty)
            post(ftdiMsgSendQueueEmpty);
        break;
    }
    case fEventError:
        if (e_onError)
            post(ftdiMsgError);
        break;
    case fEventModemStatus:
    case fEventAny:
        break;
    }
    return true;
}

void tftdithread::post(int message) const
{
    QObject *window = ftdiWindow;
    if (!window)
        return;
    auto *event = new ftdiMessage(message, ftdiIdentity(ftdiclass));
    markPosted(event);
    QCoreApplication::postEvent(window, event);
}
