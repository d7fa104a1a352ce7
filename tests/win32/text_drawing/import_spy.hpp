#pragma once
// Records the USER32/GDI32 calls that drawText and the ticker make, by pointing this executable's import
// slots at recorders that call the real function and note its arguments and result. The calls
// still reach the platform; the recorder only watches.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tamblin::test {

struct Call {
  std::string name;
  std::vector<std::uintptr_t> args;
  std::uintptr_t result = 0;
  friend bool operator==(const Call&, const Call&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Call& call) {
    out << call.name << "(";
    for (std::size_t i = 0; i < call.args.size(); ++i) out << (i ? ", " : "") << std::hex << "0x" << call.args[i];
    return out << ") -> 0x" << call.result << std::dec;
  }
};

// Points every import slot of this executable that holds `original` at `replacement`;
// returns how many slots it changed.
inline int patchImportSlots(const void* original, const void* replacement) {
  auto* base = reinterpret_cast<std::uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  int patched = 0;
  for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       module->Name != 0; ++module) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); slot->u1.Function != 0;
         ++slot) {
      if (reinterpret_cast<const void*>(slot->u1.Function) != original) continue;
      DWORD protection = 0;
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
      ++patched;
    }
  }
  return patched;
}

template <typename Function>
Function platformFunction(const char* module, const char* name) {
  const FARPROC address = GetProcAddress(GetModuleHandleA(module), name);
  Function function = nullptr;
  std::memcpy(&function, &address, sizeof function);
  return function;
}

// While a PlatformSpy exists, these platform calls are recorded in order.
class PlatformSpy {
 public:
  PlatformSpy() {
    calls().clear();
    install(true);
  }
  ~PlatformSpy() { install(false); }
  PlatformSpy(const PlatformSpy&) = delete;
  PlatformSpy& operator=(const PlatformSpy&) = delete;

  static std::vector<Call>& calls() {
    static std::vector<Call> recorded;
    return recorded;
  }
  // The font description and text bytes of the last CreateFontIndirectA and TextOutA.
  static LOGFONTA& lastFont() {
    static LOGFONTA font{};
    return font;
  }
  static std::string& lastText() {
    static std::string text;
    return text;
  }

 private:
  template <typename T>
  static std::uintptr_t word(T value) {
    if constexpr (std::is_pointer_v<T>) {
      return reinterpret_cast<std::uintptr_t>(value);
    } else {
      return static_cast<std::uintptr_t>(value);
    }
  }
  static void note(const char* name, std::vector<std::uintptr_t> args, std::uintptr_t result) {
    calls().push_back(Call{name, std::move(args), result});
  }

  using GetDcFn = HDC(WINAPI*)(HWND);
  using ReleaseDcFn = int(WINAPI*)(HWND, HDC);
  using CreateFontFn = HFONT(WINAPI*)(const LOGFONTA*);
  using SelectObjectFn = HGDIOBJ(WINAPI*)(HDC, HGDIOBJ);
  using SetBkModeFn = int(WINAPI*)(HDC, int);
  using SetTextColorFn = COLORREF(WINAPI*)(HDC, COLORREF);
  using TextOutFn = BOOL(WINAPI*)(HDC, int, int, LPCSTR, int);
  using DeleteObjectFn = BOOL(WINAPI*)(HGDIOBJ);
  using SetTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);

  struct Real {
    GetDcFn getDc = platformFunction<GetDcFn>("user32.dll", "GetDC");
    ReleaseDcFn releaseDc = platformFunction<ReleaseDcFn>("user32.dll", "ReleaseDC");
    CreateFontFn createFont = platformFunction<CreateFontFn>("gdi32.dll", "CreateFontIndirectA");
    SelectObjectFn selectObject = platformFunction<SelectObjectFn>("gdi32.dll", "SelectObject");
    SetBkModeFn setBkMode = platformFunction<SetBkModeFn>("gdi32.dll", "SetBkMode");
    SetTextColorFn setTextColor = platformFunction<SetTextColorFn>("gdi32.dll", "SetTextColor");
    TextOutFn textOut = platformFunction<TextOutFn>("gdi32.dll", "TextOutA");
    DeleteObjectFn deleteObject = platformFunction<DeleteObjectFn>("gdi32.dll", "DeleteObject");
    SetTimerFn setTimer = platformFunction<SetTimerFn>("user32.dll", "SetTimer");
  };
  static const Real& real() {
    static const Real functions;
    return functions;
  }

  static HDC WINAPI getDc(HWND window) {
    HDC dc = real().getDc(window);
    note("GetDC", {word(window)}, word(dc));
    return dc;
  }
  static int WINAPI releaseDc(HWND window, HDC dc) {
    const int result = real().releaseDc(window, dc);
    note("ReleaseDC", {word(window), word(dc)}, word(result));
    return result;
  }
  static HFONT WINAPI createFont(const LOGFONTA* font) {
    lastFont() = *font;
    HFONT result = real().createFont(font);
    note("CreateFontIndirectA", {}, word(result));
    return result;
  }
  static HGDIOBJ WINAPI selectObject(HDC dc, HGDIOBJ object) {
    HGDIOBJ result = real().selectObject(dc, object);
    note("SelectObject", {word(dc), word(object)}, word(result));
    return result;
  }
  static int WINAPI setBkMode(HDC dc, int mode) {
    const int result = real().setBkMode(dc, mode);
    note("SetBkMode", {word(dc), word(mode)}, word(result));
    return result;
  }
  static COLORREF WINAPI setTextColor(HDC dc, COLORREF colour) {
    const COLORREF result = real().setTextColor(dc, colour);
    note("SetTextColor", {word(dc), word(colour)}, word(result));
    return result;
  }
  static BOOL WINAPI textOut(HDC dc, int x, int y, LPCSTR text, int length) {
    lastText().assign(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    const BOOL result = real().textOut(dc, x, y, text, length);
    note("TextOutA", {word(dc), word(x), word(y), word(length)}, word(result));
    return result;
  }
  static BOOL WINAPI deleteObject(HGDIOBJ object) {
    const BOOL result = real().deleteObject(object);
    note("DeleteObject", {word(object)}, word(result));
    return result;
  }

  static UINT_PTR WINAPI setTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback) {
    const UINT_PTR result = real().setTimer(window, id, period, callback);
    note("SetTimer", {word(window), word(id), word(period), reinterpret_cast<std::uintptr_t>(callback)}, result);
    return result;
  }

  static void install(bool on) {
    const Real& r = real();
    const auto swap = [on](const void* platform, const void* recorder) {
      patchImportSlots(on ? platform : recorder, on ? recorder : platform);
    };
    swap(reinterpret_cast<const void*>(r.getDc), reinterpret_cast<const void*>(&getDc));
    swap(reinterpret_cast<const void*>(r.releaseDc), reinterpret_cast<const void*>(&releaseDc));
    swap(reinterpret_cast<const void*>(r.createFont), reinterpret_cast<const void*>(&createFont));
    swap(reinterpret_cast<const void*>(r.selectObject), reinterpret_cast<const void*>(&selectObject));
    swap(reinterpret_cast<const void*>(r.setBkMode), reinterpret_cast<const void*>(&setBkMode));
    swap(reinterpret_cast<const void*>(r.setTextColor), reinterpret_cast<const void*>(&setTextColor));
    swap(reinterpret_cast<const void*>(r.textOut), reinterpret_cast<const void*>(&textOut));
    swap(reinterpret_cast<const void*>(r.deleteObject), reinterpret_cast<const void*>(&deleteObject));
    swap(reinterpret_cast<const void*>(r.setTimer), reinterpret_cast<const void*>(&setTimer));
  }
};

}  // namespace tamblin::test
