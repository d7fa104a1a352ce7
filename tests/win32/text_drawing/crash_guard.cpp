// A test process that faults ends at once with the exception code, instead of waiting in the
// system debugger (Wine starts winedbg) until the test's timeout.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI reportAndExit(EXCEPTION_POINTERS* exception) {
  const DWORD code = exception->ExceptionRecord->ExceptionCode;
  char module[MAX_PATH] = "?";
  HMODULE owner = nullptr;
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCSTR>(exception->ExceptionRecord->ExceptionAddress), &owner)) {
    GetModuleFileNameA(owner, module, sizeof module);
  }
  std::fprintf(stderr, "\nunhandled exception 0x%08lx at %p in %s\n", static_cast<unsigned long>(code),
               exception->ExceptionRecord->ExceptionAddress, module);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

const bool installed = [] {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(reportAndExit);
  return true;
}();

}  // namespace
