#pragma once

#include <QObject>

class QLabel;
class QLineEdit;

namespace keytoner {

class FormTone;

// "Remotely Replace a Command": the calculator and the live displays of its fields. The change
// handlers follow textChanged, so they run for text set by the program as well as typed text.
class CalculatorPanel : public QObject {
    Q_OBJECT
public:
    explicit CalculatorPanel(FormTone &form);

    void cmdSeqCalc_Click();
    void txtSeqCmd_Change();
    void txtCrcTag_Change();
    void txtSeqOri_Change();
    void txtSeqNew_Change();

    // While a whole configuration is put into the fields (READ, Load), the checksum ID would be
    // compared with commands that are about to be replaced; the check waits, and the caller runs
    // it once when every field is in place.
    void holdChecksumCheck(bool held);
    void checkChecksumDigit();

private:
    // The caption of a sequence label, annotated with the first command memory holding the text.
    void showMatchingMemory(const QLineEdit *field, QLabel *label, const QString &caption,
                            const QString &annotation);

    FormTone &form_;
    bool checksumCheckHeld_ = false;
};

} // namespace keytoner
