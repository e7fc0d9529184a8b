#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QTextEdit;
class QTextDocument;

namespace keytoner {

class MessageBoxes;

// frmIstruzioni: shows the user manual, reloading it each time the window is activated. It has
// no owner: it may stay open after the main window closes, and keeps the program running until
// it is closed too.
class InstructionsWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the manual, creating the window when it does not exist yet, or brings the open
    // window to the front and reloads it.
    static void Apri(MessageBoxes &messages, const QString &NFileIstruzioni,
                     const QString &Titolo = QString());
    // The open window, or null.
    static InstructionsWindow *instance();

    // Where the manual is found: the name as given (a relative name in the current directory),
    // then the program's directory, then the installed data directories (keytoner/ in each).
    // Empty when none holds it.
    static QString locateManual(const QString &name);
    // True when the file system can tell the file's length (an empty file counts).
    static bool FileExists(const QString &path);

    QTextEdit *rtfIstruzioni = nullptr;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override; // Escape closes, as in the Listen window
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    explicit InstructionsWindow(MessageBoxes &messages);

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    // Hides the window, reports the problem and closes the window for good.
    void giveUp(const QString &text);
    double twipsPerPixel() const;

    static QPointer<InstructionsWindow> current_;
    MessageBoxes *messages_;
    QString NFileIstruzioni;
    QTextDocument *manual_ = nullptr;
    bool closing_ = false;
};

} // namespace keytoner
