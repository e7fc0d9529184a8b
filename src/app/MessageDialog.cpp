#include "MessageDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace keytoner {

MessageDialog::MessageDialog(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("Program Parameters"));
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    connect(OKButton, &QPushButton::clicked, this, &MessageDialog::OKButton_Click);
}

void MessageDialog::setInfo(const QString &text) { lblInfo->setText(text); }
QString MessageDialog::info() const { return lblInfo->text(); }

void MessageDialog::setInfoColor(const QColor &color)
{
    QPalette palette = lblInfo->palette();
    palette.setColor(QPalette::WindowText, color);
    lblInfo->setPalette(palette);
}

QColor MessageDialog::infoColor() const { return lblInfo->palette().color(QPalette::WindowText); }

void MessageDialog::setOkVisible(bool visible)
{
    okVisible_ = visible;
    OKButton->setVisible(visible);
}

bool MessageDialog::okVisible() const { return okVisible_; }

void MessageDialog::showModeless() { show(); }

void MessageDialog::OKButton_Click() { hide(); }

void MessageDialog::closeEvent(QCloseEvent *event)
{
    event->ignore();
    OKButton_Click();
}

} // namespace keytoner
