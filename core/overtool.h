// overtool: small shared helpers of the displays and input fields.
#pragma once

#include <QString>

#include <cstdint>

namespace quillet {

struct AppContext;

// Card and test numbers through the setting characters; numbers of 256 and
// more are first set to 255 in the caller's variable.
QString cardText(const AppContext& ctx, int16_t& cardNo);
QString testText(const AppContext& ctx, int16_t& testNo);

// Keystroke filter of the input fields: the key, or 0 to discard it.
int filterKey(int key, int mode);

// Waits ms milliseconds on the context's clock, processing events.
void pauseMs(AppContext& ctx, int ms);

// Opens the help file at the given context.
bool openHelp(AppContext& ctx, int context);

}  // namespace quillet
