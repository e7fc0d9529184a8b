#pragma once

#include <QCursor>
#include <QList>
#include <QPointer>

class QWidget;

namespace keytoner {

// The busy (hourglass) pointer over one window and its fields only. Message boxes and the
// program's other windows keep their own pointer, since they stay usable while the window
// is busy. Fields that chose a pointer of their own (a text field's I-beam) get the busy
// pointer too and their own back afterwards.
class BusyPointer {
public:
    explicit BusyPointer(QWidget &window) : window_(window) {}
    ~BusyPointer() { hide(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

    void show();
    void hide();
    bool shown() const { return shown_; }

private:
    struct OwnPointer {
        QPointer<QWidget> widget;
        QCursor cursor;
    };

    QWidget &window_;
    QList<OwnPointer> own_;
    bool shown_ = false;
};

} // namespace keytoner
