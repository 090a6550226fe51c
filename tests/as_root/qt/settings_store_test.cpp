// Settings stores that cannot be written, among them some only root can spoil: a file made immutable, a full disk,
// and a folder closed to the user nobody.
#include <filesystem>
#include <string>
#include <vector>

#include "as_root/as_root.h"
#include "platform/qt_settings_store.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// Sync says why and names the file; slot 3 reads what the file held before the save, and slot 5, saved alongside,
// nothing.
TEST_F(AsRoot, AStoreThatCannotBeWrittenSaysWhyAndReadsWhatTheFileHolds) {
  TempDir dir;
  const fs::path saved = fs::current_path();
  fs::current_path(dir.path());  // the shell commands below work here
  fs::permissions(dir.path(), fs::perms(0755));
  const std::string keep = "printf '[Global3]\\nName=old slot\\n' > ";
  const struct {
    std::string store, spoil;
    std::string undo = "true";
    std::string reason, slot3 = "old slot";
    bool asNobody = false;
  } cases[] = {
      {.store = "folder.conf", .spoil = "mkdir folder.conf", .reason = "it is a folder, not a file", .slot3 = "none"},
      {.store = "plain/store.conf", .spoil = "echo > plain", .reason = "its folder cannot be made", .slot3 = "none"},
      {.store = "immutable.conf",
       .spoil = keep + "immutable.conf && chattr +i immutable.conf",
       .undo = "chattr -i immutable.conf",
       .reason = "the file is read-only (Operation not permitted)"},
      // A format error in the file hides no failure.
      {.store = "broken.conf",
       .spoil = keep + "broken.conf && echo '[Defaults' >> broken.conf && chattr +i broken.conf",
       .undo = "chattr -i broken.conf",
       .reason = "the file is read-only (Operation not permitted)"},
      {.store = "small/full.conf",
       .spoil = "mkdir small && mount -t tmpfs -o size=32k tmpfs small && " + keep +
                "small/full.conf && { head -c 65536 /dev/zero > small/fill; true; }",
       .undo = "umount -l small",
       .reason = "there is no room for it (No space left on device)"},
      // Root writes into any folder: nobody meets its mode bits.
      {.store = "closed/store.conf",
       .spoil = "mkdir -m 755 closed && " + keep + "closed/store.conf && chmod 666 closed/store.conf",
       .reason = "its folder takes no new file (Permission denied)",
       .asNobody = true},
  };
  std::string notTried;
  for (const auto& c : cases) {
    const Spoiled spoiled(c.spoil, c.undo);
    if (!spoiled.made) {
      notTried += " " + c.store;
      continue;
    }
    const std::string file = dir / c.store;
    const auto attempt = [&] {
      platform::QtSettingsStore store(file);
      store.Save("Global3", "Name", "new slot");
      store.Save("Global5", "Name", "new slot");
      const auto failure = store.Sync();
      return Texts{failure ? failure->file : "kept", failure ? failure->reason : "",
                   store.Read("Global3", "Name").value_or("none"), store.Read("Global5", "Name").value_or("none")};
    };
    const Texts seen = c.asNobody ? AsNobody(attempt) : attempt();
    ASSERT_EQ(seen.size(), 4u) << c.store << ": " << seen[0];
    const std::string &failedFile = seen[0], &reason = seen[1], &slot3 = seen[2], &slot5 = seen[3];
    EXPECT_EQ(failedFile, file);
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(slot3, c.slot3) << c.store;
    EXPECT_EQ(slot5, "none") << c.store;
  }
  fs::current_path(saved);
  if (!notTried.empty()) GTEST_SKIP() << "this system cannot spoil these stores so:" << notTried;
}

}  // namespace
