// The status bar's word on what a command did ("ロガーに設定を書き込みました
// …", "…を最近使ったファイルから外しました"): a view that has a status line
// shows it until the next command; without one (quillet-cli, most tests)
// the word goes nowhere.
#pragma once

#include <QString>

namespace quillet {

struct AppContext;

class StatusLine {
public:
    virtual ~StatusLine() = default;
    virtual void showStatus(const QString& text) = 0;
};

// Shows text on ctx.view's status line where the view has one.
void showStatusWord(AppContext& ctx, const QString& text);

}  // namespace quillet
