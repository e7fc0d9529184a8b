// The parser on a line that never behaves: endless text, endless noise. Whatever arrives, the
// memory it holds stays bounded and the next good frame is read.
#include "link/FrameParser.h"
#include "link/LinkProtocol.h"

#include <gtest/gtest.h>
#include <random>

using namespace keytoner;
using namespace keytoner::link;

namespace {

QByteArray identityLine(const QByteArray &text)
{
    return QByteArray("\xFF\xAA", 2) + text + "\r\n" + char(checksum(text));
}

struct Counts {
    int identities = 0;
    int abandoned = 0;
    QByteArray lastIdentity;
};

Counts feed(FrameParser &parser, const QByteArray &bytes)
{
    Counts counts;
    for (const char c : bytes) {
        const auto event = parser.ParseByte(std::uint8_t(c));
        if (!event)
            continue;
        if (event->kind == FrameEvent::Kind::Abandoned)
            ++counts.abandoned;
        if (event->kind == FrameEvent::Kind::Identity && event->checksumOk) {
            ++counts.identities;
            counts.lastIdentity = event->text;
        }
    }
    return counts;
}

} // namespace

// A line that starts an identity and then sends text without ever ending it would have the
// parser collect it for as long as it lasts.
TEST(ParserFaults, IdentityTextWithoutEndIsGivenUp)
{
    ConfigImage rx{};
    FrameParser parser(rx);
    const QByteArray endless = QByteArray("\xFF\xAA", 2) + QByteArray(4 << 20, 'A');
    const Counts counts = feed(parser, endless);
    EXPECT_GE(counts.abandoned, 1);
    EXPECT_EQ(counts.identities, 0);
    EXPECT_EQ(parser.state(), FrameParser::Idle);

    const Counts after = feed(parser, identityLine("Tonesentinel  v2"));
    EXPECT_EQ(after.identities, 1);
    EXPECT_EQ(after.lastIdentity, "Tonesentinel  v2");
}

// A long but finite identity, far longer than any board's name, is still no identity the
// program could use; it must not be taken whole.
TEST(ParserFaults, IdentityLongerThanAnyBoardNameIsAbandoned)
{
    ConfigImage rx{};
    FrameParser parser(rx);
    const Counts counts = feed(parser, identityLine(QByteArray(100000, 'x')));
    EXPECT_EQ(counts.identities, 0);
    EXPECT_EQ(counts.abandoned, 1);
    EXPECT_EQ(feed(parser, identityLine(QByteArray(200, 'y'))).identities, 1);
}

// Random bytes, with and without the NUL bytes the port leaves out: frames come and go, and a
// good identity right after the noise is read.
TEST(ParserFaults, RandomStreamsThenAGoodLine)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const bool discardNull : {false, true}) {
        ConfigImage rx{};
        FrameParser parser(rx);
        QByteArray noise;
        for (int i = 0; i < (1 << 20); ++i) {
            const char b = char(byte(random));
            if (!(discardNull && b == 0))
                noise += b;
        }
        feed(parser, noise);
        // A frame cut short by the noise ends at the next reset, as after a failed exchange.
        parser.requestReset();
        const Counts after = feed(parser, identityLine("Tonesentinel  v2"));
        EXPECT_EQ(after.identities, 1) << discardNull;
    }
}
