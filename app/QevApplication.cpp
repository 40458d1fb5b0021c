#include "QevApplication.h"

#include <QMessageBox>

#include <exception>

namespace
{

void showInMessageBox(const QString &message)
{
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), message);
}

QevApplication::ErrorDisplay &errorDisplay()
{
    static QevApplication::ErrorDisplay display = showInMessageBox;
    return display;
}

} // namespace

QevApplication::QevApplication(int &argc, char **argv) : QApplication(argc, argv) {}

void QevApplication::setErrorDisplay(ErrorDisplay display)
{
    errorDisplay() = display ? std::move(display) : ErrorDisplay(showInMessageBox);
}

void QevApplication::showError(const QString &message)
{
    // The message box runs an event loop of its own; an error raised by an
    // event it delivers (a repaint behind the box, say) must not open a
    // second box on top of the first, so it only goes to the log.
    static bool showing = false;
    if (showing) {
        qWarning("%s", qUtf8Printable(message));
        return;
    }
    showing = true;
    errorDisplay()(message);
    showing = false;
}

bool QevApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showError(QString::fromUtf8(error.what()));
    } catch (...) {
        showError(tr("An unexpected error stopped the operation."));
    }
    return false;
}
