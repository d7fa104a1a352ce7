#pragma once
// What a process holds, for leak checks: its GDI objects and its memory.
//
// GetGuiResources answers 0 under Wine. Wine keeps each process's GDI handle table where Windows
// does, behind the PEB's GdiSharedHandleTable: 65,536 entries of 24 bytes, an entry in use having
// a non-zero type byte. Counting those entries gives the number of GDI objects, for this process
// or, read with ReadProcessMemory, for another one.
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace reliability {

struct GdiTableEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t user;
};
static_assert(sizeof(GdiTableEntry) == 24);
inline constexpr std::size_t kGdiTableEntries = 0x10000;

// GDI objects a process holds. Wine also keeps the update and visible regions of windows as
// region objects, which come and go with pending paints; the class never makes a region, so
// leak checks compare the count without them.
struct GdiObjects {
  int all = -1;      // -1: neither way could tell
  int regions = 0;   // of them, regions (0 where only GetGuiResources answers)
  int withoutRegions() const { return all - regions; }
};

inline GdiObjects gdiObjects(HANDLE process = GetCurrentProcess()) {
  const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
  if (reported != 0) return {static_cast<int>(reported), 0};
#if defined(_WIN64)
  using QueryInformation = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return {};
  constexpr std::size_t kTableField = 0xF8;  // PEB64.GdiSharedHandleTable
  std::uint64_t table = 0;
  const auto* field = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress) + kTableField;
  if (!ReadProcessMemory(process, field, &table, sizeof table, nullptr) || table == 0) return {};
  std::vector<GdiTableEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(GdiTableEntry), nullptr))
    return {};
  constexpr std::uint8_t kRegion = 4;
  GdiObjects count{0, 0};
  for (const GdiTableEntry& entry : entries) {
    count.all += entry.type != 0 ? 1 : 0;
    count.regions += entry.type == kRegion ? 1 : 0;
  }
  return count;
#else
  return {};
#endif
}

// Wine keeps every device context GetDC ever handed out in a cache that only grows (three GDI
// objects each), up to the most ever held at once. Holding a few at once before counting fills
// it, so that the count afterwards moves only for objects that are really kept.
inline void fillDcCache(int atOnce = 16) {
  std::vector<HDC> held;
  for (int i = 0; i < atOnce; ++i) held.push_back(GetDC(nullptr));
  for (HDC dc : held) ReleaseDC(nullptr, dc);
}

struct MemoryUse {
  std::size_t privateBytes = 0;
  std::size_t workingSet = 0;
  std::size_t peakWorkingSet = 0;
};
inline MemoryUse memoryUse(HANDLE process = GetCurrentProcess()) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return {};
  return {counters.PrivateUsage, counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

// Takes GDI handles until the table is full, then gives back `spare` of them, so that the next
// operations find exactly that many free slots. Everything is deleted on destruction.
class GdiFiller {
 public:
  explicit GdiFiller(std::size_t spare) {
    handles_.reserve(kGdiTableEntries);
    while (handles_.size() < kGdiTableEntries) {
      HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
      if (pen == nullptr) break;
      handles_.push_back(pen);
    }
    full_ = handles_.size() < kGdiTableEntries;
    for (std::size_t i = 0; i < spare && !handles_.empty(); ++i) {
      DeleteObject(handles_.back());
      handles_.pop_back();
    }
  }
  ~GdiFiller() { release(); }
  GdiFiller(const GdiFiller&) = delete;
  GdiFiller& operator=(const GdiFiller&) = delete;

  // Whether the table really ran full (and so the spare count is exact).
  bool reachedTheLimit() const { return full_; }
  std::size_t held() const { return handles_.size(); }
  void release() {
    for (HGDIOBJ handle : handles_) DeleteObject(handle);
    handles_.clear();
  }

 private:
  std::vector<HGDIOBJ> handles_;
  bool full_ = false;
};

}  // namespace reliability
