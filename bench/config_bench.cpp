// The configuration file is loaded, changed and saved whole on every change
// to an item, so these figures bound the cost of a drop or a delete.

#include <benchmark/benchmark.h>

#include "config/ConfigDocument.h"
#include "config/FontSpec.h"
#include "config/Settings.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

std::string Item(const std::string& name, int n) {
  const std::string number = std::to_string(n);
  return "\t\t<" + name + ">\n\t\t\t<File>C:\\Program Files\\Tool " + number + "\\tool" + number +
         ".exe</File>\n\t\t\t<Argument>/open \"C:\\Users\\me\\Documents\\file " + number +
         ".txt\"</Argument>\n\t\t\t<Name>工具 " + number +
         "</Name>\n\t\t\t<IconPath>\n\t\t\t\t<Default>C:\\Quorvel\\Icon\\tool" + number +
         ".exe.ico</Default>\n\t\t\t\t<Define />\n\t\t\t</IconPath>\n\t\t\t<Http />\n"
         "\t\t\t<InitialPosition>C:\\Program Files\\Tool " +
         number + "</InitialPosition>\n\t\t</" + name + ">\n";
}

// 20 ring items and 240 dock items, all filled, in the given encoding.
std::string FullConfiguration(const char* encoding) {
  std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + encoding +
                     "\"?>\n<Quorvel>\n\t<Setup>\n\t\t<Basic>\n" +
                     "\t\t\t<Front Index=\"0\" />\n\t\t\t<HideAfterClick>False</HideAfterClick>\n"
                     "\t\t\t<LockPosition>False</LockPosition>\n"
                     "\t\t\t<Background Index=\"1\" Size=\"300\">\n\t\t\t\t<Path />\n\t\t\t</Background>\n"
                     "\t\t\t<Center Index=\"1\" Action=\"4\" Size=\"115\">\n\t\t\t\t<Path />\n\t\t\t</Center>\n"
                     "\t\t\t<Position Left=\"600\" Top=\"368\" />\n\t\t\t<HotKey Key=\"C\" />\n"
                     "\t\t</Basic>\n\t</Setup>\n\t<RoundBackground>\n";
  for (int n = 1; n <= 20; ++n) text += Item("Circle" + std::to_string(n), n);
  text += "\t</RoundBackground>\n\t<RectBackground>\n";
  for (int k = 1; k <= 240; ++k) text += Item("Rect" + std::to_string(k), 20 + k);
  text += "\t</RectBackground>\n</Quorvel>\n";
  if (std::string(encoding) == "UTF-8") return text;
  return headless::IconvConvert(text, "UTF-8", encoding).value();
}

// The first start: read Basic, complete the five missing parts, save.
void LoadCompleteSave(benchmark::State& state, const char* encoding) {
  const std::string original = FullConfiguration(encoding);
  MemoryFiles files;
  IconvSystem system;
  ConfigDocument document(files, system, kConfigPath);
  for (auto _ : state) {
    files.files[kConfigPath] = original;
    Settings settings;
    const SettingsOutcome outcome = LoadSettings(document, settings);
    if (!outcome.saved) state.SkipWithError("not saved");
    benchmark::DoNotOptimize(settings.MinR);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * original.size()));
  state.counters["file_bytes"] = static_cast<double>(original.size());
}
BENCHMARK_CAPTURE(LoadCompleteSave, utf8, "UTF-8")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadCompleteSave, gb2312, "GB2312")->Unit(benchmark::kMicrosecond);

// What every item change costs: load, change one text, save.
void ChangeOneItem(benchmark::State& state) {
  MemoryFiles files;
  files.files[kConfigPath] = FullConfiguration("UTF-8");
  IconvSystem system;
  ConfigDocument document(files, system, kConfigPath);
  int turn = 0;
  for (auto _ : state) {
    if (document.Load().status != LoadStatus::Ok) state.SkipWithError("unreadable");
    const pugi::xml_node item = FirstChild(FirstChild(document.Root(), "RectBackground"), "Rect240");
    SetText(FirstChild(item, "Argument"), std::to_string(++turn));
    if (!document.Save()) state.SkipWithError("not saved");
  }
}
BENCHMARK(ChangeOneItem)->Unit(benchmark::kMicrosecond);

void ParseFontSpecs(benchmark::State& state) {
  const std::string texts[] = {kFactoryFontSpec, "\"Tahoma\", 9, [Bold|Italic], [clRed]",
                               "\"Segoe UI\", 10, [Underline|Strikeout], [clGradientInactiveCaption]",
                               "\"Arial\", 12, [], [$00123456]"};
  std::size_t i = 0;
  for (auto _ : state) {
    std::optional<FontSpec> font = ParseFontSpec(texts[i++ % std::size(texts)]);
    benchmark::DoNotOptimize(font);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseFontSpecs);

void FormatFontSpecs(benchmark::State& state) {
  const FontSpec font{"Tahoma", 9, true, true, false, false, 0xFF00001C};
  for (auto _ : state) {
    std::string text = FormatFontSpec(font);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FormatFontSpecs);

}  // namespace
}  // namespace qv::config
