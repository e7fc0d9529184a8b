#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace keytoner {

// Dialog, "Program Parameters": a modeless panel where the serial link shows its progress and
// results. Closing it with its close box only hides it.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit MessageDialog(QWidget *owner);

    void setInfo(const QString &text);
    QString info() const;
    void setInfoColor(const QColor &color);
    QColor infoColor() const;
    void setOkVisible(bool visible);
    bool okVisible() const;
    // Shows the dialog without blocking, centred over its owner.
    void showModeless();

    void OKButton_Click();

    QLabel *lblInfo = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool okVisible_ = true;
};

} // namespace keytoner
