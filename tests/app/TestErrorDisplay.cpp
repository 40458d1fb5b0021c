#include "TestErrorDisplay.h"

#include "DatabaseError.h"
#include "ErrorLog.h"

#include <QTimer>
#include <QtTest>

#include <functional>

using HandlerFault = std::function<void()>;
Q_DECLARE_METATYPE(HandlerFault)

void TestErrorDisplay::init()
{
    shownErrors().clear();
}

void TestErrorDisplay::errorLeavingHandlerIsShownAndProgramGoesOn_data()
{
    QTest::addColumn<HandlerFault>("handlerFault");
    QTest::addColumn<QString>("expected");
    QTest::newRow("database error") << HandlerFault([] {
        throw store::DatabaseError(QStringLiteral("Opening OBIEKTY: lost connection"));
    }) << QStringLiteral("Opening OBIEKTY: lost connection");
    QTest::newRow("file error") << HandlerFault([] {
        throw std::runtime_error("The picture \"/x y/Puste.jpg\" cannot be read");
    }) << QStringLiteral("The picture \"/x y/Puste.jpg\" cannot be read");
    QTest::newRow("anything else") << HandlerFault([] { throw 42; })
                                   << QStringLiteral("An unexpected error stopped the operation.");
}

namespace
{
// A receiver whose handler runs the given steps for every event it gets.
class Handler : public QObject
{
public:
    explicit Handler(HandlerFault fault) : m_fault(std::move(fault)) {}
    int stepsRun = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++stepsRun;
        m_fault();
        ++stepsRun;
        return true;
    }

private:
    HandlerFault m_fault;
};
} // namespace

// Delivered from the event loop as every user event is: the handler stops
// where it failed, the message is shown once, and the loop goes on.
void TestErrorDisplay::errorLeavingHandlerIsShownAndProgramGoesOn()
{
    QFETCH(HandlerFault, handlerFault);
    QFETCH(QString, expected);
    Handler handler(handlerFault);

    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&handler);
    QCOMPARE(shownErrors(), QStringList{expected});
    QCOMPARE(handler.stepsRun, 1);

    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QTRY_VERIFY(timerRan);
    QCOMPARE(shownErrors().size(), 2);
    QCOMPARE(handler.stepsRun, 2);
}
