#include "ProcessLauncher.h"

#include <QDir>

#include <stdexcept>

namespace platform
{

ProcessLauncher::ProcessLauncher(QObject *parent) : QObject(parent)
{
    // Its output goes where the program's own goes, so that a terminal
    // shows what it did.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.setInputChannelMode(QProcess::ForwardedInputChannel);
    connect(&process_, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus) { emit terminated(exitCode); });
}

void ProcessLauncher::setCommandLine(const QString &commandLine)
{
    commandLine_ = commandLine;
}

void ProcessLauncher::setCurrentDirectory(const QString &folder)
{
    currentDirectory_ = folder;
}

void ProcessLauncher::run()
{
    const QDir folder(currentDirectory_.isEmpty() ? QDir::currentPath() : currentDirectory_);
    process_.setWorkingDirectory(folder.path());
    process_.start(folder.absoluteFilePath(commandLine_), {});
    if (!process_.waitForStarted()) {
        const QString message =
            tr("The program \"%1\" cannot be started: %2.")
                .arg(QDir::toNativeSeparators(folder.absoluteFilePath(commandLine_)), process_.errorString());
        throw std::runtime_error(message.toStdString());
    }
}

bool ProcessLauncher::isRunning() const
{
    return process_.state() != QProcess::NotRunning;
}

} // namespace platform
