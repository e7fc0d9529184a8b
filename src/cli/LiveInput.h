#pragma once

#include <QAudioDevice>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QAudioSource;
class QIODevice;

namespace keytoner::cli {

// A sound input read as 16-bit mono at the device's preferred rate; `samples` carries each
// block as it arrives, `failed` a lost device.
class LiveInput : public QObject {
    Q_OBJECT
public:
    // The input whose description or id is `name`, the default input when it is empty.
    static std::optional<QAudioDevice> find(const QString &name);
    static QStringList names();

    explicit LiveInput(const QAudioDevice &device);
    ~LiveInput() override;
    bool start();
    int sampleRate() const;

signals:
    void samples(const std::vector<int16_t> &block);
    void failed(const QString &problem);

private:
    void read();

    std::unique_ptr<QAudioSource> source_;
    QIODevice *io_ = nullptr;
    QByteArray pending_;
};

} // namespace keytoner::cli
