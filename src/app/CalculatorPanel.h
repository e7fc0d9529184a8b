#pragma once

#include <QObject>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace keytoner {

class CommandMemories;
class EntryRules;
class FormTone;

// "Remotely Replace a Command": the calculator and the live displays of its fields. The change
// handlers follow textChanged, so they run for text set by the program as well as typed text.
class CalculatorPanel : public QObject {
    Q_OBJECT
public:
    CalculatorPanel(FormTone &form, const CommandMemories &memories);

    QGroupBox *frame() const { return Frame5_; }
    void installEntryRules(EntryRules &rules);

    void cmdSeqCalc_Click();
    void txtSeqOri_Change();
    void txtSeqNew_Change();
    // The modifier and checksum IDs as their fields on the other tab change.
    void showModifierId(const QString &id);
    void showChecksumId(const QString &id);

signals:
    // The sequence to send that replaces the command.
    void sequenceCalculated(const QString &sequence);

private:
    void createControls();
    // The caption of a sequence label, annotated with the first command memory holding the text.
    void showMatchingMemory(const QLineEdit *field, QLabel *label, const QString &caption,
                            const QString &annotation);

    FormTone &form_;
    const CommandMemories &memories_;
    QGroupBox *Frame5_ = nullptr;
    QLabel *Label6_ = nullptr;
    QLineEdit *txtSeqOri_ = nullptr;
    QLabel *Label8_ = nullptr;
    QLineEdit *txtSeqNew_ = nullptr;
    QPushButton *cmdSeqCalc_ = nullptr;
    QLabel *lblSeqCmd_ = nullptr;
    QLabel *lblCrcTag_ = nullptr;
};

} // namespace keytoner
