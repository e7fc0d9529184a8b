#include "SequenceOptions.h"

#include "common/Dtmf.h"
#include "common/NumberText.h"
#include "tone/SenderTiming.h"

namespace keytoner::cli {

std::optional<ToneDurations> readTiming(const QCommandLineParser &parser,
                                        const TimingOptions &options, QString &problem)
{
    SendTiming timing{
        parser.value(options.digit), parser.value(options.gap), parser.value(options.pause), {}};
    for (const QString *text : {&timing.digit, &timing.gap, &timing.pause}) {
        if (!strictNumber(*text)) {
            problem = QStringLiteral("Not a number of milliseconds: '%1'.").arg(*text);
            return std::nullopt;
        }
    }
    return toneDurations(correctToneTiming(timing));
}

std::optional<QString> sequenceProblem(const QString &sequence)
{
    for (qsizetype k = 0; k < sequence.size(); ++k) {
        const QChar c = sequence[k];
        if (c != u' ' && !isDtmfKey(c.toUpper()))
            return QStringLiteral("\"%1\" at position %2 of the sequence is not a DTMF key "
                                  "(0-9, *, #, A-D in either case) or a blank.")
                .arg(c)
                .arg(k + 1);
    }
    return std::nullopt;
}

} // namespace keytoner::cli
