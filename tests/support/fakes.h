// Test doubles for the injected side effects.
#pragma once

#include "comm/commstate.h"
#include "core/context.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace quillet {
// Tables of exchange outcomes keep the numbers the reader's callers used (0
// accepted, 1 faulty, 2 no answer, 3 cancelled).
constexpr bool operator==(Exchange e, int n) { return int(e) == n; }
}  // namespace quillet

namespace quillet::fakes {

// Message boxes that record what was shown and answer from a script
// (OK, or Yes for a Yes/No box, when the script is empty).
class ScriptedMessages : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
        int style;
    };
    int show(const QString& title, const QString& text, int style) override;

    std::deque<int> answers;
    std::vector<Shown> shown;
    QStringList texts() const;
};

// A virtual clock: every processEvents() advances time by stepMs and runs
// the hooks, so waits of seconds run in microseconds.
class VirtualClock : public Clock {
public:
    qint64 nowMs() override { return ms; }
    void processEvents() override;
    QDateTime now() override { return wallClock.addMSecs(ms); }

    qint64 ms = 0;
    qint64 stepMs = 1;
    QDateTime wallClock = QDateTime(QDate(2013, 11, 15), QTime(9, 5, 0));
    std::vector<std::function<void()>> hooks;  // run on every processEvents
};

// File dialogs answering from a script; nullopt entries are cancels.
class ScriptedDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest& r) override;
    std::optional<QString> saveFile(const FileDialogRequest& r) override;

    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogRequest> requests;
};

// A context wired to the doubles above, with its folders in a fresh
// temporary directory.
struct TestContext {
    TestContext();
    ~TestContext();

    AppContext ctx;
    ScriptedMessages messages;
    VirtualClock clock;
    ScriptedDialogs dialogs;
    QString root;  // the temporary directory
};

}  // namespace quillet::fakes
