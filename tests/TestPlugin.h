// The plug-in library the end-to-end tests load: the one this build made, or the one named
// by TESMORA6_TEST_PLUGIN (to run the same tests against another build of it).
#pragma once

#include <cstdlib>
#include <string>

namespace tesmora6 {

inline std::string TestPluginPath() {
  const char* other = std::getenv("TESMORA6_TEST_PLUGIN");
  return other && *other ? other : TESMORA6_PLUGIN_PATH;
}

}  // namespace tesmora6
