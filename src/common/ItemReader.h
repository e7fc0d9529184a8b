#pragma once

#include <QString>
#include <optional>

namespace keytoner {

// Reads comma-separated items, the format of the settings file and of configuration files.
// An item ends at a comma or at a line end, so an empty line is one empty item and a comma at
// the end of a line is followed by an empty item. A quoted item runs to the next double quote
// (commas and line ends included) and is the text between the quotes; an unquoted item loses
// the blanks around it. Items may be spread over lines in any way.
class ItemReader {
public:
    explicit ItemReader(QString text);

    // The next item, or nothing when the text has run out.
    std::optional<QString> next();
    bool atEnd() const;

private:
    void skipSeparator();

    QString text_;
    qsizetype pos_ = 0;
    // A comma promises one more item, even at the very end of the text.
    bool afterComma_ = false;
};

} // namespace keytoner
