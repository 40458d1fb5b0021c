#pragma once

#include <QApplication>
#include <QString>

#include <functional>

// The application object. Database and file errors are thrown where they
// happen and caught here, in one place: the event whose handler threw
// stops, the user sees the error's message, and the program goes on.
class QevApplication : public QApplication
{
    Q_OBJECT
public:
    QevApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // How an error that left a handler is shown: a message box by default.
    // Tests install a display that records the message instead.
    using ErrorDisplay = std::function<void(const QString &message)>;
    static void setErrorDisplay(ErrorDisplay display);
    static void showError(const QString &message);
};
