#include "ItemReader.h"

namespace keytoner {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}
bool isSeparator(QChar c)
{
    return c == u',' || isLineEnd(c);
}

} // namespace

ItemReader::ItemReader(QString text) : text_(std::move(text)) {}

bool ItemReader::atEnd() const
{
    return pos_ >= text_.size() && !afterComma_;
}

std::optional<QString> ItemReader::next()
{
    if (atEnd())
        return std::nullopt;
    afterComma_ = false;
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;

    QString item;
    if (pos_ < text_.size() && text_[pos_] == u'"') {
        const qsizetype close = text_.indexOf(u'"', pos_ + 1);
        const qsizetype end = close < 0 ? text_.size() : close;
        item = text_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? text_.size() : close + 1;
        // Anything between the closing quote and the separator is not part of the item.
        while (pos_ < text_.size() && !isSeparator(text_[pos_]))
            ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && !isSeparator(text_[pos_]))
            ++pos_;
        item = text_.mid(start, pos_ - start).trimmed();
    }
    skipSeparator();
    return item;
}

// CR CR LF counts as one line end: it is what a CR LF file becomes when a transfer converts its
// line ends a second time, and reading it as two would put an empty item after every line.
void ItemReader::skipSeparator()
{
    if (pos_ >= text_.size())
        return;
    if (text_[pos_] == u',') {
        ++pos_;
        afterComma_ = true;
        return;
    }
    if (text_[pos_] == u'\n') {
        ++pos_;
        return;
    }
    qsizetype crs = pos_;
    while (crs < text_.size() && text_[crs] == u'\r')
        ++crs;
    pos_ = (crs < text_.size() && text_[crs] == u'\n') ? crs + 1 : pos_ + 1;
}

} // namespace keytoner
