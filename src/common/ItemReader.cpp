#include "ItemReader.h"

namespace keytoner {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

} // namespace

ItemReader::ItemReader(QString text) : text_(std::move(text)) {}

bool ItemReader::atEnd() const
{
    qsizetype i = pos_;
    while (i < text_.size() && (isBlank(text_[i]) || isLineEnd(text_[i])))
        ++i;
    return i >= text_.size();
}

std::optional<QString> ItemReader::next()
{
    // Blank lines between items carry no item.
    while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineEnd(text_[pos_])))
        ++pos_;
    if (pos_ >= text_.size())
        return std::nullopt;

    QString item;
    if (text_[pos_] == u'"') {
        const qsizetype close = text_.indexOf(u'"', pos_ + 1);
        const qsizetype end = close < 0 ? text_.size() : close;
        item = text_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? text_.size() : close + 1;
        // Anything between the closing quote and the separator is not part of the item.
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
            ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
            ++pos_;
        item = text_.mid(start, pos_ - start).trimmed();
    }
    skipSeparator();
    return item;
}

void ItemReader::skipSeparator()
{
    if (pos_ >= text_.size())
        return;
    if (text_[pos_] == u',') {
        ++pos_;
        return;
    }
    if (text_[pos_] == u'\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == u'\n')
        ++pos_;
}

} // namespace keytoner
