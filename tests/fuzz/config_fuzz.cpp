// Fuzz target: the configuration file through the load, the settings'
// completion and save, the start-up item step and one edit of each kind, all
// over an in-memory disk. A file that loads must come back loadable.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/ConfigDocument.h"
#include "config/ItemFile.h"
#include "config/Settings.h"
#include "tests/config/FakePlatform.h"

using namespace qv::config;
using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryFiles files;
  IconvSystem system;
  files.files[kConfigPath] = std::string(reinterpret_cast<const char*>(data), size);
  ConfigDocument document(files, system, kConfigPath);
  Settings settings;
  const SettingsOutcome outcome = LoadSettings(document, settings);
  if (outcome.status != SettingsStatus::Loaded) return 0;
  if (settings.MinR < 0 || settings.MinR > 300 || settings.RotationValue < 1 || settings.RotationValue > 360)
    std::abort();
  StartupItems items(files, system, kConfigPath);
  if (!items.Load()) std::abort();  // what was just saved loads again
  for (int p = 1; p <= 3; ++p) {
    items.Read(ItemList::Ring, p);
    items.Read(ItemList::Dock, p);
  }
  items.SetIconDefine(ItemList::Ring, 1, "C:\\a.ico");
  items.Save();
  ItemFile edits(files, system, kConfigPath);
  edits.SwapRingItems(1, 2);
  edits.WriteRingItem(3, {"C:\\x.exe", "x"});
  edits.EmptyRingItem(2);
  edits.RemoveDockItem(1);
  edits.AppendDockItem(1, {"C:\\y.exe", "y"});
  ConfigDocument again(files, system, kConfigPath);
  if (again.Load().status != LoadStatus::Ok) std::abort();
  return 0;
}
