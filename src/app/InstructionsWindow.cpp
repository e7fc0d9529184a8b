#include "InstructionsWindow.h"

#include "common/NumberText.h"
#include "manual/RtfReader.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace keytoner {

namespace {

const int MajorVersion = 2;
// A manual is a few tens of kilobytes; anything this large is not one.
const qint64 MaxManualBytes = 32 * 1024 * 1024;

QString missingTitle()
{
    return QStringLiteral("Chimecaster v%1r").arg(MajorVersion);
}

} // namespace

QPointer<InstructionsWindow> InstructionsWindow::current_;

InstructionsWindow::InstructionsWindow(MessageBoxes &messages) : messages_(&messages)
{
    setObjectName(QStringLiteral("frmIstruzioni"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Istruzioni:"));
    rtfIstruzioni = new QTextEdit(this);
    rtfIstruzioni->setObjectName(QStringLiteral("rtfIstruzioni"));
    rtfIstruzioni->setReadOnly(true);
    // Read only, but with a keyboard caret: a screen reader reads the manual line by line
    // along it, and the arrow and page keys still scroll.
    rtfIstruzioni->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    rtfIstruzioni->setAccessibleName(QStringLiteral("Manual"));
    const double tpp = twipsPerPixel();
    resize(int(roundHalfEven(8745 / tpp)), int(roundHalfEven(4515 / tpp)));
}

InstructionsWindow *InstructionsWindow::instance()
{
    return current_.data();
}

void InstructionsWindow::Apri(MessageBoxes &messages, const QString &NFileIstruzioni,
                              const QString &Titolo)
{
    // A window that gave up is on its way out, even if not deleted yet: start afresh.
    const bool created = !current_ || current_->closing_;
    if (created) {
        current_ = new InstructionsWindow(messages);
        // Not deleted by the main window: it has none. Make sure it does not outlive Qt.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, current_.data(),
                         &QObject::deleteLater);
    }
    InstructionsWindow *window = current_;
    window->messages_ = &messages;
    window->NFileIstruzioni = NFileIstruzioni;
    window->setWindowTitle(QLatin1Char(' ') + Titolo);
    if (window->isMinimized())
        window->showNormal();
    window->show();
    // Centred once shown, when the size of the window frame is known.
    if (created)
        window->Form_Load();
    window->raise();
    window->activateWindow();
    // The activation reloads too, but a window that is already active, or a desktop that
    // refuses to hand over the focus, sends none.
    window->Form_Activate();
}

QString InstructionsWindow::locateManual(const QString &name)
{
    if (FileExists(name))
        return name;
    if (name.isEmpty() || QDir::isAbsolutePath(name))
        return QString();
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (FileExists(beside))
        return beside;
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                     QStringLiteral("keytoner/") + name);
    return FileExists(installed) ? installed : QString();
}

bool InstructionsWindow::FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

void InstructionsWindow::Form_Load()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const double tpp = twipsPerPixel();
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    const double left = roundHalfEven((area.width() - outer.width()) * tpp / 2.0);
    const double top = roundHalfEven((area.height() - outer.height()) * tpp / 2.0);
    move(area.x() + int(roundHalfEven(left / tpp)), area.y() + int(roundHalfEven(top / tpp)));
}

void InstructionsWindow::Form_Activate()
{
    if (closing_)
        return;
    const QString path = locateManual(NFileIstruzioni);
    if (path.isEmpty()) {
        giveUp(QStringLiteral("Manca il file di help ") + NFileIstruzioni);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        giveUp(QStringLiteral("The help file %1 cannot be read: %2")
                   .arg(NFileIstruzioni, file.errorString()));
        return;
    }
    if (file.size() > MaxManualBytes) {
        giveUp(QStringLiteral("The help file %1 cannot be shown: it is too large to be a manual.")
                   .arg(NFileIstruzioni));
        return;
    }
    RtfDocument loaded = RtfReader::read(file.readAll());
    if (!loaded.document) {
        giveUp(QStringLiteral("The help file %1 cannot be shown: %2.")
                   .arg(NFileIstruzioni, loaded.error));
        return;
    }
    QTextDocument *previous = manual_;
    manual_ = loaded.document.release();
    manual_->setParent(this);
    rtfIstruzioni->setDocument(manual_);
    delete previous;
    rtfIstruzioni->moveCursor(QTextCursor::Start);
    rtfIstruzioni->verticalScrollBar()->setValue(0);
    rtfIstruzioni->horizontalScrollBar()->setValue(0);
}

void InstructionsWindow::giveUp(const QString &text)
{
    closing_ = true;
    hide();
    messages_->show(nullptr, MessageIcon::Critical, missingTitle(), text);
    close();
}

// The viewer fills the client area. The frame and title bar lie outside it here, so no margin is
// taken off for them (it would leave a grey band along the bottom and right edges).
void InstructionsWindow::Form_Resize()
{
    if (isMinimized())
        return;
    rtfIstruzioni->setGeometry(0, 0, std::max(1, width()), std::max(1, height()));
}

bool InstructionsWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void InstructionsWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void InstructionsWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void InstructionsWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

double InstructionsWindow::twipsPerPixel() const
{
    const int dpi = logicalDpiX();
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

} // namespace keytoner
