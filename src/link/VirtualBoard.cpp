#include "VirtualBoard.h"

#include "LinkProtocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace keytoner::link {

namespace {

// One byte of 8N1 at 4800 baud: ten bits.
constexpr qint64 ByteTimeUs = 10 * 1000000 / 4800;
// A write that stops in the middle is forgotten after this long.
constexpr qint64 WriteIdleUs = 1500 * 1000;

qint64 monotonicUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void sleepUntilUs(qint64 deadlineUs)
{
    const qint64 waitUs = deadlineUs - monotonicUs();
    if (waitUs <= 0)
        return;
    timespec span{static_cast<time_t>(waitUs / 1000000),
                  static_cast<long>(waitUs % 1000000) * 1000};
    while (nanosleep(&span, &span) != 0 && errno == EINTR) {
    }
}

// What a board fresh from the factory might hold: outputs 1 and 3 on, modifier 123, checksum
// ID #, Morse at 20 wpm with call TEST, timer 10 s, battery 11.5 V to 13.8 V, commands 11 and 10.
ConfigImage factoryImage()
{
    ConfigImage image;
    image.fill(0xFF);
    const std::uint8_t head[] = {0x95, 12, 60, 10, 115, 138};
    std::copy(std::begin(head), std::end(head), image.begin());
    for (int i = 0; i < 16; ++i)
        image[8 + 10 * i] = 0x80;
    const std::uint8_t command0[] = {1, 1, 0x80};
    const std::uint8_t command1[] = {1, 10, 0x80};
    std::copy(std::begin(command0), std::end(command0), image.begin() + 8);
    std::copy(std::begin(command1), std::end(command1), image.begin() + 18);
    const std::uint8_t modifier[] = {1, 2, 3, 0x80};
    std::copy(std::begin(modifier), std::end(modifier), image.begin() + 176);
    const std::uint8_t call[] = {'T', 'E', 'S', 'T', 0x00};
    std::copy(std::begin(call), std::end(call), image.begin() + 185);
    return image;
}

} // namespace

VirtualBoard::VirtualBoard() : image_(factoryImage()) {}

VirtualBoard::~VirtualBoard()
{
    stop();
}

bool VirtualBoard::start(QString *error)
{
    auto fail = [error](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                  QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
        return fail("openpty");
    termios raw{};
    if (::tcgetattr(slave_, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    if (::pipe2(wake_, O_CLOEXEC) != 0)
        return fail("pipe");
    devicePath_ = QString::fromLocal8Bit(::ptsname(master_));
    startUs_ = monotonicUs();
    thread_ = std::thread([this] { run(); });
    return true;
}

void VirtualBoard::stop()
{
    if (thread_.joinable()) {
        stopping_ = true;
        const char wake = 1;
        [[maybe_unused]] auto written = ::write(wake_[1], &wake, 1);
        thread_.join();
    }
    hangUp();
    for (int &fd : wake_) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void VirtualBoard::setNoise(int bytesPerSecond, const QByteArray &pattern)
{
    {
        std::lock_guard lock(mutex_);
        noisePattern_ = pattern;
    }
    noiseRate_ = bytesPerSecond;
    const char wake = 1;
    [[maybe_unused]] auto written = ::write(wake_[1], &wake, 1);
}

void VirtualBoard::sendNoise(const QByteArray &bytes)
{
    std::lock_guard lock(mutex_);
    if (master_ >= 0 && ::write(master_, bytes.constData(), size_t(bytes.size())) > 0)
        noiseSent_ += bytes.size();
}

// Board thread: sends the noise owed since the last call. A terminal the program does not
// empty takes no more, and what it refused is not owed later: the line's rate is the most
// that could ever arrive.
void VirtualBoard::addNoise()
{
    const qint64 now = nowUs();
    const int rate = noiseRate_;
    noiseOwed_ = rate > 0 ? noiseOwed_ + double(now - noiseLastUs_) * rate / 1e6 : 0;
    noiseLastUs_ = now;
    const int count = std::min(int(noiseOwed_), 256);
    pollfd out{master_, POLLOUT, 0};
    if (count <= 0 || master_ < 0 || ::poll(&out, 1, 0) != 1) {
        noiseOwed_ = std::min(noiseOwed_, 256.0);
        return;
    }
    char bytes[256];
    {
        std::lock_guard lock(mutex_);
        for (int i = 0; i < count; ++i) {
            noiseState_ = noiseState_ * 1664525u + 1013904223u;
            bytes[i] = noisePattern_.isEmpty()
                           ? char(noiseState_ >> 24)
                           : noisePattern_.at(noisePatternPos_++ % noisePattern_.size());
        }
    }
    const ssize_t written = ::write(master_, bytes, size_t(count));
    if (written > 0)
        noiseSent_ += written;
    noiseOwed_ = std::min(noiseOwed_ - double(std::max<ssize_t>(written, 0)), 256.0);
}

void VirtualBoard::hangUp()
{
    std::lock_guard lock(mutex_);
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

qint64 VirtualBoard::nowUs() const
{
    return monotonicUs() - startUs_;
}

void VirtualBoard::setFaults(const Faults &faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

VirtualBoard::Faults VirtualBoard::faults() const
{
    std::lock_guard lock(mutex_);
    return faults_;
}

ConfigImage VirtualBoard::image() const
{
    std::lock_guard lock(mutex_);
    return image_;
}

void VirtualBoard::setImage(const ConfigImage &image)
{
    std::lock_guard lock(mutex_);
    image_ = image;
}

std::vector<VirtualBoard::Received> VirtualBoard::received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

QByteArray VirtualBoard::receivedBytes() const
{
    std::lock_guard lock(mutex_);
    QByteArray bytes;
    for (const auto &r : received_)
        bytes.append(static_cast<char>(r.byte));
    return bytes;
}

void VirtualBoard::clearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
}

void VirtualBoard::run()
{
    char buffer[512];
    while (!stopping_ && !hungUp_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, noiseRate_ > 0 ? 2 : 250);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            char drained[16];
            [[maybe_unused]] auto count = ::read(wake_[0], drained, sizeof drained);
        }
        addNoise();
        if (state_ == State::Writing && nowUs() - lastByteUs_ > WriteIdleUs)
            state_ = State::Idle;
        if (ready <= 0 || !(fds[0].revents & POLLIN))
            continue;
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count <= 0)
            continue;
        const qint64 at = nowUs();
        {
            std::lock_guard lock(mutex_);
            for (ssize_t i = 0; i < count; ++i)
                received_.push_back({static_cast<std::uint8_t>(buffer[i]), at});
        }
        for (ssize_t i = 0; i < count && !hungUp_; ++i)
            take(static_cast<std::uint8_t>(buffer[i]));
    }
}

void VirtualBoard::take(std::uint8_t byte)
{
    lastByteUs_ = nowUs();
    switch (state_) {
    case State::Idle:
        if (byte == 0xFF)
            state_ = State::AfterFF;
        return;
    case State::AfterFF:
        state_ = State::Idle;
        if (byte == 0xCC) {
            answerIdentity(faults());
        } else if (byte == 0xAA) {
            answerData(faults());
        } else if (byte == 0xFF) {
            state_ = State::Writing;
            block_.clear();
            blocksTaken_ = 0;
        } else if (byte == 0x99) {
            ++closeCommands_;
        }
        return;
    case State::Writing:
        block_.append(static_cast<char>(byte));
        if (block_.size() == BlockSize)
            blockReceived();
        return;
    }
}

void VirtualBoard::blockReceived()
{
    const QByteArray data = block_.left(BlockDataSize);
    if (checksum(data) == static_cast<std::uint8_t>(block_.at(BlockDataSize))) {
        std::lock_guard lock(mutex_);
        std::memcpy(image_.data() + blocksTaken_ * BlockDataSize, data.constData(), BlockDataSize);
        ++blocksAccepted_;
    }
    block_.clear();
    if (++blocksTaken_ == BlockCount)
        state_ = State::Idle;
    if (faults().hangUpInWrite) {
        hungUp_ = true;
        hangUp();
    }
}

void VirtualBoard::answerIdentity(const Faults &faults)
{
    if (faults.silent)
        return;
    sleepUntilUs(monotonicUs() + faults.answerDelayMs * 1000);
    if (faults.garbage) {
        send(QByteArray("\x12\x34\xFE\x56 noise \x01\x02", 15));
        return;
    }
    QByteArray line("\xFF\xAA", 2);
    line.append(faults.identity);
    line.append(faults.lineFeedOnly ? "\n" : "\r\n");
    const std::uint8_t sum = checksum(faults.identity) + (faults.badIdentitySum ? 1 : 0);
    line.append(static_cast<char>(sum));
    send(line);
}

void VirtualBoard::answerData(const Faults &faults)
{
    if (faults.silent)
        return;
    sleepUntilUs(monotonicUs() + faults.answerDelayMs * 1000);
    if (faults.garbage) {
        send(QByteArray(195, '\x7F'));
        return;
    }
    ConfigImage content = image();
    if (faults.readBackDifference >= 0 && faults.readBackDifference < ConfigImageSize)
        content[faults.readBackDifference] ^= 0x01;
    if (faults.filteredPosition >= 0 && faults.filteredPosition < ConfigImageSize)
        content[faults.filteredPosition] = 0x5B;
    QByteArray frame("\xFF\xFF", 2);
    frame.append(reinterpret_cast<const char *>(content.data()), ConfigImageSize);
    const std::uint8_t sum =
        checksum(content.data(), ConfigImageSize) + (faults.badDataSum ? 1 : 0);
    frame.append(static_cast<char>(sum));
    send(frame, faults.hangUpInRead ? static_cast<int>(frame.size() / 2) : -1);
}

bool VirtualBoard::send(const QByteArray &bytes, int hangUpAfter)
{
    qint64 due = monotonicUs();
    for (int i = 0; i < bytes.size(); ++i) {
        if (stopping_ || hungUp_)
            return false;
        if (i == hangUpAfter) {
            hungUp_ = true;
            hangUp();
            return false;
        }
        sleepUntilUs(due);
        addNoise();
        if (::write(master_, bytes.constData() + i, 1) != 1)
            return false;
        due += ByteTimeUs;
    }
    return true;
}

} // namespace keytoner::link
