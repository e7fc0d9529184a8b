#include "TonePlayer.h"

namespace keytoner {

TonePlayer::TonePlayer(AudioSystem &audio, MessageBoxes &messages, Clock &clock)
    : audio_(audio), messages_(messages), clock_(clock)
{
}

TonePlayer::~TonePlayer() = default;

void TonePlayer::SetToneTiming() {}

void TonePlayer::SuonaSequenza(const QString &) {}

} // namespace keytoner
