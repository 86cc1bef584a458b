#pragma once

namespace quorvel {

// Whether the main window shows its plot, as the user last chose it (shown at first start).
bool plotShownSetting();
void rememberPlotShown(bool shown);

}  // namespace quorvel
