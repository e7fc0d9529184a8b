#include "LinkProtocol.h"

#include "platform/SerialPort.h"

namespace keytoner::link {

std::uint8_t checksum(const std::uint8_t *bytes, int count)
{
    unsigned sum = 0;
    for (int i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::uint8_t checksum(const QByteArray &bytes)
{
    return checksum(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                    static_cast<int>(bytes.size()));
}

std::array<QByteArray, BlockCount> writeBlocks(const ConfigImage &image)
{
    std::array<QByteArray, BlockCount> blocks;
    for (int k = 0; k < BlockCount; ++k) {
        const auto *data = image.data() + k * BlockDataSize;
        QByteArray block(reinterpret_cast<const char *>(data), BlockDataSize);
        block.append(static_cast<char>(checksum(data, BlockDataSize)));
        blocks[k] = block;
    }
    return blocks;
}

bool passesDataFilter(int position, std::uint8_t byte)
{
    return position < 8 || byte < 0x5B || byte == 0x80 || byte == 0xFF;
}

QString commEventText(int code, const QString &prgCommText)
{
    switch (code) {
    case CommEvent::Break:
        return QStringLiteral("Comm Break Detected");
    case CommEvent::Frame:
        return QStringLiteral("Comm Frame Error");
    case CommEvent::Overrun:
        return QStringLiteral("Comm OverRun Error");
    case CommEvent::RxOverflow:
        return QStringLiteral("Comm OverFlow Error");
    case CommEvent::RxParity:
        return QStringLiteral("Comm Parity Error");
    case CommEvent::TxFull:
        return QStringLiteral("Comm Tx Buffer Full");
    case CommEvent::DeviceControlBlock:
        return QStringLiteral("Comm Device Control Block Error");
    default:
        return QStringLiteral("Errore n.") + QString::number(code) + QStringLiteral(" su COM") +
               prgCommText;
    }
}

} // namespace keytoner::link
