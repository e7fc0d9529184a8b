#pragma once

#include "common/Dtmf.h"

#include <QString>
#include <optional>
#include <variant>

namespace keytoner {

// The checksum ID followed by the two digits whose codes are sum / 16 and sum % 16. A sum that
// has no two-digit form (below 0 or above 255) gives nothing.
std::optional<QString> ChecksumSuffix(const QString &checksumId, int sum);

// The four fields of the "Remotely Replace a Command" calculation.
struct ReplacementRequest {
    QString original;   // txtSeqOri
    QString modifierId; // txtSeqCmd
    QString newCode;    // txtSeqNew
    QString checksumId; // txtCrcTag
};

enum class ReplacementField { None, Original, ModifierId, New, ChecksumId };

enum class RefusalIcon { Exclamation, Information };

// Why a calculation was refused, in the words and with the box the window shows. When `field`
// names the original or new sequence, the window focuses it and selects the given range.
struct ReplacementRefusal {
    enum class Kind {
        EmptyIds,
        OriginalEndsWithModifier,
        NewEndsWithModifier,
        TooShort,
        NotDtmf,
        TooLong
    };
    Kind kind;
    RefusalIcon icon;
    QString title;
    QString message; // lines separated by CR LF
    ReplacementField field = ReplacementField::None;
    int selectionStart = 0;
    int selectionLength = 0;
};

// Either the sequence to send or the first refusal, checked in the order the operator sees them.
using ReplacementResult = std::variant<QString, ReplacementRefusal>;

ReplacementResult calculateReplacement(const ReplacementRequest &request);

} // namespace keytoner
