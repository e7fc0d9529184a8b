#include "FormTone.h"

#include "CalculatorPanel.h"
#include "CallPreview.h"
#include "ConfigPanel.h"
#include "Controls.h"
#include "EntryRules.h"
#include "HeldMessageBoxes.h"
#include "InstructionsWindow.h"
#include "LinkPanel.h"
#include "ListenWindow.h"
#include "MessageDialog.h"
#include "PortPanel.h"
#include "SenderPanel.h"
#include "WindowAccessibility.h"
#include "common/NumberText.h"
#include "platform/AudioOutput.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace keytoner {

namespace {

constexpr int TwipsPerInch = 1440;
constexpr int SendTab = 1;

} // namespace

FormTone::FormTone(Platform &platform, QString programFolder, QWidget *parent)
    : QWidget(parent), heldMessages_(std::make_unique<HeldMessageBoxes>(platform.messages)),
      windowPlatform_(std::make_unique<Platform>(Platform{
          *heldMessages_, platform.files, platform.clock, platform.audio, platform.serial})),
      platform_(*windowPlatform_), programFolder_(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmTone"));
    setWindowTitle(ProgramTitle + QStringLiteral(" - ") + Credit);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    player_ = std::make_unique<TonePlayer>(platform_.audio, platform_.messages, platform_.clock);
    player_->setMessageParent(this);
    createPanels();
    layoutWindow();
    connectPanels();
    auto *listenKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(listenKey, &QShortcut::activated, this, [this] { openListenWindow(); });
    qApp->installEventFilter(this);
    applyMainWindowAccessibility(*this);
}

// In the order of their frames on the tabs, the order their controls were always created in.
void FormTone::createPanels()
{
    link_ = new LinkPanel(*this);
    config_ = new ConfigPanel(*this, *link_);
    link_->setBoardFields(*config_);
    calculator_ = new CalculatorPanel(*this, *config_);
    sender_ = new SenderPanel(*this, *link_);
    link_->setPttControls(sender_->pttControls());
}

void FormTone::connectPanels()
{
    connect(link_, &LinkPanel::freeChanged, config_, &ConfigPanel::setFilesEnabled);
    connect(config_, &ConfigPanel::modifierIdChanged, calculator_,
            &CalculatorPanel::showModifierId);
    connect(config_, &ConfigPanel::checksumIdChanged, calculator_,
            &CalculatorPanel::showChecksumId);
    connect(calculator_, &CalculatorPanel::sequenceCalculated, sender_, &SenderPanel::setSequence);
    new PortPanel(*this, link_->programPortControls(), sender_->pttControls());
    connect(link_, &LinkPanel::portIdle, this, &FormTone::linkIdle);
    entryRules_ = new EntryRules(this);
    sender_->installEntryRules(*entryRules_);
    config_->installEntryRules(*entryRules_);
    calculator_->installEntryRules(*entryRules_);
    link_->installEntryRules(*entryRules_);
    connect(entryRules_, &EntryRules::memoryDoubleClicked, this, &FormTone::txtMem_DblClick);
    callPreview_ = new CallPreview(*this, config_->callControls());
    connect(sender_, &SenderPanel::listenRequested, this, [this] { openListenWindow(); });
}

FormTone::~FormTone() = default;

QString FormTone::settingsPath() const
{
    return QDir::toNativeSeparators(QDir(programFolder_).filePath(SettingsFile::fileName()));
}

MessageDialog &FormTone::dialog()
{
    if (!dialog_)
        dialog_ = std::make_unique<MessageDialog>(this);
    return *dialog_;
}

ListenWindow &FormTone::openListenWindow()
{
    if (!listen_)
        listen_ = std::make_unique<ListenWindow>(platform_.audio);
    listen_->show();
    listen_->raise();
    listen_->activateWindow();
    return *listen_;
}

// ---------------------------------------------------------------------------------------------
// Controls

void FormTone::layoutWindow()
{
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->addTab(programmingPage(), QStringLiteral("Direct Programming"));
    SSTab1_->addTab(sendPage(), QStringLiteral("Remote Modify / Send"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(SSTab1_);
    adjustSize();
    setFixedSize(sizeHint());
}

QWidget *FormTone::programmingPage()
{
    auto *page = new QWidget;
    auto *side = new QVBoxLayout;
    side->addWidget(config_->filesFrame());
    side->addWidget(config_->fixedFrame());
    side->addWidget(config_->powerOnFrame(), 1);

    auto *middle = new QHBoxLayout;
    middle->addWidget(config_->commandTabs(), 1);
    middle->addLayout(side);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(link_->frame());
    layout->addLayout(middle, 1);
    return page;
}

QWidget *FormTone::sendPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(calculator_->frame());
    layout->addWidget(sender_->frame(), 1);
    return page;
}

void FormTone::txtMem_DblClick(int index)
{
    const QString memory = config_->memory(index);
    if (memory.isEmpty())
        return;
    sender_->setSequence(memory);
    SSTab1_->setCurrentIndex(SendTab);
    sender_->focusSequence();
}

// ---------------------------------------------------------------------------------------------
// Start-up

void FormTone::startUp()
{
    Form_Load();
    show();
    if (!HasSoundCard())
        sender().disableSending();
}

// The tone player fills its frequency table itself when it is created.
void FormTone::Form_Load()
{
    const bool firstStart = !QFileInfo::exists(settingsPath());
    const SettingsValues values = readSettings();
    setPositionTwips(values.left, values.top);
    if (values.tab == 0 || values.tab == 1)
        SSTab1_->setCurrentIndex(values.tab);
    else
        writeDefaultSettings();
    applySendingFields(values);
    sender().Text1_Click();
    config().showDefaultCommands();
    if (values.configFile.isEmpty())
        return;
    // A first start names the default configuration, which nobody has saved yet: nothing has
    // failed for the user, and nothing is remembered.
    if (firstStart && !QFileInfo::exists(values.configFile))
        return;
    // A file that cannot be loaded now (a stick not plugged in) stays the remembered one until
    // another file is loaded or saved.
    if (!config().LoadConfigFile(values.configFile))
        ConfigFilePath = values.configFile;
}

// A missing or unreadable file is replaced by the default line, whose values are used. A file
// that stops early keeps the fields read so far, the rest empty, and is replaced all the same:
// the line written at close will hold the values in use by then.
SettingsValues FormTone::readSettings() const
{
    const SettingsLoad loaded = SettingsFile::load(settingsPath(), programFolder_);
    if (loaded.writeDefaults)
        writeDefaultSettings();
    return loaded.values;
}

void FormTone::applySendingFields(const SettingsValues &values)
{
    sender().setFields({values.sequence, values.digitMs, values.gapMs, values.pauseMs,
                        values.txDelayMs, values.pttPort});
    link().setProgramPort(values.programPort);
}

bool FormTone::HasSoundCard()
{
    if (platform_.audio.outputDeviceCount() > 0)
        return true;
    platform_.messages.show(this, MessageIcon::Critical, QStringLiteral("DTMF"),
                            QStringLiteral("Questo PC non ha schede audio.\r\n"
                                           "Il programma non pu\u00F2 inviare i toni DTMF"));
    return false;
}

// ---------------------------------------------------------------------------------------------
// Position and settings file

double FormTone::twipsPerPixel() const
{
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const double dpi = shown ? shown->logicalDotsPerInchX() : 96.0;
    return TwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

QPoint FormTone::positionTwips() const
{
    const double perPixel = twipsPerPixel();
    return {int(roundHalfEven(pos().x() * perPixel)), int(roundHalfEven(pos().y() * perPixel))};
}

// A position on no screen (a monitor has gone) would leave the window where nobody can reach it.
void FormTone::setPositionTwips(int left, int top)
{
    const double perPixel = twipsPerPixel();
    const QPoint wanted(int(roundHalfEven(left / perPixel)), int(roundHalfEven(top / perPixel)));
    const QRect area(wanted, frameGeometry().size());
    for (const QScreen *candidate : QGuiApplication::screens()) {
        if (candidate->availableGeometry().intersects(area)) {
            move(wanted);
            return;
        }
    }
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        move(primary->availableGeometry().topLeft());
}

SettingsValues FormTone::currentSettings() const
{
    SettingsValues values;
    values.configFile = ConfigFilePath;
    const QPoint position = positionTwips();
    values.left = position.x();
    values.top = position.y();
    values.tab = SSTab1_->currentIndex();
    const SendFields sending = sender_->fields();
    values.sequence = sending.sequence;
    values.digitMs = sending.digitMs;
    values.gapMs = sending.gapMs;
    values.pauseMs = sending.pauseMs;
    values.pttPort = sending.pttPort;
    values.programPort = link_->programPort();
    values.txDelayMs = sending.txDelayMs;
    return values;
}

bool FormTone::writeSettingsFile(const QString &line) const
{
    return SettingsFile::save(settingsPath(), line);
}

void FormTone::writeDefaultSettings() const
{
    writeSettingsFile(SettingsFile::format(SettingsFile::defaults(programFolder_)));
}

// ---------------------------------------------------------------------------------------------
// Closing and keys

// A send is refused the close from its start, not only while the player plays: the pending
// events it lets through before keying could otherwise close the window under it.
bool FormTone::Form_QueryUnload()
{
    if (!player().IsPlaying() && !sender().sending())
        return true;
    platform_.messages.show(this, MessageIcon::Information, ProgramTitle,
                            QStringLiteral("Please wait end of sound before closing application."));
    return false;
}

// A settings file that cannot be written must not keep the window open: the values are lost for
// this run only.
void FormTone::Form_Unload()
{
    const SettingsValues values = SettingsFile::writable(currentSettings());
    if (const auto refusal = SettingsFile::unwritable(values))
        platform_.messages.show(this, MessageIcon::None, QStringLiteral("Warning"), *refusal);
    else
        writeSettingsFile(SettingsFile::format(values));
    if (dialog_)
        dialog_->hide();
    if (listen_)
        listen_->close();
    link().closeAtExit();
}

bool FormTone::Form_KeyDown(int keyCode)
{
    if (keyCode != Qt::Key_F1)
        return false;
    InstructionsWindow::Apri(platform_.messages, QStringLiteral("Manuale_Keytoner2.rtf"),
                             ProgramTitle);
    return true;
}

// Closing while the link talks to the board waits for the end of the exchange: closing sends
// the board its close command and releases the port, which must not cut an exchange in two.
void FormTone::closeEvent(QCloseEvent *event)
{
    if (link().portBusy()) {
        closeWhenLinkIdle_ = true;
        event->ignore();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void FormTone::linkIdle()
{
    if (!closeWhenLinkIdle_)
        return;
    closeWhenLinkIdle_ = false;
    // From the event loop, once the exchange's handler has returned.
    QTimer::singleShot(0, this, &QWidget::close);
}

// A field's context menu runs its own event loop: opened while the link talks to the board it
// would hold the exchange up until the user closed it, so there is none then.
bool FormTone::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent *>(event)->key()))
        return true;
    if (event->type() == QEvent::ContextMenu && link_ && link_->portBusy())
        return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace keytoner
