#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

namespace platform
{

// Runs a program of the program folder as a separate process without
// waiting for it, and reports its end as a signal on the GUI thread.
class ProcessLauncher : public QObject
{
    Q_OBJECT
public:
    explicit ProcessLauncher(QObject *parent = nullptr);

    // The bare file name of a program in the working directory.
    void setCommandLine(const QString &commandLine);
    void setCurrentDirectory(const QString &folder);
    QString commandLine() const { return commandLine_; }

    // Throws std::runtime_error naming the program when it cannot be
    // started. terminated() follows once it has ended, whatever its end.
    void run();
    bool isRunning() const;

signals:
    void terminated(int exitCode);

private:
    QString commandLine_;
    QString currentDirectory_;
    QProcess process_;
};

} // namespace platform
