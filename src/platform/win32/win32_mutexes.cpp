#include "platform/win32/win32_mutexes.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {

namespace {
HANDLE AsHandle(MutexHandle mutex) { return reinterpret_cast<HANDLE>(mutex); }
}  // namespace

Status Win32Mutexes::Create(const std::u16string& name, MutexHandle& mutex) {
  mutex = kNoMutex;
  const std::wstring wide = ToWin(name);
  HANDLE handle = CreateMutexW(nullptr, FALSE, wide.c_str());
  // CreateMutexW asks for full access to an existing mutex. One another user of the session made
  // may grant this user less: waiting and releasing need only these two rights. A mutex made
  // with the default security descriptor (its creator, SYSTEM and administrators) refuses even
  // them, and the error stays ERROR_ACCESS_DENIED.
  if (handle == nullptr && GetLastError() == ERROR_ACCESS_DENIED)
    handle = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, wide.c_str());
  if (handle == nullptr) return GetLastError();
  mutex = reinterpret_cast<MutexHandle>(handle);
  return kSuccess;
}

std::uint32_t Win32Mutexes::Wait(MutexHandle mutex, std::uint32_t milliseconds, Status& error) {
  error = kSuccess;
  const DWORD result = WaitForSingleObject(AsHandle(mutex), milliseconds);
  if (result == WAIT_FAILED) error = GetLastError();
  return result;
}

Status Win32Mutexes::Release(MutexHandle mutex) {
  return ReleaseMutex(AsHandle(mutex)) ? kSuccess : GetLastError();
}

void Win32Mutexes::Close(MutexHandle mutex) {
  if (mutex != kNoMutex) CloseHandle(AsHandle(mutex));
}

}  // namespace nebrin::platform::win32
