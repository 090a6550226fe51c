#include "settings/settings_store.h"

namespace settings {

std::string NotKeptMessage(std::string_view what, const StoreFailure& failure) {
  std::string text(what);
  text += " NOT kept!\r\nThe settings file \"" + failure.file + "\" cannot be written: ";
  text += failure.reason + ".";
  return text;
}

}  // namespace settings
