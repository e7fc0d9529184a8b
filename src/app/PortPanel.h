#pragma once

#include "PanelLinks.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QPushButton;

namespace keytoner {

class FormTone;
class PortChooser;
class SerialPortList;

// The chooser buttons beside the two port fields, and the fields' tooltips that say what each
// number means now. Binding a number writes its comN link in the program folder, the one place
// where bindings live.
class PortPanel : public QObject {
    Q_OBJECT
public:
    PortPanel(FormTone &form, const PortControls &programming, const PortControls &ptt);

    // Opens the chooser for `field` without waiting for it; the choice applies when it closes.
    void choosePort(QLineEdit *field);
    void refreshTooltips();
    PortChooser *chooser() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply(QLineEdit *field, int number, const QString &target);
    void refreshTooltip(QLineEdit *field, const QString &baseTip);
    QPushButton *buttonOf(QLineEdit *field) const;

    FormTone &form_;
    PortControls programming_;
    PortControls ptt_;
    SerialPortList &list_;
    QString prgTip_;
    QString pttTip_;
    QPointer<PortChooser> chooser_;
};

} // namespace keytoner
