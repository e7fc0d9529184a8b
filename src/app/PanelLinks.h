#pragma once

#include "config/ConfigImage.h"

#include <QString>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace keytoner {

// What the panels know of each other. Each panel owns its frame's controls; the window hands
// every panel the others it needs as one of these, and connects their signals.

// A port number field with its Enable box and the button that opens the port chooser: what the
// serial link and the port chooser work on, whichever frame shows them.
struct PortControls {
    QCheckBox *enable = nullptr;
    QLineEdit *number = nullptr;
    QPushButton *chooser = nullptr;
};

// The CW call, its play button and the Morse speed, as the call preview uses them.
struct CallControls {
    QToolButton *play = nullptr;
    QLineEdit *call = nullptr;
    QLineEdit *speed = nullptr;
};

// The transmitter's key line, as the sender drives it.
class PttKeyer {
public:
    virtual ~PttKeyer() = default;
    virtual void SetPtt(bool on) = 0;
};

// The board's configuration fields, as the link reads them for PROGRAM and fills them on READ.
class BoardFields {
public:
    virtual ~BoardFields() = default;
    // Validates the fields and fills `image`; shows its own warning and returns false on failure.
    virtual bool BuildConfigImage(ConfigImage &image) = 0;
    // Writes a received image into the fields so that their change handlers run.
    virtual void ShowConfigImage(const ConfigImage &image) = 0;
};

// The programming port number, as configuration files read and set it.
class ProgramPortField {
public:
    virtual ~ProgramPortField() = default;
    virtual QString programPort() const = 0;
    // A different port while programming is enabled ends programming first.
    virtual void setProgramPort(const QString &port) = 0;
};

// The command memories and the IDs the replacement calculator works with.
class CommandMemories {
public:
    virtual ~CommandMemories() = default;
    virtual QString modifierId() const = 0;
    virtual QString checksumId() const = 0;
    virtual QStringList memories() const = 0;
};

} // namespace keytoner
