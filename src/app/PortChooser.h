#pragma once

#include "platform/PortBinding.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QSpinBox;
class QTreeWidget;

namespace keytoner {

class SerialPortList;

// Lists the serial ports the system has now, with the numbers bound to them, and lets the user
// pick one and the number to give it. The list follows plugging while the dialog is open.
class PortChooser : public QDialog {
    Q_OBJECT
public:
    // bindNumbers: the number is the user's to choose (bound through comN); otherwise the
    // system's own numbering decides it from the port's name.
    PortChooser(SerialPortList &list, QString programFolder, int number, bool bindNumbers,
                QWidget *parent = nullptr);

    SerialPortEntry chosenPort() const;
    int chosenNumber() const;

    QTreeWidget *table() const { return table_; }
    QSpinBox *numberBox() const { return number_; }
    QDialogButtonBox *buttons() const { return buttons_; }

private:
    void refresh();
    void updateChoice();

    SerialPortList &list_;
    QString programFolder_;
    bool bindNumbers_;
    QList<PortRow> rows_;
    QTreeWidget *table_ = nullptr;
    QSpinBox *number_ = nullptr;
    QLabel *status_ = nullptr;
    QDialogButtonBox *buttons_ = nullptr;
};

} // namespace keytoner
