#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace keytoner {

// Keytoner2.ini: one line of eleven comma-separated fields that carries the window position,
// the open tab, the sending fields and the last configuration file from one run to the next.
// Text fields are quoted, the three numbers are bare.
struct SettingsValues {
    QString configFile;
    int left = 0; // twips
    int top = 0;  // twips
    int tab = 0;
    QString sequence;    // Text1
    QString digitMs;     // Text2
    QString gapMs;       // Text3
    QString pauseMs;     // Text4
    QString pttPort;     // txtPttCom
    QString programPort; // txtPrgComm
    QString txDelayMs;   // txtTxd

    bool operator==(const SettingsValues &) const = default;
};

// What reading the file gave: the fields up to the first one that could not be read, the
// others left empty or 0, and the one-based number of that field when reading stopped early.
struct SettingsRead {
    SettingsValues values;
    std::optional<int> failedField;
};

// What loading the file gave: the values to use, and whether the file must be replaced by the
// default line (it was missing, unreadable or stopped early).
struct SettingsLoad {
    SettingsValues values;
    bool writeDefaults = false;
};

namespace SettingsFile {

inline constexpr int FieldCount = 11;

QString fileName();
// The values of a first start; the configuration file is Default.prg in the program folder.
SettingsValues defaults(const QString &programFolder);
// The line as written, ended by CR LF. The numbers are held to the 16-bit range that parse
// accepts: a window placed far right on a wide desktop must not make the next start drop the
// whole line.
QString format(const SettingsValues &values);
// The line cannot carry a double quote or a line end inside a quoted field. In the sending
// fields neither means anything (only pasting puts them there), so they are dropped; the path
// keeps them, and `unwritable` then refuses the line.
SettingsValues writable(SettingsValues values);
// Why the line cannot be written so that it reads back as it stands; nothing when it can.
std::optional<QString> unwritable(const SettingsValues &values);
// Reads the fields in order. A number must fit a 16-bit signed integer after rounding halves
// to even; anything else stops the reading at that field.
SettingsRead parse(const QString &text);

// The file's bytes: UTF-8 as written here; a line that is not valid UTF-8 comes from an older
// program in a single-byte code page and is read as Latin-1, so that a path keeps its letters.
QString decode(const QByteArray &bytes);
QByteArray encode(const QString &line);

// Reads the file at path. A missing or unreadable file gives the values of the default line; a
// file that stops early keeps the fields read so far, the rest empty.
SettingsLoad load(const QString &path, const QString &programFolder);
// Writes the line to a new file that then replaces the old one, so that a crash never leaves half
// a line; false when the line could not be written whole.
bool save(const QString &path, const QString &line);

} // namespace SettingsFile

} // namespace keytoner
