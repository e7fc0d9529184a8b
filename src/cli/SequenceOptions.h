#pragma once

#include "tone/SenderTiming.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace keytoner::cli {

// The options and checks that wav and send share.
inline const QString WrongCount = QStringLiteral("Wrong number of arguments.");

struct TimingOptions {
    QCommandLineOption digit{QStringLiteral("digit"),
                             QStringLiteral("Digit duration in ms (default 60, at least 25)."),
                             QStringLiteral("MS"), QStringLiteral("60")};
    QCommandLineOption gap{QStringLiteral("gap"),
                           QStringLiteral("Pause between digits in ms (default 40, at least 15)."),
                           QStringLiteral("MS"), QStringLiteral("40")};
    QCommandLineOption pause{
        QStringLiteral("pause"),
        QStringLiteral("Pause for each blank in ms (default 300, at least 25)."),
        QStringLiteral("MS"), QStringLiteral("300")};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({digit, gap, pause}); }
};

// The timing as the sender uses it: raised to the minimums; a value that is not a number is a
// usage error here (the window would read it leniently).
std::optional<ToneDurations> readTiming(const QCommandLineParser &parser,
                                        const TimingOptions &options, QString &problem);

// The sender gives any other character a silent slot; on a command line that is a typing
// mistake, and the caller would take the sequence as sent.
std::optional<QString> sequenceProblem(const QString &sequence);

} // namespace keytoner::cli
