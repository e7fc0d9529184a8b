#pragma once

#include <QStringList>

namespace keytoner::cli {

// Each command takes the command line with the program and command names joined in its first
// element ("keytoner-cli wav", ...), so that QCommandLineParser prints fitting usage.
// Exit status: 0 success, 1 the job failed, 2 usage error.
int runWav(const QStringList &arguments);
int runSend(const QStringList &arguments);
int runCalc(const QStringList &arguments);
int runImage(const QStringList &arguments);
int runDecode(const QStringList &arguments);
int runIdentify(const QStringList &arguments);
int runRead(const QStringList &arguments);
int runProgram(const QStringList &arguments);
int runSimulate(const QStringList &arguments);
int runPorts(const QStringList &arguments);
int runCw(const QStringList &arguments);
int runListen(const QStringList &arguments);

} // namespace keytoner::cli
