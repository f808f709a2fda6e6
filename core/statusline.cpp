#include "core/statusline.h"

#include "core/context.h"

namespace quillet {

void showStatusWord(AppContext& ctx, const QString& text) {
    if (auto* line = dynamic_cast<StatusLine*>(ctx.view)) line->showStatus(text);
}

}  // namespace quillet
