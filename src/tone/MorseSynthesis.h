#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace keytoner {

// The dit length the board keys at a speed in words per minute: 1190 / speed in whole
// milliseconds, rounded as the configuration image stores it (85 ms at 14 WPM, 8 ms at 150).
int morseDitMs(int wpm);

// `text` in Morse as 16-bit mono samples: dits of morseDitMs(wpm), dahs of three dits, one dit
// between elements, three between characters and seven between words (a blank). Prosigns are
// written "<AR>"; characters without a code are skipped. Each element's edges are raised-cosine
// ramps centred on the keying instant (no clicks, and the half-amplitude length is exact). One
// dit of silence leads and trails.
std::vector<int16_t> synthesiseMorse(std::string_view text, int wpm, int sampleRate = 8000,
                                     double toneHz = 800.0);

} // namespace keytoner
