#include "PortPanel.h"

#include "FormTone.h"
#include "PortChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/PortBinding.h"
#include "platform/SerialDevice.h"
#include "platform/SerialPort.h"
#include "platform/SerialPortList.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace keytoner {

PortPanel::PortPanel(FormTone &form, const PortControls &programming, const PortControls &ptt)
    : QObject(&form), form_(form), programming_(programming), ptt_(ptt),
      list_(form.platform().serial.portList()), prgTip_(programming.number->toolTip()),
      pttTip_(ptt.number->toolTip())
{
    for (QLineEdit *field : {programming_.number, ptt_.number}) {
        connect(buttonOf(field), &QPushButton::clicked, this, [this, field] { choosePort(field); });
        connect(field, &QLineEdit::textChanged, this, &PortPanel::refreshTooltips);
        field->installEventFilter(this);
    }
    connect(&list_, &SerialPortList::changed, this, &PortPanel::refreshTooltips);
    refreshTooltips();
}

PortChooser *PortPanel::chooser() const
{
    return chooser_;
}

QPushButton *PortPanel::buttonOf(QLineEdit *field) const
{
    return field == programming_.number ? programming_.chooser : ptt_.chooser;
}

void PortPanel::choosePort(QLineEdit *field)
{
    if (chooser_ || !field->isEnabled())
        return;
    const int number = defaultPortNumber(field->text(), readComBindings(form_.programFolder()));
    chooser_ = new PortChooser(list_, form_.programFolder(), number, portsBindByLink(), &form_);
    chooser_->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser_, &QDialog::accepted, this, [this, field] {
        apply(field, chooser_->chosenNumber(), bindingTarget(chooser_->chosenPort()));
    });
    connect(chooser_, &QDialog::finished, buttonOf(field), qOverload<>(&QWidget::setFocus));
    chooser_->setWindowModality(Qt::WindowModal);
    chooser_->open();
}

void PortPanel::apply(QLineEdit *field, int number, const QString &target)
{
    // An exchange or PTT may have taken the port while the dialog was open.
    if (!field->isEnabled())
        return;
    if (portsBindByLink()) {
        if (const auto failure = bindComPort(form_.programFolder(), number, target)) {
            form_.platform().messages.show(&form_, MessageIcon::Critical, QStringLiteral("Warning"),
                                           *failure);
            return;
        }
    }
    field->setText(QString::number(number));
    refreshTooltips();
}

void PortPanel::refreshTooltips()
{
    refreshTooltip(programming_.number, prgTip_);
    refreshTooltip(ptt_.number, pttTip_);
}

void PortPanel::refreshTooltip(QLineEdit *field, const QString &baseTip)
{
    bool ok = false;
    const int number = field->text().trimmed().toInt(&ok);
    QString tip = baseTip;
    if (ok && number >= 1 && number <= 16)
        tip += u'\n' + portMeaning(number, list_.ports(), readComBindings(form_.programFolder()),
                                   standardSerialDevice(number));
    field->setToolTip(tip);
}

bool PortPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::ToolTip)
        refreshTooltip(field, field == programming_.number ? prgTip_ : pttTip_);
    // The chooser may not change a number while its port is held.
    if (field && event->type() == QEvent::EnabledChange)
        buttonOf(field)->setEnabled(field->isEnabled());
    return QObject::eventFilter(watched, event);
}

} // namespace keytoner
