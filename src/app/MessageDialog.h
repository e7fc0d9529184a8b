#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace keytoner {

// Dialog, "Program Parameters": a modeless panel where the serial link shows its progress and
// results. Closing it with its close box only hides it; it goes away with its owner and never
// keeps the program running on its own.
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
    // Shows the dialog without blocking, centred over its owner when it was hidden.
    void showModeless();

    void OKButton_Click();
    // Closes the dialog for good, as the end of the program does (the close box only hides it).
    void Form_Unload();

    QLabel *lblInfo = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override; // Form_QueryUnload
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centreOverOwner();
    int twipsToPixels(int twips) const;

    bool okVisible_ = true;
    bool unloading_ = false;
};

} // namespace keytoner
