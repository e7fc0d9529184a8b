#include "CalculatorPanel.h"

#include "Controls.h"
#include "EntryRules.h"
#include "FormTone.h"
#include "PanelLinks.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "remote/ReplacementCalculator.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace keytoner {

CalculatorPanel::CalculatorPanel(FormTone &form, const CommandMemories &memories)
    : QObject(&form), form_(form), memories_(memories)
{
    createControls();
    connect(cmdSeqCalc_, &QPushButton::clicked, this, &CalculatorPanel::cmdSeqCalc_Click);
    connect(txtSeqOri_, &QLineEdit::textChanged, this, &CalculatorPanel::txtSeqOri_Change);
    connect(txtSeqNew_, &QLineEdit::textChanged, this, &CalculatorPanel::txtSeqNew_Change);
}

void CalculatorPanel::createControls()
{
    QWidget *window = &form_;
    Frame5_ = make::groupBox(window, "Frame5", QStringLiteral("Remotely Replace a Command"));
    Label6_ = make::label(window, QStringLiteral("Label6"), QStringLiteral("Original Sequence"));
    txtSeqOri_ =
        make::edit(window, QStringLiteral("txtSeqOri"),
                   QStringLiteral("Sequence to be replaced. Cannot end with Modifier ID"), 10);
    Label8_ = make::label(window, QStringLiteral("Label8"), QStringLiteral("New Sequence"));
    txtSeqNew_ = make::edit(
        window, QStringLiteral("txtSeqNew"),
        QStringLiteral("New Sequence. Cannot contain Checksum ID or end with Modifier ID"), 10);
    cmdSeqCalc_ = make::button(
        window, QStringLiteral("cmdSeqCalc"), QStringLiteral("Calculate Sequence to Send"),
        QStringLiteral("Calculate correct sequence for remotely replace a command."));
    QLabel *Label13 =
        make::label(window, QStringLiteral("Label13"), QStringLiteral("Modifier ID:"));
    lblSeqCmd_ = make::label(window, QStringLiteral("lblSeqCmd"), QStringLiteral("[]"));
    QLabel *Label7 = make::label(window, QStringLiteral("Label7"), QStringLiteral("Checksum ID:"));
    lblCrcTag_ = make::label(window, QStringLiteral("lblCrcTag"), QStringLiteral("[]"));
    const QFont fixed = make::boldFixedFont();
    for (QLineEdit *field : {txtSeqOri_, txtSeqNew_}) {
        field->setFont(fixed);
        make::fitChars(field, 10);
    }
    lblSeqCmd_->setFont(fixed);
    lblCrcTag_->setFont(fixed);
    // The labels grow a "[cmd n]" note while the user types; room for it keeps the fields still.
    const int noted =
        Label6_->fontMetrics().horizontalAdvance(QStringLiteral("Original Sequence [cmd 15]"));
    Label6_->setMinimumWidth(noted);
    Label8_->setMinimumWidth(noted);

    auto *replace = new QGridLayout(Frame5_);
    replace->addWidget(Label6_, 0, 0);
    replace->addWidget(txtSeqOri_, 0, 1);
    replace->addWidget(Label8_, 1, 0);
    replace->addWidget(txtSeqNew_, 1, 1);
    replace->setColumnMinimumWidth(2, 12);
    replace->addWidget(Label13, 0, 3);
    replace->addWidget(lblSeqCmd_, 0, 4);
    replace->addWidget(Label7, 1, 3);
    replace->addWidget(lblCrcTag_, 1, 4);
    replace->addWidget(cmdSeqCalc_, 2, 0, 1, 2);
    replace->setColumnStretch(4, 1);
}

void CalculatorPanel::installEntryRules(EntryRules &rules)
{
    rules.dtmf(txtSeqOri_);
    rules.newSequence(txtSeqNew_, [this] { return memories_.checksumId(); });
}

void CalculatorPanel::cmdSeqCalc_Click()
{
    const ReplacementResult result = calculateReplacement(
        {txtSeqOri_->text(), memories_.modifierId(), txtSeqNew_->text(), memories_.checksumId()});
    if (const auto *sequence = std::get_if<QString>(&result)) {
        emit sequenceCalculated(*sequence);
        return;
    }
    const auto &refusal = std::get<ReplacementRefusal>(result);
    const MessageIcon icon = refusal.icon == RefusalIcon::Information ? MessageIcon::Information
                                                                      : MessageIcon::Exclamation;
    form_.platform().messages.show(&form_, icon, refusal.title, refusal.message);
    QLineEdit *field = nullptr;
    if (refusal.field == ReplacementField::Original)
        field = txtSeqOri_;
    else if (refusal.field == ReplacementField::New)
        field = txtSeqNew_;
    // The modifier and checksum IDs live on the other tab; the message names them instead.
    if (field && refusal.selectionLength > 0) {
        field->setFocus();
        field->setSelection(refusal.selectionStart, refusal.selectionLength);
    }
}

void CalculatorPanel::showModifierId(const QString &id)
{
    lblSeqCmd_->setText(QLatin1Char('[') + id + QLatin1Char(']'));
}

void CalculatorPanel::showChecksumId(const QString &id)
{
    lblCrcTag_->setText(QLatin1Char('[') + id + QLatin1Char(']'));
}

void CalculatorPanel::txtSeqOri_Change()
{
    showMatchingMemory(txtSeqOri_, Label6_, QStringLiteral("Original Sequence"),
                       QStringLiteral(" [cmd "));
}

void CalculatorPanel::txtSeqNew_Change()
{
    showMatchingMemory(txtSeqNew_, Label8_, QStringLiteral("New Sequence"),
                       QStringLiteral("  [cmd "));
}

void CalculatorPanel::showMatchingMemory(const QLineEdit *field, QLabel *label,
                                         const QString &caption, const QString &annotation)
{
    label->setText(caption);
    const QString text = field->text();
    if (text.isEmpty())
        return;
    const QStringList memories = memories_.memories();
    for (int i = 0; i < int(memories.size()); ++i) {
        if (memories[i] == text) {
            label->setText(caption + annotation + QString::number(i) + QLatin1Char(']'));
            return;
        }
    }
}

} // namespace keytoner
