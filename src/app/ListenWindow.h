#pragma once

#include "listen/Transcript.h"

#include <QByteArray>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace keytoner {

class AudioInput;
class AudioSystem;
class Listener;
class Spectrum;
class WaterfallView;
struct ListenEvent;

// The Listen window: decodes the DTMF digits and the Morse text heard on a sound input (the
// receiver's audio) and shows them with a level meter and a scrolling spectrum. The input is
// held while the window is shown and released when it is closed or hidden; the window runs
// beside the main window and keeps listening while it sends.
class ListenWindow : public QWidget {
    Q_OBJECT
public:
    explicit ListenWindow(AudioSystem &audio, QWidget *parent = nullptr);
    ~ListenWindow() override;

    // Whether an input is open now.
    bool listening() const;

    QComboBox *cboInput = nullptr;
    QProgressBar *barLevel = nullptr;
    WaterfallView *picSpectrum = nullptr;
    QPlainTextEdit *txtDtmf = nullptr;
    QPlainTextEdit *txtCw = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdCopy = nullptr;
    QLabel *lblStatus = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void fillInputs();
    void startListening();
    void stopListening();
    void restartListening();
    void onSamples(const std::vector<int16_t> &samples);
    void onInputFailed(int code);
    void showEvents(const std::vector<ListenEvent> &events);
    void showLevel(double dbfs);
    void refresh();
    void clearTexts();
    void copyTexts();

    AudioSystem &audio_;
    std::unique_ptr<AudioInput> input_;
    std::unique_ptr<Listener> listener_;
    std::unique_ptr<Spectrum> spectrum_;
    Transcript dtmfLines_;
    Transcript cwLines_;
    std::vector<ListenEvent> events_;
    std::vector<std::vector<float>> rows_;
    QTimer refresh_;           // the meter and the picture are redrawn at this pace
    double peakDbfs_ = -120.0; // the loudest block since the last redraw
};

} // namespace keytoner
