#include "ListenWindow.h"

#include "WaterfallView.h"
#include "listen/ListenEvent.h"
#include "listen/Listener.h"
#include "listen/WaterfallRows.h"
#include "platform/AudioInput.h"
#include "platform/AudioOutput.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace keytoner {

namespace {

constexpr int LevelFloorDb = -60;
constexpr int SpectrumBands = 120;
constexpr double SpectrumTopHz = 3000.0;
// The input delivers a block every 10 to 40 ms; 20 redraws a second look smooth and cost little.
constexpr int RefreshMs = 50;

QLabel *buddyLabel(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QPlainTextEdit *transcriptArea(const QString &name, const QString &accessibleName)
{
    auto *area = new QPlainTextEdit;
    area->setObjectName(name);
    area->setAccessibleName(accessibleName);
    area->setReadOnly(true);
    area->setTabChangesFocus(true);
    area->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    area->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    area->setMinimumHeight(90);
    return area;
}

QPushButton *plainButton(const QString &name, const QString &caption, const QString &tip)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

// Adds at the end without moving the user's selection; follows the new text unless the user
// has scrolled back to read.
void appendText(QPlainTextEdit *area, const QString &text)
{
    QScrollBar *scroll = area->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    QTextCursor end(area->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (following)
        scroll->setValue(scroll->maximum());
}

double secondsOfDayNow()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

} // namespace

ListenWindow::ListenWindow(AudioSystem &audio, QWidget *parent)
    : QWidget(parent, Qt::Window), audio_(audio)
{
    setObjectName(QStringLiteral("frmListen"));
    setWindowTitle(QStringLiteral("Listen"));
    buildControls();
    fillInputs();
    connect(cboInput, &QComboBox::activated, this, &ListenWindow::restartListening);
    connect(cmdClear, &QPushButton::clicked, this, &ListenWindow::clearTexts);
    connect(cmdCopy, &QPushButton::clicked, this, &ListenWindow::copyTexts);
    refresh_.setInterval(RefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &ListenWindow::refresh);
}

ListenWindow::~ListenWindow()
{
    stopListening();
}

bool ListenWindow::listening() const
{
    return input_ && input_->isOpen();
}

void ListenWindow::buildControls()
{
    cboInput = new QComboBox;
    cboInput->setObjectName(QStringLiteral("cboInput"));
    cboInput->setAccessibleName(QStringLiteral("Sound input"));
    cboInput->setToolTip(QStringLiteral("The sound input that carries the receiver's audio"));
    cboInput->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboInput->setMinimumContentsLength(24);

    barLevel = new QProgressBar;
    barLevel->setObjectName(QStringLiteral("barLevel"));
    barLevel->setAccessibleName(QStringLiteral("Input level"));
    barLevel->setToolTip(QStringLiteral("Level of the input in dB below full scale"));
    barLevel->setRange(LevelFloorDb, 0);
    showLevel(LevelFloorDb);

    picSpectrum = new WaterfallView(SpectrumBands, SpectrumTopHz);
    picSpectrum->setObjectName(QStringLiteral("picSpectrum"));
    picSpectrum->setAccessibleName(QStringLiteral("Spectrum, 0 to 3 kHz"));
    picSpectrum->setToolTip(QStringLiteral("Spectrum from 0 to 3 kHz, newest at the top: DTMF "
                                           "shows as two lines, Morse as one broken line"));

    txtDtmf = transcriptArea(QStringLiteral("txtDtmf"), QStringLiteral("DTMF digits heard"));
    txtCw = transcriptArea(QStringLiteral("txtCw"), QStringLiteral("Morse text heard"));
    cmdClear = plainButton(QStringLiteral("cmdClear"), QStringLiteral("C&lear"),
                           QStringLiteral("Empty both text areas"));
    cmdCopy = plainButton(QStringLiteral("cmdCopy"), QStringLiteral("&Copy"),
                          QStringLiteral("Copy the digits and the Morse text to the clipboard"));
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);

    auto *top = new QGridLayout;
    top->addWidget(buddyLabel(QStringLiteral("&Input"), cboInput), 0, 0);
    top->addWidget(cboInput, 0, 1);
    top->addWidget(buddyLabel(QStringLiteral("Level"), barLevel), 1, 0);
    top->addWidget(barLevel, 1, 1);
    top->setColumnStretch(1, 1);

    auto *texts = new QGridLayout;
    texts->addWidget(buddyLabel(QStringLiteral("&DTMF digits"), txtDtmf), 0, 0);
    texts->addWidget(buddyLabel(QStringLiteral("Morse (C&W) text"), txtCw), 0, 1);
    texts->addWidget(txtDtmf, 1, 0);
    texts->addWidget(txtCw, 1, 1);
    texts->setColumnStretch(0, 2);
    texts->setColumnStretch(1, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdCopy);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(picSpectrum, 2);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
    resize(560, 480);
}

// The list is read again each time the window opens, so that an interface plugged in since
// shows up; the input chosen before stays chosen while it is there.
void ListenWindow::fillInputs()
{
    const QVariant chosen = cboInput->currentData();
    cboInput->clear();
    for (const AudioInputDevice &device : audio_.inputDevices()) {
        const QString text = device.isDefault ? device.description + QStringLiteral(" (default)")
                                              : device.description;
        cboInput->addItem(text, device.id);
    }
    if (const int index = cboInput->findData(chosen); chosen.isValid() && index >= 0)
        cboInput->setCurrentIndex(index);
    cboInput->setEnabled(cboInput->count() > 0);
}

// ---------------------------------------------------------------------------------------------
// The input: held from show to close

void ListenWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (listening())
        return;
    fillInputs();
    startListening();
}

// A minimised window keeps listening; only a hide by the program lets the input go.
void ListenWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        stopListening();
}

void ListenWindow::closeEvent(QCloseEvent *event)
{
    stopListening();
    event->accept();
}

void ListenWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ListenWindow::startListening()
{
    if (cboInput->count() == 0) {
        lblStatus->setText(QStringLiteral("No sound input found."));
        return;
    }
    input_ = audio_.createInput();
    const int code = input_ ? input_->open(cboInput->currentData().toByteArray()) : AudioNoDevice;
    if (code != AudioOk) {
        input_.reset();
        lblStatus->setText(
            QStringLiteral("Cannot open %1 (error %2).").arg(cboInput->currentText()).arg(code));
        return;
    }
    const int rate = input_->sampleRate();
    listener_ = std::make_unique<Listener>(rate);
    spectrum_ = std::make_unique<Spectrum>(rate, SpectrumBands, SpectrumTopHz);
    const double start = secondsOfDayNow();
    dtmfLines_.setStart(start);
    cwLines_.setStart(start);
    connect(input_.get(), &AudioInput::samplesReady, this, &ListenWindow::onSamples);
    connect(input_.get(), &AudioInput::failed, this, &ListenWindow::onInputFailed);
    refresh_.start();
    lblStatus->setText(
        QStringLiteral("Listening to %1, %2 Hz.").arg(cboInput->currentText()).arg(rate));
}

// What the decoder still holds (a last character waiting for its space) is shown first.
void ListenWindow::stopListening()
{
    if (listener_) {
        events_.clear();
        listener_->flush(events_);
        showEvents(events_);
    }
    if (input_) {
        input_->disconnect(this);
        input_->close();
    }
    input_.reset();
    listener_.reset();
    spectrum_.reset();
    refresh_.stop();
    peakDbfs_ = -120.0;
    dtmfLines_.breakLine();
    cwLines_.breakLine();
    showLevel(LevelFloorDb);
}

void ListenWindow::restartListening()
{
    stopListening();
    if (isVisible())
        startListening();
}

void ListenWindow::onSamples(const std::vector<int16_t> &samples)
{
    if (!listener_)
        return;
    events_.clear();
    listener_->process(samples.data(), samples.size(), events_);
    showEvents(events_);
    peakDbfs_ = std::max(peakDbfs_, listener_->levelDbfs());
    rows_.clear();
    spectrum_->process(samples.data(), samples.size(), rows_);
    for (const std::vector<float> &row : rows_)
        picSpectrum->addRow(row);
}

// Called from the input's own signal: it is let go from the event loop, not deleted under it.
void ListenWindow::onInputFailed(int code)
{
    if (input_) {
        input_->disconnect(this);
        input_.release()->deleteLater();
    }
    stopListening();
    lblStatus->setText(QStringLiteral("The sound input stopped (error %1). Choose an input to "
                                      "listen again.")
                           .arg(code));
}

void ListenWindow::showEvents(const std::vector<ListenEvent> &events)
{
    for (const ListenEvent &event : events) {
        const bool dtmf = event.kind == ListenEvent::Kind::Dtmf;
        const std::string piece = (dtmf ? dtmfLines_ : cwLines_).add(event);
        if (piece.empty())
            continue;
        appendText(dtmf ? txtDtmf : txtCw, QString::fromStdString(piece));
    }
}

void ListenWindow::showLevel(double dbfs)
{
    const int level = std::clamp(int(std::lround(dbfs)), LevelFloorDb, 0);
    barLevel->setValue(level);
    barLevel->setFormat(level <= LevelFloorDb ? QStringLiteral("silence")
                                              : QStringLiteral("%1 dBFS").arg(level));
}

void ListenWindow::refresh()
{
    showLevel(peakDbfs_);
    peakDbfs_ = -120.0;
    picSpectrum->update();
}

void ListenWindow::clearTexts()
{
    txtDtmf->clear();
    txtCw->clear();
    dtmfLines_.clear();
    cwLines_.clear();
    picSpectrum->clear();
}

void ListenWindow::copyTexts()
{
    QApplication::clipboard()->setText(
        QStringLiteral("DTMF\n%1\n\nCW\n%2\n").arg(txtDtmf->toPlainText(), txtCw->toPlainText()));
}

} // namespace keytoner
