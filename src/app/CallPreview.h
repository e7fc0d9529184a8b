#pragma once

#include "PanelLinks.h"

#include <QObject>

namespace keytoner {

class FormTone;

// The play button beside the CW call: plays the call in Morse at the speed of txtMorseSpeed,
// with the dit length the board will use, on the tones' sound output. It never keys PTT: the
// preview is for the operator's ears, not for the air.
class CallPreview : public QObject {
    Q_OBJECT
public:
    CallPreview(FormTone &form, const CallControls &controls);

    void cmdPlayCall_Click();

private:
    void updateEnabled();

    FormTone &form_;
    CallControls controls_;
};

} // namespace keytoner
