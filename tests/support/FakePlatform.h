#pragma once

#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

namespace keytoner::test {

struct ShownMessage {
    MessageIcon icon;
    QString title;
    QString text;
};

// Records every message box instead of showing it.
class FakeMessageBoxes : public MessageBoxes {
public:
    void show(QWidget *, MessageIcon icon, const QString &title, const QString &text) override
    {
        shown.append({icon, title, text});
    }
    QList<ShownMessage> shown;
};

// Answers file dialogs from a queue of prepared answers (nullopt = the user cancelled) and
// records the requests.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<QString> saveFileName(QWidget *, const FileDialogRequest &request) override
    {
        requests.append(request);
        return take();
    }
    std::optional<QString> openFileName(QWidget *, const FileDialogRequest &request) override
    {
        requests.append(request);
        return take();
    }
    std::deque<std::optional<QString>> answers;
    QList<FileDialogRequest> requests;

private:
    std::optional<QString> take()
    {
        if (answers.empty() || !answers.front().has_value()) {
            if (!answers.empty())
                answers.pop_front();
            return std::nullopt;
        }
        const QString answer = *answers.front();
        answers.pop_front();
        return answer;
    }
};

// A clock whose sleeps are recorded and, unless `realSleeps` is set, take no time.
class FakeClock : public SystemClock {
public:
    void sleepMs(int ms) override
    {
        sleeps.append(ms);
        if (realSleeps)
            SystemClock::sleepMs(ms);
    }
    QList<int> sleeps;
    bool realSleeps = false;
};

} // namespace keytoner::test
