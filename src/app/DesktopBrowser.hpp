// DesktopBrowser: handing the app's address to the user's own web browser.
#pragma once

#include <string>

namespace pelagrin {

/// Starts `$BROWSER URL` (its first entry, when it lists several) or else `xdg-open URL`, without waiting
/// for it; false when neither could be started. What the browser then does is its own business.
bool openInDesktopBrowser(const std::string& url);

} // namespace pelagrin
