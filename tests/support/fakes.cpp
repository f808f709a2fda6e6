#include "support/fakes.h"

#include "core/startup.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace quillet::fakes {

int ScriptedMessages::show(const QString& title, const QString& text, int style) {
    shown.push_back({title, text, style});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return (style & 7) == kYesNo ? kYes : kOk;
}

QStringList ScriptedMessages::texts() const {
    QStringList out;
    for (const auto& s : shown) out << s.text;
    return out;
}

void VirtualClock::processEvents() {
    ms += stepMs;
    for (auto& h : hooks) h();
}

std::optional<QString> ScriptedDialogs::openFile(const FileDialogRequest& r) {
    requests.push_back(r);
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileDialogRequest& r) { return openFile(r); }

namespace {
std::unique_ptr<QTemporaryDir> makeDir() {
    auto d = std::make_unique<QTemporaryDir>();
    d->setAutoRemove(true);
    return d;
}
}  // namespace

static thread_local std::vector<std::unique_ptr<QTemporaryDir>> gDirs;

TestContext::TestContext() {
    gDirs.push_back(makeDir());
    root = gDirs.back()->path();
    ctx.messages = &messages;
    ctx.clock = &clock;
    ctx.dialogs = &dialogs;
    startUp(ctx, buildFolders(root + "/appdata", root + "/documents", root + "/program"));
}

TestContext::~TestContext() = default;

}  // namespace quillet::fakes
