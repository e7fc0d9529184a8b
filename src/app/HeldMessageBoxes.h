#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace keytoner {

// The window's message boxes. While held (the serial link is in the middle of an exchange with
// the board), a box asked for is kept and shown once the hold ends: a modal box runs its own
// event loop, and the exchange waiting beneath it would stop with the board half-way through
// until the user closed the box. Kept boxes are shown from the event loop, in order.
class HeldMessageBoxes : public QObject, public MessageBoxes {
    Q_OBJECT
public:
    explicit HeldMessageBoxes(MessageBoxes &boxes) : boxes_(boxes) {}

    void show(QWidget *parent, MessageIcon icon, const QString &title,
              const QString &text) override;

    void hold() { ++holds_; }
    void release();
    bool held() const { return holds_ > 0; }
    qsizetype kept() const { return kept_.size(); }

private:
    struct Box {
        QPointer<QWidget> parent;
        MessageIcon icon;
        QString title;
        QString text;
    };

    void showKept();

    MessageBoxes &boxes_;
    QList<Box> kept_;
    int holds_ = 0;
};

} // namespace keytoner
