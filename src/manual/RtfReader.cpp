#include "RtfReader.h"

#include "common/NumberText.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace keytoner {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes map to
// themselves, as the Windows conversion does.
QChar fromWindows1252(uchar byte)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(high[byte - 0x80]);
    return QChar(byte);
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

enum class Destination { Text, Skip, FontTable, ColorTable, Picture };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int color = 0;
    int font = -1;
    bool operator==(const CharState &) const = default;
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips, like the three below
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    std::vector<int> tabStops; // twips from the left margin
};

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \ucN: fallback characters that follow each \uN
};

struct Font {
    QString name;
    bool fixedPitch = false;
};

// A picture being read: PNG or JPEG bytes written as hex digits, with the size to show it at.
struct Picture {
    const char *format = nullptr; // null: a kind this reader does not show (WMF, EMF, ...)
    QByteArray bytes;
    int highNibble = -1;
    int widthTwips = 0;
    int heightTwips = 0;
    int scaleX = 100; // percent
    int scaleY = 100;
};

// Pictures larger than this are not shown (and not kept in memory).
constexpr qsizetype MaxPictureBytes = 8 << 20;

struct Failure {
    QString reason;
};

// Destinations whose content is not text to show.
bool isSkippedDestination(const QByteArray &word)
{
    static const char *const names[] = {
        "stylesheet",   "info",       "object",    "header",     "headerl",
        "headerr",      "headerf",    "footer",    "footerl",    "footerr",
        "footerf",      "footnote",   "listtable", "revtbl",     "listoverridetable",
        "rsidtbl",      "generator",  "xmlnstbl",  "themedata",  "colorschememapping",
        "latentstyles", "datastore",  "filetbl",   "bkmkstart",  "bkmkend",
        "pn",           "nonshppict", "shp",       "shpinst",    "fldinst",
        "userprops",    "docvar",     "private",   "annotation", "atnid",
        "atnauthor",    "comment",    "template",  "mmathPr"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *name) { return word == name; });
}

class Parser {
public:
    Parser(const QByteArray &bytes, QTextDocument &document)
        : in_(bytes), document_(document), cursor_(&document)
    {
    }

    void run()
    {
        if (!in_.startsWith("{\\rtf"))
            throw Failure{QStringLiteral("it is not a rich-text (RTF) file: it does not begin "
                                         "with {\\rtf")};
        while (pos_ < in_.size() && !finished_)
            step();
        if (!finished_)
            throw Failure{
                QStringLiteral("the file ends before its text is complete (%1 group(s) still "
                               "open); it may be truncated")
                    .arg(stack_.size())};
        for (; pos_ < in_.size(); ++pos_) {
            const char c = in_.at(pos_);
            if (c == '}')
                throw Failure{at(QStringLiteral("a group is closed that was never opened"))};
            if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && c != '\0')
                throw Failure{at(QStringLiteral("unexpected data after the end of the text"))};
        }
        flush();
        cursor_.setBlockFormat(blockFormat());
    }

private:
    QString at(const QString &what) const { return what + QStringLiteral(" at byte %1").arg(pos_); }

    void step()
    {
        const char c = in_.at(pos_);
        switch (c) {
        case '{':
            openGroup();
            ++pos_;
            break;
        case '}':
            closeGroup();
            ++pos_;
            break;
        case '\\':
            control();
            break;
        case '\r':
        case '\n':
            ++pos_;
            break;
        default:
            ++pos_;
            if (!skipFallback())
                character(fromWindows1252(uchar(c)));
        }
    }

    void openGroup()
    {
        if (int(stack_.size()) >= RtfReader::MaxDepth)
            throw Failure{at(QStringLiteral("groups are nested too deeply"))};
        stack_.push_back(state_);
        pendingSkip_ = 0;
    }

    void closeGroup()
    {
        if (stack_.empty())
            throw Failure{at(QStringLiteral("a group is closed that was never opened"))};
        if (state_.destination == Destination::FontTable)
            commitFont();
        if (state_.destination == Destination::Picture &&
            stack_.back().destination != Destination::Picture)
            insertPicture(stack_.back().destination == Destination::Text);
        state_ = stack_.back();
        stack_.pop_back();
        pendingSkip_ = 0;
        finished_ = stack_.empty();
    }

    void control()
    {
        ++pos_; // the backslash
        if (pos_ >= in_.size())
            throw Failure{at(QStringLiteral("the file ends inside a control word"))};
        const char c = in_.at(pos_);
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            hexEscape();
            return;
        }
        if (skipFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(QChar::fromLatin1(c));
            break;
        case '~':
            character(QChar(0x00A0));
            break;
        case '_':
            character(QChar(0x2011));
            break;
        case '*':
            // Marks a destination this reader does not know; the whole group is dropped.
            state_.destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default: // \- optional hyphen, \| and other formula characters
            break;
        }
    }

    void hexEscape()
    {
        if (pos_ + 2 > in_.size())
            throw Failure{at(QStringLiteral("the file ends inside a \\' escape"))};
        const int high = hexDigitValue(in_.at(pos_));
        const int low = hexDigitValue(in_.at(pos_ + 1));
        if (high < 0 || low < 0)
            throw Failure{at(QStringLiteral("a \\' escape is not followed by two hex digits"))};
        pos_ += 2;
        if (!skipFallback())
            character(fromWindows1252(uchar(high * 16 + low)));
    }

    void controlWord()
    {
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isLetter(in_.at(pos_)))
            ++pos_;
        if (pos_ - start > 32)
            throw Failure{at(QStringLiteral("a control word is too long"))};
        const QByteArray word = in_.mid(start, pos_ - start);
        std::optional<int> parameter;
        const bool negative =
            pos_ + 1 < in_.size() && in_.at(pos_) == '-' && isDigit(in_.at(pos_ + 1));
        if (negative)
            ++pos_;
        if (pos_ < in_.size() && isDigit(in_.at(pos_))) {
            const qsizetype digitsStart = pos_;
            long long value = 0;
            while (pos_ < in_.size() && isDigit(in_.at(pos_))) {
                if (pos_ - digitsStart >= 10)
                    throw Failure{at(QStringLiteral("a control word's number is too long"))};
                value = value * 10 + (in_.at(pos_) - '0');
                ++pos_;
            }
            value = negative ? -value : value;
            parameter = int(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
        }
        if (pos_ < in_.size() && in_.at(pos_) == ' ')
            ++pos_;
        if (word == "bin") {
            skipBinary(parameter.value_or(0));
            return;
        }
        if (skipFallback())
            return;
        if (state_.destination == Destination::Skip)
            return;
        if (isSkippedDestination(word)) {
            state_.destination = Destination::Skip;
            return;
        }
        apply(word, parameter);
    }

    void skipBinary(int length)
    {
        if (length < 0)
            throw Failure{at(QStringLiteral("binary data has a negative length"))};
        if (length > in_.size() - pos_)
            throw Failure{at(QStringLiteral("the file ends inside binary data"))};
        pos_ += length;
    }

    // After \uN the next N fallback characters (a control word counts as one) stand for the
    // same character in readers without Unicode; they must not be shown twice.
    bool skipFallback()
    {
        if (pendingSkip_ <= 0)
            return false;
        --pendingSkip_;
        return true;
    }

    static bool on(const std::optional<int> &parameter) { return parameter.value_or(1) != 0; }

    void apply(const QByteArray &word, const std::optional<int> &p)
    {
        CharState &ch = state_.chars;
        ParaState &para = state_.para;
        auto twips = [&] { return std::clamp(p.value_or(0), -31680, 31680); };
        if (state_.destination == Destination::Picture) {
            pictureWord(word, p);
            return;
        }
        if (word == "pict") {
            state_.destination = Destination::Picture;
            picture_ = Picture{};
        } else if (word == "fonttbl")
            state_.destination = Destination::FontTable;
        else if (word == "colortbl") {
            state_.destination = Destination::ColorTable;
            colors_.clear();
            resetColor();
        } else if (word == "par" || word == "page" || word == "sect")
            paragraph();
        else if (word == "line")
            character(QChar(QChar::LineSeparator));
        else if (word == "tab")
            character(QLatin1Char('\t'));
        else if (word == "b")
            ch.bold = on(p);
        else if (word == "i")
            ch.italic = on(p);
        else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
                 word == "uldash" || word == "ulth" || word == "ulwave")
            ch.underline = on(p);
        else if (word == "ulnone")
            ch.underline = false;
        else if (word == "fs")
            ch.halfPoints = p.value_or(0) > 0 ? std::clamp(*p, 2, 2000) : 24;
        else if (word == "cf")
            ch.color = p.value_or(0);
        else if (word == "f")
            fontWord(p.value_or(0));
        else if (word == "fmodern")
            fontFixedPitch_ = true;
        else if (word == "plain")
            ch = CharState{};
        else if (word == "pard")
            para = ParaState{};
        else if (word == "ql")
            para.alignment = Qt::AlignLeft;
        else if (word == "qr")
            para.alignment = Qt::AlignRight;
        else if (word == "qc")
            para.alignment = Qt::AlignHCenter;
        else if (word == "qj")
            para.alignment = Qt::AlignJustify;
        else if (word == "li")
            para.leftIndent = twips();
        else if (word == "fi")
            para.firstIndent = twips();
        else if (word == "sb")
            para.spaceBefore = twips();
        else if (word == "sa")
            para.spaceAfter = twips();
        else if (word == "tx") {
            if (para.tabStops.size() < 64)
                para.tabStops.push_back(std::max(0, twips()));
        } else if (word == "uc")
            state_.unicodeSkip = std::clamp(p.value_or(1), 0, 16);
        else if (word == "u")
            unicode(p.value_or(0));
        else if (word == "red" || word == "green" || word == "blue")
            colorWord(word, p.value_or(0));
        else if (word == "emdash")
            character(QChar(0x2014));
        else if (word == "endash")
            character(QChar(0x2013));
        else if (word == "bullet")
            character(QChar(0x2022));
        else if (word == "lquote")
            character(QChar(0x2018));
        else if (word == "rquote")
            character(QChar(0x2019));
        else if (word == "ldblquote")
            character(QChar(0x201C));
        else if (word == "rdblquote")
            character(QChar(0x201D));
        // Every other control word changes nothing this reader shows.
    }

    void unicode(int value)
    {
        // The value is a signed 16-bit number: characters above 32767 are written negative.
        if (value < 0)
            value += 65536;
        if (value >= 0 && value <= 0xFFFF)
            character(QChar(char16_t(value)));
        pendingSkip_ = state_.unicodeSkip;
    }

    void fontWord(int number)
    {
        if (state_.destination == Destination::FontTable) {
            commitFont();
            fontNumber_ = number;
            return;
        }
        state_.chars.font = number;
    }

    void colorWord(const QByteArray &word, int value)
    {
        if (state_.destination != Destination::ColorTable)
            return;
        value = std::clamp(value, 0, 255);
        (word == "red" ? red_ : word == "green" ? green_ : blue_) = value;
        colorGiven_ = true;
    }

    void resetColor()
    {
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
    }

    void commitFont()
    {
        const QString name = fontName_.trimmed();
        if (fontNumber_ >= 0 && !name.isEmpty() && fonts_.size() < 1000)
            fonts_[fontNumber_] = Font{name, fontFixedPitch_};
        fontNumber_ = -1;
        fontName_.clear();
        fontFixedPitch_ = false;
    }

    void character(QChar c)
    {
        switch (state_.destination) {
        case Destination::Skip:
            return;
        case Destination::ColorTable:
            if (c == QLatin1Char(';') && colors_.size() < 1000) {
                colors_.push_back(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
                resetColor();
            }
            return;
        case Destination::FontTable:
            if (c == QLatin1Char(';'))
                commitFont();
            else if (fontName_.size() < 200)
                fontName_ += c;
            return;
        case Destination::Picture:
            pictureDigit(c);
            return;
        case Destination::Text:
            break;
        }
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QChar(QChar::LineSeparator))
            return;
        if (!(state_.chars == pendingFormat_)) {
            flush();
            pendingFormat_ = state_.chars;
        }
        pending_ += c;
    }

    void pictureWord(const QByteArray &word, const std::optional<int> &p)
    {
        const int value = p.value_or(0);
        if (word == "pngblip")
            picture_.format = "PNG";
        else if (word == "jpegblip")
            picture_.format = "JPG";
        else if (word == "emfblip" || word == "wmetafile" || word == "macpict" ||
                 word == "dibitmap" || word == "wbitmap")
            picture_.format = nullptr;
        else if (word == "picwgoal")
            picture_.widthTwips = std::clamp(value, 0, 31680);
        else if (word == "pichgoal")
            picture_.heightTwips = std::clamp(value, 0, 31680);
        else if (word == "picscalex")
            picture_.scaleX = std::clamp(value, 1, 1000);
        else if (word == "picscaley")
            picture_.scaleY = std::clamp(value, 1, 1000);
    }

    void pictureDigit(QChar c)
    {
        const int digit = c.unicode() < 0x80 ? hexDigitValue(char(c.unicode())) : -1;
        if (digit < 0 || picture_.bytes.size() > MaxPictureBytes)
            return;
        if (picture_.highNibble < 0) {
            picture_.highNibble = digit;
            return;
        }
        picture_.bytes.append(char(picture_.highNibble * 16 + digit));
        picture_.highNibble = -1;
    }

    // Shown at its goal size in pixels at 96 dots per inch (15 twips a pixel), so that a
    // screenshot keeps its own size; a picture that does not load is left out.
    void insertPicture(bool shown)
    {
        Picture picture = std::exchange(picture_, Picture{});
        if (!shown || !picture.format || picture.bytes.size() > MaxPictureBytes)
            return;
        QImage image;
        if (!image.loadFromData(picture.bytes, picture.format) || image.isNull())
            return;
        flush();
        const QString name = QStringLiteral("rtf-picture-%1").arg(++pictures_);
        document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        const double width = picture.widthTwips > 0 ? picture.widthTwips / 15.0 : image.width();
        const double height = picture.heightTwips > 0 ? picture.heightTwips / 15.0 : image.height();
        format.setWidth(width * picture.scaleX / 100.0);
        format.setHeight(height * picture.scaleY / 100.0);
        cursor_.insertImage(format);
    }

    void paragraph()
    {
        if (state_.destination != Destination::Text)
            return;
        flush();
        cursor_.setBlockFormat(blockFormat());
        cursor_.insertBlock();
    }

    void flush()
    {
        if (pending_.isEmpty())
            return;
        // A surrogate without its partner cannot be shown; keep the text valid.
        for (qsizetype i = 0; i < pending_.size(); ++i) {
            const QChar c = pending_.at(i);
            const bool pairedHigh = c.isHighSurrogate() && i + 1 < pending_.size() &&
                                    pending_.at(i + 1).isLowSurrogate();
            if (pairedHigh)
                ++i;
            else if (c.isSurrogate())
                pending_[i] = QChar::ReplacementCharacter;
        }
        cursor_.insertText(pending_, charFormat(pendingFormat_));
        pending_.clear();
    }

    QTextCharFormat charFormat(const CharState &ch) const
    {
        QTextCharFormat format;
        format.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(ch.italic);
        format.setFontUnderline(ch.underline);
        format.setFontPointSize(ch.halfPoints / 2.0);
        if (ch.color > 0 && ch.color < int(colors_.size()) && colors_[ch.color].isValid())
            format.setForeground(colors_[ch.color]);
        if (const auto font = fonts_.find(ch.font); font != fonts_.end()) {
            QStringList families{font->second.name};
            if (font->second.fixedPitch)
                families << QStringLiteral("monospace");
            format.setFontFamilies(families);
            format.setFontFixedPitch(font->second.fixedPitch);
        }
        return format;
    }

    QTextBlockFormat blockFormat() const
    {
        const ParaState &para = state_.para;
        QTextBlockFormat format;
        format.setAlignment(para.alignment);
        // Twips to points, which the document takes as pixels at its usual 72-per-inch scale.
        format.setLeftMargin(std::max(0, para.leftIndent) / 20.0);
        format.setTextIndent(para.firstIndent / 20.0);
        format.setTopMargin(std::max(0, para.spaceBefore) / 20.0);
        format.setBottomMargin(std::max(0, para.spaceAfter) / 20.0);
        if (!para.tabStops.empty()) {
            // Stops count from the page's left edge, Qt's from where the first line starts.
            const int lineStart = std::max(0, para.leftIndent) + para.firstIndent;
            QList<QTextOption::Tab> tabs;
            for (int stop : para.tabStops)
                tabs.append(QTextOption::Tab((stop - lineStart) / 20.0, QTextOption::LeftTab));
            format.setTabPositions(tabs);
        }
        return format;
    }

    const QByteArray &in_;
    QTextDocument &document_;
    QTextCursor cursor_;
    qsizetype pos_ = 0;
    bool finished_ = false;
    std::vector<GroupState> stack_;
    GroupState state_;
    int pendingSkip_ = 0;
    QString pending_;
    CharState pendingFormat_;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;
    std::map<int, Font> fonts_;
    int fontNumber_ = -1;
    QString fontName_;
    bool fontFixedPitch_ = false;
    Picture picture_;
    int pictures_ = 0;
};

} // namespace

RtfDocument RtfReader::read(const QByteArray &bytes)
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    try {
        Parser(bytes, *document).run();
    } catch (const Failure &failure) {
        return {nullptr, failure.reason};
    }
    return {std::move(document), QString()};
}

} // namespace keytoner
