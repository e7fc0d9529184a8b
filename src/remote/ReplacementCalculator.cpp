#include "ReplacementCalculator.h"

#include "common/Dtmf.h"

namespace keytoner {

namespace {

const QString CrLf = QStringLiteral("\r\n");

using Kind = ReplacementRefusal::Kind;

ReplacementRefusal endsWithModifier(Kind kind, ReplacementField field, const QString &sequence,
                                    int modifierLength)
{
    const bool original = field == ReplacementField::Original;
    const QString name = original ? QStringLiteral("Original") : QStringLiteral("New");
    return {kind,
            RefusalIcon::Information,
            QStringLiteral("Warning"),
            name + QStringLiteral(" Sequence ends with Modifier ID Sequence.") + CrLf +
                QStringLiteral("Please modify ") + name + QStringLiteral(" Sequence."),
            field,
            int(sequence.size()) - modifierLength,
            modifierLength};
}

// A field whose text holds something other than the sixteen digits: only pasting can put it
// there, and its characters have no code, so the checksum would be meaningless.
std::optional<ReplacementRefusal> notDtmf(ReplacementField field, const QString &name,
                                          const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (isDtmfKey(text.at(i)))
            continue;
        return ReplacementRefusal{Kind::NotDtmf,
                                  RefusalIcon::Exclamation,
                                  QStringLiteral("DTMF"),
                                  name +
                                      QStringLiteral(" contains characters that are not DTMF "
                                                     "digits.") +
                                      CrLf +
                                      QStringLiteral("Only 0-9, *, #, A, B, C and D can be used."),
                                  field,
                                  i,
                                  1};
    }
    return std::nullopt;
}

// The last m characters of a sequence shorter than m are the whole sequence, which then
// differs from the modifier ID, so a short sequence never matches.
bool endsWith(const QString &sequence, const QString &modifierId)
{
    return sequence.size() >= modifierId.size() && sequence.endsWith(modifierId);
}

} // namespace

std::optional<QString> ChecksumSuffix(const QString &checksumId, int sum)
{
    if (sum < 0 || sum > 255)
        return std::nullopt;
    return checksumId + DigitTable.at(sum / 16) + DigitTable.at(sum % 16);
}

ReplacementResult calculateReplacement(const ReplacementRequest &r)
{
    if (r.modifierId.isEmpty() || r.checksumId.isEmpty())
        return ReplacementRefusal{
            Kind::EmptyIds, RefusalIcon::Exclamation, QStringLiteral("DTMF"),
            QStringLiteral("Modifier ID or Checksum ID cannot be empty.") + CrLf +
                QStringLiteral(
                    "Please insert Modifier ID / Checksum ID in Direct Programming Tab.")};
    const int m = int(r.modifierId.size());
    if (endsWith(r.original, r.modifierId))
        return endsWithModifier(Kind::OriginalEndsWithModifier, ReplacementField::Original,
                                r.original, m);
    if (endsWith(r.newCode, r.modifierId))
        return endsWithModifier(Kind::NewEndsWithModifier, ReplacementField::New, r.newCode, m);
    if (r.newCode.size() < 2 || r.original.isEmpty())
        return ReplacementRefusal{Kind::TooShort, RefusalIcon::Exclamation, QStringLiteral("DTMF"),
                                  QStringLiteral("Original/New Sequence too short.")};
    const std::pair<ReplacementField, QString> fields[] = {
        {ReplacementField::Original, QStringLiteral("Original Sequence")},
        {ReplacementField::ModifierId, QStringLiteral("Modifier ID")},
        {ReplacementField::New, QStringLiteral("New Sequence")},
        {ReplacementField::ChecksumId, QStringLiteral("Checksum ID")}};
    const QString *texts[] = {&r.original, &r.modifierId, &r.newCode, &r.checksumId};
    for (int i = 0; i < 4; ++i) {
        if (auto refusal = notDtmf(fields[i].first, fields[i].second, *texts[i]))
            return *refusal;
    }
    int sum = 0;
    for (QChar digit : r.newCode)
        sum += DigitCode(digit);
    // Every digit has a code of 0 to 15 by now; ten of them cannot leave the two-digit range,
    // but a longer pasted text could.
    const auto suffix = ChecksumSuffix(r.checksumId, sum);
    if (!suffix)
        return ReplacementRefusal{Kind::TooLong, RefusalIcon::Exclamation, QStringLiteral("DTMF"),
                                  QStringLiteral("New Sequence too long for its checksum.")};
    return r.original + r.modifierId + r.newCode + *suffix;
}

} // namespace keytoner
