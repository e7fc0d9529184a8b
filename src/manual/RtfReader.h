#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTextDocument;

namespace keytoner {

// What reading a rich-text file gave: the document, or why there is none.
struct RtfDocument {
    std::unique_ptr<QTextDocument> document;
    QString error; // set when document is null
};

// A small reader of the rich-text subset that word processors write for plain manuals:
// paragraphs, line breaks, tabs, bold, italic, underline, font sizes, fonts, colours, paragraph
// alignment and indents, Windows-1252 and Unicode escapes. Pictures, style sheets, document
// information and unknown destinations are skipped. Any byte sequence gives either a document
// or a reason; nothing in the input can make it crash or run away.
class RtfReader {
public:
    static RtfDocument read(const QByteArray &bytes);

    // Deeper nesting than this is refused; real documents stay far below it.
    static constexpr int MaxDepth = 200;
};

} // namespace keytoner
