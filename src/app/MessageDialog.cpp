#include "MessageDialog.h"

#include "common/NumberText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace keytoner {

MessageDialog::MessageDialog(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("Program Parameters"));
    setModal(false);
    // Only the main window and the manual keep the program alive.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(twipsToPixels(3960), twipsToPixels(1890));

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setGeometry(twipsToPixels(90), twipsToPixels(120), twipsToPixels(3750),
                         twipsToPixels(1215));
    lblInfo->setWordWrap(true);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo->setAutoFillBackground(true);
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(13.5);
    font.setBold(true);
    lblInfo->setFont(font);
    setInfoColor(Qt::black);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(twipsToPixels(1420), twipsToPixels(1440), twipsToPixels(1215),
                          twipsToPixels(375));
    // Return answers OK wherever the focus is; Escape hides the dialog as the close box does.
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &MessageDialog::OKButton_Click);

    if (owner)
        owner->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MessageDialog::Form_Unload);
}

void MessageDialog::setInfo(const QString &text)
{
    lblInfo->setText(text);
}
QString MessageDialog::info() const
{
    return lblInfo->text();
}

void MessageDialog::setInfoColor(const QColor &color)
{
    QPalette palette = lblInfo->palette();
    palette.setColor(QPalette::WindowText, color);
    lblInfo->setPalette(palette);
}

QColor MessageDialog::infoColor() const
{
    return lblInfo->palette().color(QPalette::WindowText);
}

void MessageDialog::setOkVisible(bool visible)
{
    okVisible_ = visible;
    OKButton->setVisible(visible);
    // The result is ready: keyboard and screen-reader users land on the button that dismisses it.
    if (visible)
        OKButton->setFocus();
}

bool MessageDialog::okVisible() const
{
    return okVisible_;
}

void MessageDialog::showModeless()
{
    unloading_ = false;
    if (!isVisible())
        centreOverOwner();
    show();
    raise();
    activateWindow();
}

void MessageDialog::OKButton_Click()
{
    hide();
}

void MessageDialog::Form_Unload()
{
    unloading_ = true;
    close();
}

void MessageDialog::closeEvent(QCloseEvent *event)
{
    if (unloading_) {
        event->accept();
        return;
    }
    event->ignore();
    OKButton_Click();
}

bool MessageDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The owner going away (closed, not minimized) takes the dialog with it.
    if (watched == parentWidget() && event->type() == QEvent::Hide &&
        !parentWidget()->isVisible() && isVisible())
        Form_Unload();
    return QDialog::eventFilter(watched, event);
}

void MessageDialog::centreOverOwner()
{
    const QWidget *owner = parentWidget();
    if (!owner || !owner->isVisible())
        return;
    const QRect frame = owner->frameGeometry();
    const QSize outer = frameGeometry().size().expandedTo(size());
    move(frame.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

int MessageDialog::twipsToPixels(int twips) const
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return int(roundHalfEven(twips * dpi / 1440.0));
}

} // namespace keytoner
