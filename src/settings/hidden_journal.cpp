#include "settings/hidden_journal.h"

#include <iterator>
#include <utility>

namespace {

constexpr char kMagic[] = "VSJ1";
constexpr std::size_t kMagicBytes = sizeof(kMagic) - 1;
constexpr std::size_t kMaxName = 0xFF;
constexpr std::size_t kMaxClass = 0xFFFF;

void PutLE(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutText(std::string& out, const std::string& text, std::size_t limit, int lengthBytes) {
  const std::size_t n = text.size() < limit ? text.size() : limit;
  PutLE(out, static_cast<std::uint32_t>(n), lengthBytes);
  out.append(text, 0, n);
}

// Reads from what the store returned and never past it: each take checks what is left first.
class Reader {
 public:
  Reader(const std::string& data, std::size_t from) : data_(data), pos_(from) {}
  bool AtEnd() const { return pos_ == data_.size(); }
  bool Take(int bytes, std::uint32_t* v) {
    if (data_.size() - pos_ < static_cast<std::size_t>(bytes)) return false;
    *v = 0;
    for (int i = 0; i < bytes; ++i)
      *v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
    pos_ += static_cast<std::size_t>(bytes);
    return true;
  }
  bool TakeText(int lengthBytes, std::string* text) {
    std::uint32_t n = 0;
    if (!Take(lengthBytes, &n) || data_.size() - pos_ < n) return false;
    text->assign(data_, pos_, n);
    pos_ += n;
    return true;
  }

 private:
  const std::string& data_;
  std::size_t pos_;
};

bool TakeRecord(Reader& in, JournalRecord* r) {
  std::uint32_t window = 0, process = 0, desktop = 0;
  if (!in.Take(4, &window) || !in.Take(4, &process) || !in.Take(2, &desktop)) return false;
  r->window = window;
  r->process = process;
  r->desktop = static_cast<DesktopNumber>(desktop);
  return in.TakeText(1, &r->desktopName) && in.TakeText(2, &r->windowClass);
}

}  // namespace

namespace {

// Still hidden although its desktop is shown: the show waits for its program.
bool ShowPending(const PendingCalls& pending, WindowId w) {
  if (pending.empty()) return false;
  auto it = pending.find(w);
  return it != pending.end() && it->second == kShowPending;
}

}  // namespace

std::vector<JournalRecord> HiddenWindowRecords(const DesktopTable& table, DesktopNumber shown,
                                               const PendingCalls& pending, WindowSystem& windows) {
  std::vector<JournalRecord> records;
  std::size_t listed = 0;
  for (const auto& entry : table) listed += entry.second.windows.size();
  records.reserve(listed);
  for (const auto& [number, desk] : table) {
    for (const WindowEntry& entry : desk.windows) {
      if (number == shown && !ShowPending(pending, entry.window)) continue;
      JournalRecord r{entry.window, entry.process, number, desk.name, entry.windowClass};
      if (r.process == 0) {  // every capture identifies; this only keeps the journal whole
        r.process = windows.ProcessOf(entry.window);
        r.windowClass = windows.ClassOf(entry.window);
      }
      records.push_back(std::move(r));
    }
  }
  return records;
}

std::string EncodeJournal(const std::vector<JournalRecord>& records, std::size_t* encoded) {
  std::string out(kMagic, kMagicBytes);
  out.reserve(records.size() * 32);  // a record with a short name and class
  std::string one;
  std::size_t count = 0;
  for (const JournalRecord& r : records) {
    one.clear();
    PutLE(one, r.window, 4);
    PutLE(one, r.process, 4);
    PutLE(one, static_cast<std::uint16_t>(r.desktop), 2);
    PutText(one, r.desktopName, kMaxName, 1);
    PutText(one, r.windowClass, kMaxClass, 2);
    if (out.size() + one.size() > journal::kCapacity) break;
    out += one;
    ++count;
  }
  if (encoded) *encoded = count;
  return out;
}

bool DecodeJournal(const std::string& data, std::vector<JournalRecord>* records) {
  records->clear();
  if (data.compare(0, kMagicBytes, kMagic) != 0) return false;
  Reader in(data, kMagicBytes);
  while (!in.AtEnd()) {
    JournalRecord r;
    if (!TakeRecord(in, &r)) {
      records->clear();
      return false;
    }
    records->push_back(std::move(r));
  }
  return true;
}

std::string journal::SessionKey(std::uint32_t session) {
  return std::string(kKey) + "\\" + std::to_string(session);
}

std::vector<JournalRecord> HiddenJournal::Read() {
  std::vector<JournalRecord> records;
  SettingsStore::Key key = 0;
  if (!store_.OpenKey(key_, &key)) {
    stored_ = std::string();
    return records;
  }
  std::string data;
  // Anything unreadable leaves stored_ unknown, so the next write replaces it.
  if (store_.QueryValue(key, journal::kValue, journal::kCapacity, &data) &&
      DecodeJournal(data, &records))
    stored_ = data;
  store_.CloseKey(key);
  return records;
}

bool HiddenJournal::Write(const std::vector<JournalRecord>& records) {
  std::size_t encoded = 0;
  const std::string data = records.empty() ? std::string() : EncodeJournal(records, &encoded);
  if (stored_ && *stored_ == data) return true;
  if (data.empty()) {
    store_.DeleteKey(key_);
    store_.DeleteKey(journal::kKey);  // refused while another session's journal is in it
    stored_ = data;
    return true;
  }
  if (Store(data) && encoded == records.size()) return true;
  stored_.reset();  // made again at the next call
  return false;
}

// The volatile key's parent is made first as an ordinary key: creating the volatile key alone
// would create a missing parent volatile too, and the settings in it would go at logoff.
bool HiddenJournal::Store(const std::string& data) {
  SettingsStore::Key key = 0;
  bool created = false;
  if (!store_.CreateKey(journal::kParentKey, &key, &created)) return false;
  store_.CloseKey(key);
  if (!store_.CreateVolatileKey(key_, &key)) return false;
  const bool written = store_.SetValue(key, journal::kValue, SettingsStore::kBinary, data);
  store_.CloseKey(key);
  if (written) stored_ = data;
  return written;
}

void RescueList::Publish(const std::vector<JournalRecord>& records) {
  const int spare = 1 - active_.load(std::memory_order_relaxed);
  std::vector<WindowId>& ids = buffers_[spare];
  ids.clear();
  for (const JournalRecord& r : records) ids.push_back(r.window);
  active_.store(spare, std::memory_order_release);
}
