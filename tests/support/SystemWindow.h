#pragma once

// The real main window on the system's sound and serial ports, for the programs that the sound
// end-to-end test drives as a user would.
#include "app/FormTone.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/QtFileDialogs.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace keytoner::test {

// Message boxes would wait for a click nobody makes: they are printed instead.
class PrintedMessageBoxes : public MessageBoxes {
public:
    void show(QWidget *, MessageIcon, const QString &title, const QString &text) override
    {
        QTextStream(stderr) << "[box] " << title << ": " << text << '\n';
    }
};

// The window in a fresh program folder, started up and on its second tab, where sending and
// listening are.
struct SystemWindow {
    SystemWindow()
    {
        window.startUp();
        ui.SSTab1->setCurrentIndex(1);
    }

    QTemporaryDir folder;
    PrintedMessageBoxes messages;
    QtFileDialogs files;
    SystemClock clock;
    Platform platform{messages, files, clock, systemPlatform().audio, systemPlatform().serial};
    FormTone window{platform, folder.path()};
    const WindowControls ui{window};
};

// Runs `run` on the program's arguments (at least `count`, the program's name counted) and
// exits with its status, 2 on a wrong call. The static destructors are skipped: Qt 6.4 tears
// its PulseAudio connection down racily there.
[[noreturn]] inline void runAndExit(int argc, char *argv[], int count, const char *usage,
                                    int (*run)(const QStringList &))
{
    int status = 2;
    {
        QApplication app(argc, argv);
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() < count)
            QTextStream(stderr) << "usage: " << usage << '\n';
        else
            status = run(arguments);
    }
    std::fflush(stdout);
    std::_Exit(status);
}

} // namespace keytoner::test
