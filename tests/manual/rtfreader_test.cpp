#include "manual/RtfReader.h"
#include "support/QtApplication.h"

#include <QGuiApplication>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <gtest/gtest.h>

using namespace keytoner;

namespace {

class RtfReaderTest : public ::testing::Test {
protected:
    // Character formats want a GUI application for their fonts.
    void SetUp() override { test::ensureApplication<QGuiApplication>(); }

    // Reads the bytes, which must succeed.
    QTextDocument &read(const QByteArray &bytes)
    {
        result_ = RtfReader::read(bytes);
        EXPECT_TRUE(result_.document) << result_.error.toStdString();
        if (!result_.document)
            result_.document = std::make_unique<QTextDocument>();
        return *result_.document;
    }

    // Every text run as "text|size bold italic underline colour font fixed", the properties a
    // run has.
    std::vector<std::string> runs(const QByteArray &bytes)
    {
        std::vector<std::string> all;
        for (QTextBlock block = read(bytes).begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                QStringList has{QString::number(f.fontPointSize())};
                has << (f.fontWeight() == QFont::Bold ? "bold" : "");
                has << (f.fontItalic() ? "italic" : "") << (f.fontUnderline() ? "underline" : "");
                if (f.hasProperty(QTextFormat::ForegroundBrush))
                    has << f.foreground().color().name();
                has << f.fontFamilies().toStringList().value(0)
                    << (f.fontFixedPitch() ? "fixed" : "");
                has.removeAll(QString());
                all.push_back((it.fragment().text() + "|" + has.join(' ')).toStdString());
            }
        return all;
    }

    RtfDocument result_;
};

} // namespace

// The paragraphs' texts: line ends in the file are not text, an escaped one is a paragraph;
// Windows-1252 escapes, \u with its fallback skipped (\uc sets how many, the group ends the
// skip), surrogate pairs kept together and lone ones replaced; skipped destinations, binary
// data skipped by its length.
TEST_F(RtfReaderTest, Texts)
{
    const QString lineSeparator(QChar::LineSeparator);
    const struct {
        QByteArray rtf;
        QStringList paragraphs;
    } cases[] = {
        {"{\\rtf1\\ansi First\\par Second\\line still\\tab second\\par}",
         {"First", "Second" + lineSeparator + "still\tsecond", ""}},
        {"{\\rtf1 one\r\ntwo\\\nthree}", {"onetwo", "three"}},
        {"{\\rtf1 a\\\\b\\{c\\}d}", {"a\\b{c}d"}},
        {"{\\rtf1 \\'80 \\'93x\\'94 perch\\'e8}", {QString::fromUtf8("€ “x” perchè")}},
        {"{\\rtf1 \\u8364?5 \\uc2\\u8212\\'97\\'97-\\uc0\\u233 x}", {QString::fromUtf8("€5 —-éx")}},
        {"{\\rtf1 \\u-3?\\u-10179?\\u-8704?}", {QString::fromUtf8("\uFFFD😀")}},
        {"{\\rtf1 a\\u-10179?b}", {QString::fromUtf8("a\uFFFDb")}},
        {"{\\rtf1 {\\uc3\\u233}abc}", {QString::fromUtf8("éabc")}},
        {"{\\rtf1 a\\~b\\endash c\\bullet}", {QString::fromUtf8("a\u00a0b–c•")}},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title Secret}{\\author Me}}{\\*\\generator Writer 1.0;}"
         "{\\*\\unknowndest {nested} text}"
         "{\\pict\\pngblip 89504e47}Shown{\\*\\bkmkstart x}"
         "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}",
         {"Shownlink"}},
        {"{\\rtf1{\\pict\\bin6 }{\\x{}}after}", {"after"}},
    };
    for (const auto &c : cases) {
        QStringList texts;
        for (QTextBlock block = read(c.rtf).begin(); block.isValid(); block = block.next())
            texts << block.text();
        EXPECT_EQ(texts, c.paragraphs) << c.rtf.toStdString();
    }
}

// A format lasts to the end of its group or to the control that ends it; sizes are in half points,
// colours and fonts come from their tables, and a colour the table lacks is the default one.
TEST_F(RtfReaderTest, Formats)
{
    const std::pair<QByteArray, std::vector<std::string>> cases[] = {
        {"{\\rtf1 plain {\\b bold {\\i both}} \\ul under\\ul0  \\i it\\i0  \\b on\\b0  \\ul "
         "x\\ulnone  y}",
         {"plain |12", "bold |12 bold", "both|12 bold italic", " |12", "under|12 underline", " |12",
          "it|12 italic", " |12", "on|12 bold", " |12", "x|12 underline", " y|12"}},
        {"{\\rtf1{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue255;}"
         "\\fs20 ten {\\fs36\\cf1 red} \\cf2 blue\\plain  reset \\cf9 nine}",
         {"ten |10", "red|18 #c80000", " |10", "blue|10 #0000ff", " reset nine|12"}},
        {"{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\\f0 prose \\f1 code}",
         {"prose |12 Arial", "code|12 Courier New fixed"}},
    };
    for (const auto &[rtf, expected] : cases)
        EXPECT_EQ(runs(rtf), expected) << rtf.toStdString();
    QTextDocument &doc = read("{\\rtf1\\qc Title\\par\\pard Body\\par}");
    EXPECT_EQ(doc.begin().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(doc.begin().next().blockFormat().alignment(), Qt::AlignLeft);

    // A hanging bullet: the tab stop at the indent lands where the wrapped lines start.
    QTextDocument &bullet = read("{\\rtf1\\li360\\fi-240\\tx360 \\bullet\\tab item\\par}");
    const QTextBlockFormat format = bullet.begin().blockFormat();
    EXPECT_EQ(std::tuple(format.leftMargin(), format.textIndent(), format.tabPositions().size(),
                         format.tabPositions().value(0).position),
              std::tuple(18.0, -12.0, 1, 12.0));
}

// The manual's screenshots: PNG pictures in hex, shown at their goal size (15 twips a pixel).
TEST_F(RtfReaderTest, PngPicturesAtTheirGoalSize)
{
    // A red PNG of 4 by 2 pixels.
    const QByteArray hex = "89504e470d0a1a0a0000000d4948445200000004000000020802000000f0caea340000"
                           "00104944415478da63f8cfc000470cc81c006faa07f968ddafa70000000049454e44"
                           "ae426082";
    // Split across lines as writers do; a WMF picture and one in a skipped group are not shown.
    QTextDocument &document =
        read("{\\rtf1 A{\\pict\\pngblip\\picwgoal300\\pichgoal150 " + hex.left(20) + "\r\n" +
             hex.mid(20) + "}B{\\pict\\wmetafile8 0100}{\\*\\x{\\pict\\pngblip " + hex + "}}C}");
    EXPECT_EQ(document.begin().text(), QStringLiteral("A\uFFFCBC"));
    QTextCursor cursor(&document);
    cursor.setPosition(2); // after the picture
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    EXPECT_EQ(QSizeF(image.width(), image.height()), QSizeF(20, 10));
    const QImage shown =
        document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    EXPECT_EQ(shown.size(), QSize(4, 2));
    EXPECT_EQ(shown.pixel(3, 1), QColor(Qt::red).rgb());
}

TEST_F(RtfReaderTest, RefusesWhatIsNotRtfOrIsBroken)
{
    const std::pair<QByteArray, const char *> cases[] = {
        {"", "not a rich-text"},
        {"Hello world", "not a rich-text"},
        {"{\\rtx1 hi}", "not a rich-text"},
        {"{\\rtf1 open {\\b group}", "truncated"},
        {"{\\rtf1 end}}", "never opened"},
        {"{\\rtf1 end} more", "after the end"},
        {"{\\rtf1 \\", "ends inside"},
        {"{\\rtf1 \\'4", "ends inside"},
        {"{\\rtf1 \\'zz}", "hex"},
        {"{\\rtf1 {\\pict\\bin999 ab}}", "binary"},
        {"{\\rtf1 \\fs12345678901 x}", "number"},
        {"{\\rtf1 \\" + QByteArray(40, 'a') + "}", "too long"},
        {"{\\rtf1 " + QByteArray(100000, '{'), "nested too deeply"},
    };
    for (const auto &[rtf, reason] : cases) {
        const RtfDocument result = RtfReader::read(rtf);
        EXPECT_FALSE(result.document) << rtf.left(60).toStdString();
        EXPECT_TRUE(result.error.contains(reason)) << rtf.left(60).toStdString();
    }
    // Trailing blanks and NULs after the last brace are tolerated.
    EXPECT_TRUE(RtfReader::read(QByteArray("{\\rtf1 ok}\r\n\0\0", 14)).document);
}
