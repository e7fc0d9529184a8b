#include "CalculatorPanel.h"

#include "FormTone.h"
#include "SenderPanel.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "remote/ReplacementCalculator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace keytoner {

CalculatorPanel::CalculatorPanel(FormTone &form) : QObject(&form), form_(form)
{
    connect(form.cmdSeqCalc, &QPushButton::clicked, this, &CalculatorPanel::cmdSeqCalc_Click);
    connect(form.txtSeqCmd, &QLineEdit::textChanged, this, &CalculatorPanel::txtSeqCmd_Change);
    connect(form.txtCrcTag, &QLineEdit::textChanged, this, &CalculatorPanel::txtCrcTag_Change);
    connect(form.txtSeqOri, &QLineEdit::textChanged, this, &CalculatorPanel::txtSeqOri_Change);
    connect(form.txtSeqNew, &QLineEdit::textChanged, this, &CalculatorPanel::txtSeqNew_Change);
}

void CalculatorPanel::cmdSeqCalc_Click()
{
    const ReplacementResult result =
        calculateReplacement({form_.txtSeqOri->text(), form_.txtSeqCmd->text(),
                              form_.txtSeqNew->text(), form_.txtCrcTag->text()});
    if (const auto *sequence = std::get_if<QString>(&result)) {
        form_.Text1->setText(*sequence);
        form_.sender().Text1_Click();
        return;
    }
    const auto &refusal = std::get<ReplacementRefusal>(result);
    const MessageIcon icon = refusal.icon == RefusalIcon::Information ? MessageIcon::Information
                                                                      : MessageIcon::Exclamation;
    form_.platform().messages.show(&form_, icon, refusal.title, refusal.message);
    QLineEdit *field = nullptr;
    if (refusal.field == ReplacementField::Original)
        field = form_.txtSeqOri;
    else if (refusal.field == ReplacementField::New)
        field = form_.txtSeqNew;
    // The modifier and checksum IDs live on the other tab; the message names them instead.
    if (field && refusal.selectionLength > 0) {
        field->setFocus();
        field->setSelection(refusal.selectionStart, refusal.selectionLength);
    }
}

void CalculatorPanel::txtSeqCmd_Change()
{
    form_.lblSeqCmd->setText(QLatin1Char('[') + form_.txtSeqCmd->text() + QLatin1Char(']'));
}

void CalculatorPanel::txtCrcTag_Change()
{
    if (!checksumCheckHeld_)
        checkChecksumDigit();
    form_.lblCrcTag->setText(QLatin1Char('[') + form_.txtCrcTag->text() + QLatin1Char(']'));
}

void CalculatorPanel::holdChecksumCheck(bool held)
{
    checksumCheckHeld_ = held;
}

void CalculatorPanel::checkChecksumDigit()
{
    const QString digit = form_.txtCrcTag->text();
    if (digit.isEmpty())
        return;
    for (const QLineEdit *memory : form_.txtMem) {
        if (!memory->text().contains(digit))
            continue;
        form_.platform().messages.show(&form_, MessageIcon::None, QStringLiteral("Warning"),
                                       QStringLiteral("Digit ") + digit +
                                           QStringLiteral(" already used in command "
                                                          "sequences.\r\nPlease choose "
                                                          "another digit."));
        // Selected, so that the next key replaces the digit.
        form_.txtCrcTag->setFocus();
        form_.txtCrcTag->selectAll();
        return;
    }
}

void CalculatorPanel::txtSeqOri_Change()
{
    showMatchingMemory(form_.txtSeqOri, form_.Label6, QStringLiteral("Original Sequence"),
                       QStringLiteral(" [cmd "));
}

void CalculatorPanel::txtSeqNew_Change()
{
    showMatchingMemory(form_.txtSeqNew, form_.Label8, QStringLiteral("New Sequence"),
                       QStringLiteral("  [cmd "));
}

void CalculatorPanel::showMatchingMemory(const QLineEdit *field, QLabel *label,
                                         const QString &caption, const QString &annotation)
{
    label->setText(caption);
    const QString text = field->text();
    if (text.isEmpty())
        return;
    for (int i = 0; i < int(form_.txtMem.size()); ++i) {
        if (form_.txtMem[i]->text() == text) {
            label->setText(caption + annotation + QString::number(i) + QLatin1Char(']'));
            return;
        }
    }
}

} // namespace keytoner
