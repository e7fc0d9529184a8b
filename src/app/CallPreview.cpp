#include "CallPreview.h"

#include "FormTone.h"
#include "common/NumberText.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "tone/MorseSynthesis.h"
#include "tone/Synthesis.h"
#include "tone/TonePlayer.h"

#include <QLineEdit>
#include <QToolButton>

namespace keytoner {

namespace {

constexpr int SlowestWpm = 14;
constexpr int FastestWpm = 150;

} // namespace

CallPreview::CallPreview(FormTone &form, const CallControls &controls)
    : QObject(&form), form_(form), controls_(controls)
{
    connect(controls_.play, &QToolButton::clicked, this, &CallPreview::cmdPlayCall_Click);
    connect(controls_.call, &QLineEdit::textChanged, this, &CallPreview::updateEnabled);
    connect(&form.player(), &TonePlayer::playingChanged, this, &CallPreview::updateEnabled);
    updateEnabled();
}

void CallPreview::updateEnabled()
{
    controls_.play->setEnabled(!controls_.call->text().trimmed().isEmpty() &&
                               !form_.player().IsPlaying());
}

// The speed is checked as PROGRAM checks it, so that what is heard is what the board would send.
void CallPreview::cmdPlayCall_Click()
{
    const QString call = controls_.call->text().trimmed();
    if (call.isEmpty() || form_.player().IsPlaying())
        return;
    const double speed = leadingNumber(controls_.speed->text());
    if (speed < SlowestWpm || speed > FastestWpm) {
        form_.platform().messages.show(&form_, MessageIcon::None, QStringLiteral("Warning"),
                                       QStringLiteral("Please insert a valid Morse Speed"));
        return;
    }
    const QByteArray text = call.toLatin1();
    form_.player().startSamples(synthesiseMorse(std::string_view(text.constData(), text.size()),
                                                int(roundHalfEven(speed)), int(SampleRate)));
}

} // namespace keytoner
