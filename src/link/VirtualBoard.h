#pragma once

#include "config/ConfigImage.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace keytoner::link {

// A Tonesentinel board on a pseudo-terminal, for tests and for trying the program without a
// board. It answers identify and read, takes the write header with its four blocks (each
// checked by its checksum) and the close command, and records every byte it receives with its
// time. It runs in its own thread, so a program that blocks its own thread in a pause still
// finds the answers waiting when it looks. Its output is paced at 4800 baud.
class VirtualBoard {
public:
    // Misbehaviour on demand.
    struct Faults {
        QByteArray identity = "Tonesentinel  v2";
        bool lineFeedOnly = false; // LF instead of CR LF after the identity
        int answerDelayMs = 2;     // before each answer; 150 makes a late identity
        bool badIdentitySum = false;
        bool badDataSum = false;     // the data frame's checksum is off by one
        int filteredPosition = -1;   // the data frame carries 0x5B at this image position
        int readBackDifference = -1; // this image byte is sent changed (a faulty store)
        bool silent = false;         // answers nothing
        bool garbage = false;        // answers bytes that form no frame
        bool hangUpInRead = false;   // hangs up halfway through the data frame
        bool hangUpInWrite = false;  // hangs up after the first write block
    };

    struct Received {
        std::uint8_t byte;
        qint64 atUs; // since the board started
    };

    VirtualBoard();
    ~VirtualBoard();
    VirtualBoard(const VirtualBoard &) = delete;
    VirtualBoard &operator=(const VirtualBoard &) = delete;

    // Opens the pseudo-terminal and starts answering; the error's description on failure.
    bool start(QString *error = nullptr);
    void stop();
    // The device to open, e.g. /dev/pts/4.
    QString devicePath() const { return devicePath_; }

    void setFaults(const Faults &faults);
    ConfigImage image() const;
    void setImage(const ConfigImage &image);
    std::vector<Received> received() const;
    QByteArray receivedBytes() const;
    void clearReceived();
    int blocksAccepted() const { return blocksAccepted_; }
    int closeCommands() const { return closeCommands_; }
    bool hungUp() const { return hungUp_; }
    // Noise towards the program: random bytes (or the pattern, repeated) at this many bytes per
    // second, between the board's answers and inside them; 0 stops it. 480 is the line's full
    // rate; a higher rate fills the terminal as fast as the program empties it.
    void setNoise(int bytesPerSecond, const QByteArray &pattern = {});
    qint64 noiseSent() const { return noiseSent_; }
    // Sends these bytes to the program once, at once, as noise.
    void sendNoise(const QByteArray &bytes);
    // The board's time, on the clock of Received::atUs.
    qint64 nowUs() const;

private:
    enum class State { Idle, AfterFF, Writing };

    void run();
    void take(std::uint8_t byte);
    void answerIdentity(const Faults &faults);
    void answerData(const Faults &faults);
    void blockReceived();
    // Sends at the line's pace; false when the board hung up meanwhile.
    bool send(const QByteArray &bytes, int hangUpAfter = -1);
    void hangUp();
    void addNoise();
    Faults faults() const;

    int master_ = -1;
    int slave_ = -1;
    int wake_[2] = {-1, -1};
    QString devicePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<int> blocksAccepted_{0};
    std::atomic<int> closeCommands_{0};
    qint64 startUs_ = 0;
    std::atomic<int> noiseRate_{0};
    std::atomic<qint64> noiseSent_{0};

    mutable std::mutex mutex_;
    Faults faults_;
    ConfigImage image_{};
    QByteArray noisePattern_;
    std::vector<Received> received_;

    // Board thread only.
    State state_ = State::Idle;
    QByteArray block_;
    int blocksTaken_ = 0;
    qint64 lastByteUs_ = 0;
    double noiseOwed_ = 0;
    qint64 noiseLastUs_ = 0;
    qsizetype noisePatternPos_ = 0;
    std::uint32_t noiseState_ = 12345;
};

} // namespace keytoner::link
