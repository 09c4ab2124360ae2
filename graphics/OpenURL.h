#pragma once
// Opening a web address in the user's browser.

#include <string>

namespace sorel {

// Opens an address with xdg-open, detached; false when it could not start.
bool OpenURL(const std::string& url);

}  // namespace sorel
