# Checks that a DLL loads on XP: it imports only from XP's own system DLLs (so no compiler runtime
# DLL such as libstdc++-6, libgcc_s or libwinpthread-1, nor DLLs of later Windows such as bcrypt or
# api-ms-win-*), and none of the functions that arrived after XP and that compiler runtimes or
# careless code are known to pull in; one of either is enough to stop the DLL loading on XP.
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<dll> -P check_xp_imports.cmake
cmake_minimum_required(VERSION 3.25)
# The DLLs the product needs, all part of XP; compared without regard to case, as Windows does.
set(NEBRIN_XP_SYSTEM_DLLS
  advapi32.dll iphlpapi.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll psapi.dll
  setupapi.dll shell32.dll shlwapi.dll user32.dll wininet.dll winspool.drv ws2_32.dll)
set(NEBRIN_POST_XP_FUNCTIONS
  # Synchronisation and timing (threading runtimes).
  GetTickCount64 GetSystemTimePreciseAsFileTime GetCurrentProcessorNumber
  InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
  ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
  InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
  WakeConditionVariable WakeAllConditionVariable
  InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete
  FlsAlloc FlsFree FlsGetValue FlsSetValue
  CreateEventExW CreateMutexExW CreateSemaphoreExW
  # Files, locale and processes.
  GetFileInformationByHandleEx SetFileInformationByHandle GetFinalPathNameByHandleW
  CreateSymbolicLinkW CompareStringEx LCMapStringEx GetLocaleInfoEx QueryFullProcessImageNameW
  K32EnumProcesses K32EnumProcessModules K32GetModuleBaseNameW
  # Registry and networking.
  RegDeleteTreeW RegGetValueW RegDeleteKeyExW RegSetKeyValueW
  inet_pton inet_ntop InetPtonW InetNtopW if_nametoindex if_indextoname
  GetIfEntry2 GetIfTable2 GetIpForwardTable2 GetUnicastIpAddressTable
  ConvertInterfaceLuidToGuid ConvertInterfaceGuidToLuid ConvertInterfaceIndexToLuid
)

execute_process(COMMAND ${OBJDUMP} -p ${DLL}
  OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${error}")
endif()

# Only the import tables: the export table may name anything.
string(REPLACE "\r" "" dump "${dump}")
string(FIND "${dump}" "The Import Tables" start)
string(FIND "${dump}" "The Export Tables" end)
if(start EQUAL -1)
  message(FATAL_ERROR "${DLL} has no import tables")
endif()
if(end GREATER start)
  math(EXPR length "${end} - ${start}")
  string(SUBSTRING "${dump}" ${start} ${length} imports)
else()
  string(SUBSTRING "${dump}" ${start} -1 imports)
endif()

set(foreign "")
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${imports}")
foreach(entry IN LISTS names)
  string(REGEX REPLACE "^DLL Name: " "" name "${entry}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST NEBRIN_XP_SYSTEM_DLLS)
    list(APPEND foreign ${name})
  endif()
endforeach()
if(NOT names)
  message(FATAL_ERROR "${DLL}: no imported DLL names found in the import tables")
endif()
if(foreign)
  list(JOIN foreign "\n  " text)
  message(FATAL_ERROR "${DLL} imports DLLs that are not XP system DLLs:\n  ${text}")
endif()

set(found "")
foreach(function IN LISTS NEBRIN_POST_XP_FUNCTIONS)
  if(imports MATCHES "[ \t]${function}\n")
    list(APPEND found ${function})
  endif()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "${DLL} imports functions XP lacks:\n  ${text}")
endif()
message(STATUS "${DLL} imports only XP system DLLs and none of the checked functions newer than XP")
