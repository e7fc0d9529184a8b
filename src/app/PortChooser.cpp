#include "PortChooser.h"

#include "platform/PortBinding.h"
#include "platform/SerialDevice.h"
#include "platform/SerialPortList.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace keytoner {

namespace {

enum Column { NumberColumn, DeviceColumn, DescriptionColumn, MakerColumn, SerialColumn, UsbColumn };

QString numbersText(const QList<int> &numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts.append(QString::number(number));
    return texts.join(QStringLiteral(", "));
}

} // namespace

PortChooser::PortChooser(SerialPortList &list, QString programFolder, int number, bool bindNumbers,
                         QWidget *parent)
    : QDialog(parent), list_(list), programFolder_(std::move(programFolder)),
      bindNumbers_(bindNumbers)
{
    setObjectName(QStringLiteral("PortChooser"));
    setWindowTitle(QStringLiteral("Serial ports"));

    auto *intro = new QLabel(QStringLiteral("&Serial ports on this computer:"), this);
    table_ = new QTreeWidget(this);
    table_->setObjectName(QStringLiteral("portTable"));
    table_->setAccessibleName(QStringLiteral("Serial ports"));
    table_->setAccessibleDescription(
        QStringLiteral("One row per port: bound number, device, description, manufacturer, "
                       "serial number and USB vendor:product"));
    table_->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Device"),
                             QStringLiteral("Description"), QStringLiteral("Manufacturer"),
                             QStringLiteral("Serial number"), QStringLiteral("USB ID")});
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAllColumnsShowFocus(true);
    table_->setAlternatingRowColors(true);
    table_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->header()->setSectionResizeMode(DescriptionColumn, QHeaderView::Stretch);
    table_->header()->setStretchLastSection(false);
    intro->setBuddy(table_);

    auto *numberLabel = new QLabel(QStringLiteral("Port &number:"), this);
    number_ = new QSpinBox(this);
    number_->setObjectName(QStringLiteral("portNumber"));
    number_->setAccessibleName(QStringLiteral("Port number"));
    number_->setRange(1, 16);
    number_->setValue(number);
    numberLabel->setBuddy(number_);
    auto *hint =
        new QLabel(bindNumbers_ ? QStringLiteral("The number stays with this adapter when it is "
                                                 "plugged in again.")
                                : QStringLiteral("The number is the one the system gives the "
                                                 "port."),
                   this);
    hint->setWordWrap(true);
    numberLabel->setVisible(bindNumbers_);
    number_->setVisible(bindNumbers_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("portStatus"));
    status_->setWordWrap(true);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Use this port"));

    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(numberLabel);
    numberRow->addWidget(number_);
    numberRow->addWidget(hint, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addLayout(numberRow);
    layout->addWidget(buttons_);

    setTabOrder(table_, number_);
    setTabOrder(number_, buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTreeWidget::currentItemChanged, this, &PortChooser::updateChoice);
    connect(table_, &QTreeWidget::itemActivated, this, [this] {
        if (buttons_->button(QDialogButtonBox::Ok)->isEnabled())
            accept();
    });
    connect(&list_, &SerialPortList::changed, this, &PortChooser::refresh);
    refresh();
    table_->setFocus();
    // Room for every column of a USB adapter's row without scrolling.
    resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 120, 0)));
}

void PortChooser::refresh()
{
    const QString selected = chosenPort().device;
    rows_ = portRows(list_.ports(), readComBindings(programFolder_));
    table_->clear();
    QTreeWidgetItem *current = nullptr;
    for (const PortRow &row : rows_) {
        const SerialPortEntry &port = row.port;
        auto *item =
            new QTreeWidgetItem(table_, {numbersText(row.numbers), port.device, port.description,
                                         port.manufacturer, port.serialNumber, usbIdText(port)});
        if (!port.stableName.isEmpty())
            item->setToolTip(DeviceColumn, port.stableName);
        if (port.device == selected)
            current = item;
    }
    if (!current)
        current = table_->topLevelItem(0);
    table_->setCurrentItem(current);
    status_->setText(rows_.isEmpty()     ? QStringLiteral("No serial port found. Plug in the "
                                                              "adapter: the list follows.")
                     : rows_.size() == 1 ? QStringLiteral("1 port found.")
                                         : QStringLiteral("%1 ports found.").arg(rows_.size()));
    updateChoice();
}

void PortChooser::updateChoice()
{
    bool usable = table_->currentItem() != nullptr;
    if (usable && !bindNumbers_) {
        const auto number = comNumberOfName(chosenPort().name);
        usable = number.has_value();
        if (number)
            number_->setValue(*number);
    }
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(usable);
}

SerialPortEntry PortChooser::chosenPort() const
{
    const int row = table_->currentItem() ? table_->indexOfTopLevelItem(table_->currentItem()) : -1;
    return rows_.value(row).port;
}

int PortChooser::chosenNumber() const
{
    return number_->value();
}

} // namespace keytoner
