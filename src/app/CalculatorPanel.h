#pragma once

#include <QObject>

namespace keytoner {

class FormTone;

// "Remotely Replace a Command": the calculator and the live displays of its fields.
class CalculatorPanel : public QObject {
    Q_OBJECT
public:
    explicit CalculatorPanel(FormTone &form);

    void cmdSeqCalc_Click();
    void txtSeqCmd_Change();
    void txtCrcTag_Change();
    void txtSeqOri_Change();
    void txtSeqNew_Change();

private:
    FormTone &form_;
};

} // namespace keytoner
