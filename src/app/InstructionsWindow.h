#pragma once

#include <QString>
#include <QWidget>

namespace keytoner {

class MessageBoxes;

// frmIstruzioni: shows the user manual, reloading it each time the window is activated.
class InstructionsWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the manual, creating the window when it does not exist yet.
    static void Apri(MessageBoxes &messages, const QString &NFileIstruzioni,
                     const QString &Titolo = QString());
    // The open window, or null.
    static InstructionsWindow *instance();

private:
    explicit InstructionsWindow(MessageBoxes &messages);
    MessageBoxes &messages_;
    QString NFileIstruzioni;
};

} // namespace keytoner
