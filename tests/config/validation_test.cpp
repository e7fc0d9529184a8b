#include "ConfigSamples.h"
#include "config/ConfigEncoder.h"

#include <functional>
#include <gtest/gtest.h>

using namespace keytoner;
using keytoner::test::exampleConfig;

namespace {

QString messageAfter(const std::function<void(BoardConfig &)> &change)
{
    BoardConfig config = exampleConfig();
    change(config);
    const ImageBuild build = buildConfigImage(config);
    EXPECT_EQ(build.ok(), build.message.isEmpty());
    return build.message;
}

const QString Passes;
const QString BadSpeed = "Please insert a valid Morse Speed";
const QString BadTimer = "Please insert a valid Output 2 Timer Interval";
const QString BadOrder = "Battery High Level must be grater than Low level";
const QString BadLow = "Please insert a valid Low Battery Voltage";
const QString BadHigh = "Please insert a valid High Battery Voltage";
const QString BadCall = "Please insert a valid CW Call: \"%1\" is not an upper-case letter, a "
                        "digit, a blank or one of : ; < = > ? @";

} // namespace

// Ranges are inclusive. Empty IDs; conversions that the range checks let through fail with a
// description that names the field and its text, at the step that stores the value, in the order of
// the checks. Of duplicated commands, the first text repeated from command 0 on is named, not the
// closest pair.
TEST(ConfigValidation, Refusals)
{
    const struct {
        const char *speed, *timer, *low, *high;
        QString message;
    } ranges[] = {
        {"14", "10", "11.5", "13.8", Passes},
        {"150", "10", "11.5", "13.8", Passes},
        {"13", "10", "11.5", "13.8", BadSpeed},
        {"151", "10", "11.5", "13.8", BadSpeed},
        {"20", "1", "11.5", "13.8", Passes},
        {"20", "255", "11.5", "13.8", Passes},
        {"20", "0", "11.5", "13.8", BadTimer},
        {"20", "256", "11.5", "13.8", BadTimer},
        {"20", "10", "12.0", "12.0", BadOrder},
        {"20", "10", "25.4", "25.5", Passes},
        {"20", "10", "", "0.1", Passes},
        {"20", "10", "1.0", "25.6", BadHigh},
        {"20", "10", "25.45", "25.5", BadLow},
        {"20", "10", "0", "0.06", BadHigh},
        // The levels are compared in the board's 0.1 V steps, rounded halves to even.
        {"20", "10", "1.24", "1.25", BadOrder},
        {"20", "10", "1.35", "1.4", BadOrder},
    };
    for (const auto &c : ranges) {
        const QString message = messageAfter([&](BoardConfig &config) {
            config.txtMorseSpeed = c.speed;
            config.txtTmr2 = c.timer;
            config.txtBlo = c.low;
            config.txtBhi = c.high;
        });
        EXPECT_EQ(message, c.message) << c.speed << " " << c.timer << " " << c.low << " " << c.high;
    }
    const struct {
        std::function<void(BoardConfig &)> change;
        QString message;
    } cases[] = {
        {[](BoardConfig &c) { c.txtCrcTag = ""; }, "Checksum ID empty."},
        {[](BoardConfig &c) { c.txtSeqCmd = ""; }, "Modifier ID is empty"},
        {[](BoardConfig &c) { c.txtCrcTag = "E"; }, R"(Checksum ID "E" is not one DTMF digit.)"},
        {[](BoardConfig &c) { c.txtMorseSpeed = "20x"; }, R"(Morse Speed "20x" is not a number.)"},
        {[](BoardConfig &c) { c.txtTmr2 = "1.2.3"; }, R"(Output 2 Timer "1.2.3" is not a number.)"},
        {[](BoardConfig &c) { c.txtMem[3] = "12d"; },
         R"(Command #3 "12d": "d" is not a DTMF digit.)"},
        {[](BoardConfig &c) { c.txtMem[5] = "12345678901"; },
         R"(Command #5 "12345678901" is longer than 10 digits.)"},
        {[](BoardConfig &c) { c.txtSeqCmd = "123456789"; },
         R"(Modifier ID "123456789" is longer than 8 digits.)"},
        {[](BoardConfig &c) { c.txtCallID = "ABCDEFG"; },
         R"(CW Call "ABCDEFG" is longer than 6 characters.)"},
        // The call holds only what its field takes, so that the read-back can verify it.
        {[](BoardConfig &c) { c.txtCallID = "0 @AZ"; }, Passes},
        {[](BoardConfig &c) { c.txtCallID = "N0/P"; }, BadCall.arg("/")},
        {[](BoardConfig &c) { c.txtCallID = "A["; }, BadCall.arg("[")},
        {[](BoardConfig &c) { c.txtCallID = "K!"; }, BadCall.arg("!")},
        {[](BoardConfig &c) { c.txtCallID = QString::fromUtf8("I\u20AC"); },
         BadCall.arg(QString::fromUtf8("\u20AC"))},
        {[](BoardConfig &c) { c.txtMem = {"9"}, c.txtMem[15] = "9"; },
         "Command #0 is equal to Command #15"},
        {[](BoardConfig &c) { c.txtMem = {}, c.txtMem[13] = c.txtMem[14] = "AB"; },
         "Command #13 is equal to Command #14"},
        {[](BoardConfig &c) { c.txtMem = {"", "", "1", "", "", "2", "2", "", "", "", "", "1"}; },
         "Command #2 is equal to Command #11"},
        // A bad command digit is found only after the duplicates.
        {[](BoardConfig &c) { c.txtMem[0] = "x", c.txtMem[1] = "5", c.txtMem[2] = "5"; },
         "Command #1 is equal to Command #2"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(messageAfter(c.change), c.message) << c.message.toStdString();
}
