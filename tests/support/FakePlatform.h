#pragma once

#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <deque>
#include <functional>
#include <optional>

namespace keytoner::test {

struct ShownMessage {
    MessageIcon icon;
    QString title;
    QString text;
};

// Records every message box instead of showing it. `whileShown` runs as if the box were up
// (modal, the user not having closed it yet).
class FakeMessageBoxes : public MessageBoxes {
public:
    void show(QWidget *, MessageIcon icon, const QString &title, const QString &text) override
    {
        shown.append({icon, title, text});
        if (whileShown)
            whileShown(shown.last());
    }
    QList<ShownMessage> shown;
    std::function<void(const ShownMessage &)> whileShown;
};

// Answers file dialogs from a queue of prepared answers (nullopt = the user cancelled) and
// records the requests. `whileShown` runs as if the dialog were up.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<QString> saveFileName(QWidget *, const FileDialogRequest &request) override
    {
        return answer(request);
    }
    std::optional<QString> openFileName(QWidget *, const FileDialogRequest &request) override
    {
        return answer(request);
    }
    std::deque<std::optional<QString>> answers;
    QList<FileDialogRequest> requests;
    std::function<void()> whileShown;

private:
    std::optional<QString> answer(const FileDialogRequest &request)
    {
        requests.append(request);
        if (whileShown)
            whileShown();
        if (answers.empty())
            return std::nullopt;
        const std::optional<QString> next = answers.front();
        answers.pop_front();
        return next;
    }
};

// A clock whose sleeps are recorded and, unless `realSleeps` is set, take no time. With
// `manualTime` set its tick reads `nowMs`, which the sleeps and advance() move on.
class FakeClock : public SystemClock {
public:
    qint64 tickMs() override { return manualTime ? nowMs : SystemClock::tickMs(); }
    void sleepMs(int ms) override
    {
        sleeps.append(ms);
        if (manualTime)
            nowMs += ms;
        if (realSleeps)
            SystemClock::sleepMs(ms);
    }
    void advance(qint64 ms) { nowMs += ms; }
    QList<int> sleeps;
    bool realSleeps = false;
    bool manualTime = false;
    qint64 nowMs = 0;
};

} // namespace keytoner::test
