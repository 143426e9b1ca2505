#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/Iconv.h"
#include "platform/headless/PosixFiles.h"

namespace qv::headless {

HeadlessProcess::HeadlessProcess(HeadlessDesktop& desktop, std::string programDir)
    : desktop_(desktop), programDir_(std::move(programDir)), platform_{*this, *this, *this, *this, *this,
                                                                       *this, *this, *this, *this, canvas_,
                                                                       *this, *this, forms_} {
  desktop_.Attach(this);
}

HeadlessProcess::~HeadlessProcess() { Exit(); }

void HeadlessProcess::Exit() {
  if (exited_) return;
  exited_ = true;
  std::vector<WindowId> mine;
  for (const auto& [id, w] : desktop_.windows_)
    if (w.owner == this) mine.push_back(id);
  for (WindowId id : mine) desktop_.RemoveWindow(id);
  if (!mutexName_.empty()) desktop_.mutexes_.erase(mutexName_);
  mutexName_.clear();
  trayIcons_ = 0;
  timers_.clear();
  sink_ = nullptr;
  desktop_.Detach(this);
}

unsigned HeadlessProcess::TimerInterval(int id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.interval;
}

void HeadlessProcess::PostTimer(int id) { pendingTimers_.push_back(id); }

WindowRecord& HeadlessProcess::Window(WindowId id) {
  WindowRecord* w = desktop_.FindWindow(id);
  if (!w || w->owner != this) throw std::logic_error("no such window: " + std::to_string(id));
  return *w;
}

const WindowRecord& HeadlessProcess::Window(WindowId id) const {
  const WindowRecord* w = desktop_.FindWindow(id);
  if (!w || w->owner != this) throw std::logic_error("no such window: " + std::to_string(id));
  return *w;
}

// ---- windows ----

WindowId HeadlessProcess::CreateWindow(const WindowSpec& params) {
  WindowRecord r;
  r.owner = this;
  r.name = params.name;
  r.className = params.className;
  r.title = params.title;
  r.bounds = params.bounds;
  r.visible = params.visible;
  r.layered = params.layered;
  r.mainForm = params.mainForm;
  r.acceptsDrops = params.acceptsDrops;
  return desktop_.AddWindow(std::move(r));
}

void HeadlessProcess::DestroyWindow(WindowId id) {
  if (desktop_.FindWindow(id)) desktop_.RemoveWindow(id);
}
void HeadlessProcess::SetName(WindowId id, const std::string& name) { Window(id).name = name; }
std::string HeadlessProcess::Name(WindowId id) const { return Window(id).name; }
void HeadlessProcess::SetBounds(WindowId id, const Rect& bounds) {
  WindowRecord& w = Window(id);
  w.bounds = bounds;
  ++w.boundsCount;
}
void HeadlessProcess::SetBoundsMany(const std::vector<std::pair<WindowId, Rect>>& moves) {
  if (moves.empty()) return;
  ++batchCount_;
  for (const auto& [id, bounds] : moves) SetBounds(id, bounds);
}
void HeadlessProcess::SetToolTip(WindowId id, const std::string& text) { Window(id).toolTip = text; }
Rect HeadlessProcess::Bounds(WindowId id) const { return Window(id).bounds; }
void HeadlessProcess::Show(WindowId id, bool visible) { Window(id).visible = visible; }
bool HeadlessProcess::IsVisible(WindowId id) const { return Window(id).visible && !minimized_; }

WindowLayer HeadlessProcess::SetLayer(WindowId id, WindowLayer layer) {
  // Without a shell desktop window (as under Wine) the normal layer is the closest there is.
  if (layer == WindowLayer::Desktop && !desktop_.shellDesktop_) layer = WindowLayer::Normal;
  Window(id).layer = layer;
  return layer;
}

void HeadlessProcess::BringToTop(WindowId id) {
  Window(id);
  desktop_.RaiseToTop(id);
}
void HeadlessProcess::BringToForeground(WindowId id) { BringToTop(id); }

void HeadlessProcess::PushLayered(WindowId id, const LayeredSurface& surface, std::uint8_t alpha) {
  WindowRecord& w = Window(id);
  // A surface drawn at another scale than the window's would show stretched
  // or cut on a real display; it is a fault of whoever drew it.
  const int dpi = desktop_.Dpi();
  if (surface.width != ScaleForDpi(w.bounds.width, dpi) || surface.height != ScaleForDpi(w.bounds.height, dpi)) {
    ++w.sizeMismatches;
    Report(Severity::Warning, "The picture pushed to " + w.name + " is " + std::to_string(surface.width) + " x " +
                                  std::to_string(surface.height) + " pixels; the window is " +
                                  std::to_string(w.bounds.width) + " x " + std::to_string(w.bounds.height) + " at " +
                                  std::to_string(dpi) + " DPI");
  }
  w.surface = surface;
  w.alpha = alpha;
  w.bounds.width = UnscaleForDpi(surface.width, dpi);
  w.bounds.height = UnscaleForDpi(surface.height, dpi);
  ++w.pushCount;
}

void HeadlessProcess::AcceptDroppedFiles(WindowId id, bool accept) { Window(id).acceptsDrops = accept; }
Rect HeadlessProcess::ScreenBounds() const { return desktop_.Screen(); }
Point HeadlessProcess::CursorPosition() const { return desktop_.Cursor(); }

// A fixed desktop theme, so that tests can tell a resolved colour from a
// fallback: the light theme's colours, 0x00BBGGRR, index 25 unused.
std::optional<std::uint32_t> HeadlessProcess::SystemColour(int index) const {
  static constexpr std::uint32_t kColours[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000, 0xB4B4B4,
      0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969,
      0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
  if (index < 0 || index >= static_cast<int>(std::size(kColours)) || index == 25) return std::nullopt;
  return kColours[index];
}

// ---- timers ----

void HeadlessProcess::StartTimer(int id, unsigned intervalMs) {
  TimerState& t = timers_[id];
  t.interval = intervalMs;
  t.due = desktop_.NowMs() + std::max(1u, intervalMs);
  t.sequence = ++desktop_.timerSequence_;
}

void HeadlessProcess::StopTimer(int id) { timers_.erase(id); }

// ---- dialogs ----

MessageBoxResult HeadlessProcess::MessageBox(const std::string& text, const std::string& caption,
                                             MessageBoxButtons buttons, MessageBoxIcon icon) {
  MessageBoxResult answer = buttons == MessageBoxButtons::YesNo ? MessageBoxResult::Yes : MessageBoxResult::Ok;
  std::function<void()> whileOpen;
  if (!desktop_.scriptedAnswers_.empty()) {
    answer = desktop_.scriptedAnswers_.front().answer;
    whileOpen = std::move(desktop_.scriptedAnswers_.front().whileOpen);
    desktop_.scriptedAnswers_.pop_front();
  }
  desktop_.messageBoxes_.push_back({text, caption, buttons, icon, answer});
  ++boxesOpen_;
  forms_.Hold(true);
  if (whileOpen) whileOpen();
  if (--boxesOpen_ == 0) forms_.Hold(false);
  return answer;
}

// ---- files ----

bool HeadlessProcess::FileExists(const std::string& path) const {
  std::error_code ec;
  return std::filesystem::is_regular_file(desktop_.RealPath(path), ec);
}

std::vector<std::string> HeadlessProcess::ListFiles(const std::string& folder) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(desktop_.RealPath(folder), ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
    if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
  // The disk's own order would make tests depend on the machine; a name order is one a real disk also gives.
  std::sort(names.begin(), names.end());
  return names;
}

bool HeadlessProcess::DirectoryExists(const std::string& path) const {
  std::error_code ec;
  return std::filesystem::is_directory(desktop_.RealPath(path), ec);
}

bool HeadlessProcess::CreateDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::create_directory(desktop_.RealPath(path), ec);
}

std::optional<std::string> HeadlessProcess::ReadFile(const std::string& path) const {
  ++readCounts_[path];
  return ReadWholeFile(desktop_.RealPath(path).string());
}

bool HeadlessProcess::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  lastWriteFailure_.clear();
  // Worded as the system words a read-only folder's refusal.
  if (desktop_.refusedWrites_.count(path) != 0) {
    lastWriteFailure_ = "Not saved: the folder of " + path + " refuses a new file: Access is denied. (5)";
    return false;
  }
  errno = 0;
  if (WriteFileAtomicPosix(desktop_.RealPath(path).string(), bytes)) return true;
  lastWriteFailure_ = "Not saved: " + path + ": " + std::generic_category().message(errno);
  return false;
}

int HeadlessProcess::RemoveStaleTemporaries(const std::string& target) {
  const std::filesystem::path real = desktop_.RealPath(target);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(real, ec)) return 0;
  int removed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(real.parent_path(), ec)) {
    if (IsAtomicWriteLeftover(entry.path().filename().string(), real.filename().string()) &&
        std::filesystem::remove(entry.path(), ec))
      ++removed;
  }
  return removed;
}

bool HeadlessProcess::DeleteFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::remove(desktop_.RealPath(path), ec);
}

namespace {

class PosixReadableFile final : public IReadableFile {
 public:
  PosixReadableFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixReadableFile() override { ::close(fd_); }
  PosixReadableFile(const PosixReadableFile&) = delete;
  PosixReadableFile& operator=(const PosixReadableFile&) = delete;

  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const override {
    auto* bytes = static_cast<char*>(out);
    std::size_t done = 0;
    while (done < count) {
      const ssize_t got = ::pread(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      done += static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<IReadableFile> HeadlessProcess::OpenForRead(const std::string& path) const {
  const std::string real = desktop_.RealPath(path).string();
  const int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixReadableFile>(fd, static_cast<std::uint64_t>(info.st_size));
}

// ---- registry ----

std::string HeadlessProcess::RegistryPath(RegistryHive hive, const std::string& key) {
  std::string path = hive == RegistryHive::CurrentUser ? "HKCU\\" : "HKLM\\";
  for (char c : key) path += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path;
}

bool HeadlessProcess::KeyExists(RegistryHive hive, const std::string& key) const {
  return desktop_.registryKeys_.count(RegistryPath(hive, key)) != 0;
}

std::optional<std::string> HeadlessProcess::ReadString(RegistryHive hive, const std::string& key,
                                                       const std::string& value) const {
  std::string lowered;
  for (char c : value) lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto it = desktop_.registry_.find(RegistryPath(hive, key) + "\\\\" + lowered);
  if (it == desktop_.registry_.end()) return std::nullopt;
  return it->second;
}

bool HeadlessProcess::WriteString(RegistryHive hive, const std::string& key, const std::string& value,
                                  const std::string& data) {
  std::string lowered;
  for (char c : value) lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  desktop_.registryKeys_.insert(RegistryPath(hive, key));
  desktop_.registry_[RegistryPath(hive, key) + "\\\\" + lowered] = data;
  return true;
}

bool HeadlessProcess::DeleteValue(RegistryHive hive, const std::string& key, const std::string& value) {
  std::string lowered;
  for (char c : value) lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return desktop_.registry_.erase(RegistryPath(hive, key) + "\\\\" + lowered) != 0;
}

// ---- shell and tray ----

bool HeadlessProcess::Execute(const std::string& file, const std::string& arguments, const std::string& directory) {
  desktop_.launches_.push_back({file, arguments, directory});
  return true;
}

std::optional<std::string> HeadlessProcess::ResolveShortcut(const std::string& linkPath) {
  auto it = desktop_.shortcuts_.find(linkPath);
  if (it == desktop_.shortcuts_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> HeadlessProcess::ExtractShellIcon(const std::string& path) {
  desktop_.shellIconRequests_.push_back(path);
  const std::size_t sep = path.find_last_of("\\/:");
  const std::size_t dot = path.rfind('.');
  std::string ext;
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto it = desktop_.shellIcons_.find(ext);
  if (it == desktop_.shellIcons_.end()) it = desktop_.shellIcons_.find("*");
  if (it == desktop_.shellIcons_.end()) return std::nullopt;
  return it->second;
}

// ---- hot keys ----

bool HeadlessProcess::GlobalAtomExists(const std::string& name) const {
  for (const auto& [atom, text] : desktop_.atoms_)
    if (text == name) return true;
  return false;
}

std::uint16_t HeadlessProcess::GlobalAddAtom(const std::string& name) {
  for (const auto& [atom, text] : desktop_.atoms_)
    if (text == name) return atom;
  const std::uint16_t atom = desktop_.nextAtom_++;
  desktop_.atoms_[atom] = name;
  return atom;
}

void HeadlessProcess::GlobalDeleteAtom(std::uint16_t atom) { desktop_.atoms_.erase(atom); }

bool HeadlessProcess::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  // A combination another program holds cannot be taken.
  for (HeadlessProcess* p : desktop_.processes_)
    for (const auto& [otherId, keys] : p->hotKeys_)
      if (keys == std::pair{modifiers, virtualKey}) return false;
  hotKeys_[id] = {modifiers, virtualKey};
  return true;
}

bool HeadlessProcess::UnregisterHotKey(int id) { return hotKeys_.erase(id) != 0; }

bool HeadlessProcess::AddTrayIcon(const std::string& tip) {
  if (trayIcons_ > 0) return false;  // one icon per window and uID, as the shell keeps them
  trayIcons_ = 1;
  trayTip_ = tip;
  return true;
}

void HeadlessProcess::RemoveTrayIcon() { trayIcons_ = 0; }

// ---- system ----

bool HeadlessProcess::CreateSingleInstanceMutex(const std::string& name) {
  if (desktop_.mutexes_.count(name)) return false;
  desktop_.mutexes_.insert(name);
  mutexName_ = name;
  return true;
}

bool HeadlessProcess::SendToWindow(const std::string& className, const std::string& title, unsigned message,
                                   std::uintptr_t wParam, std::intptr_t lParam) {
  const WindowRecord* w = desktop_.FindWindowByClass(className, title);
  if (!w || !w->owner || !w->owner->sink_) return false;
  if (message == kTrayCallbackMessage) w->owner->sink_->OnTrayCallback(wParam, lParam);
  return true;
}

void HeadlessProcess::TrimWorkingSet() { ++trimCount_; }

void HeadlessProcess::ProcessPendingMessages() {
  if (!desktop_.pumpInput_.empty()) {
    // Taken out first: the input may let the loop run again.
    std::function<bool()> input = std::move(desktop_.pumpInput_.front());
    desktop_.pumpInput_.pop_front();
    if (!input()) desktop_.pumpInput_.push_front(std::move(input));
  }
  std::vector<int> pending;
  pending.swap(pendingTimers_);
  for (int id : pending)
    if (sink_ && timers_.count(id)) sink_->OnTimer(id);
}

std::optional<std::string> HeadlessProcess::DecodeToUtf8(const std::string& bytes, const std::string& encoding) const {
  return IconvConvert(bytes, encoding, "UTF-8");
}

std::optional<std::string> HeadlessProcess::EncodeFromUtf8(const std::string& utf8, const std::string& encoding) const {
  return IconvConvert(utf8, "UTF-8", encoding);
}

std::optional<std::string> HeadlessProcess::LoadResource(const std::string& type, const std::string& name) const {
  // The art's files: NAME.png for type "PNG", NAME_150.png for "PNG150".
  if (type.rfind("PNG", 0) != 0) return std::nullopt;
  const std::string scale = type.substr(3);
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!scale.empty()) upper += "_" + scale;
  return ReadWholeFile((desktop_.ArtDir() / "resources" / (upper + ".png")).string());
}

void HeadlessProcess::Run() {
  // A bounded stand-in for the message loop: an hour of virtual time at most.
  for (int i = 0; i < 3600 * 100 && !quitRequested_ && !exited_; ++i) {
    ProcessPendingMessages();
    desktop_.Advance(10);
  }
}

}  // namespace qv::headless
