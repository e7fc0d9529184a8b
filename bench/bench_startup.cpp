// Start-up of the main window as the program does it (window built, Form_Load, shown, sound
// check), on the offscreen platform unless another is chosen. Prints the time from the start
// of main to the window being exposed, with its steps, and the peak resident memory.
#include "app/FormTone.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <sys/resource.h>

namespace {

// A message box would block an unattended run: the boxes are dropped, the sound one counted.
class CountingMessages : public keytoner::MessageBoxes {
public:
    void show(QWidget *, keytoner::MessageIcon, const QString &title, const QString &) override
    {
        if (title == QLatin1String("DTMF"))
            ++noSoundCard;
    }
    int noSoundCard = 0;
};

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keytoner"));
    const qint64 appMs = clock.elapsed();

    QTemporaryDir folder; // a first start: the settings file is created
    CountingMessages messages;
    keytoner::Platform &system = keytoner::systemPlatform();
    keytoner::Platform platform{messages, system.files, system.clock, system.audio, system.serial};
    keytoner::FormTone window(platform, folder.path());
    const qint64 builtMs = clock.elapsed();

    window.startUp();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    const qint64 shownMs = clock.elapsed();

    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();

    std::printf("start-up to window shown: %lld ms (QApplication %lld ms, window built %lld ms, "
                "load + show + sound check %lld ms)\n",
                static_cast<long long>(shownMs), static_cast<long long>(appMs),
                static_cast<long long>(builtMs - appMs), static_cast<long long>(shownMs - builtMs));
    std::printf("peak memory: %.1f MiB\n", peakMiB());
    std::printf("sound outputs: %s\n", messages.noSoundCard ? "none (message counted)" : "present");
    return 0;
}
