# Checks that a DLL imports none of the functions that arrived after XP and that compiler runtimes
# or careless code are known to pull in; one of them is enough to stop the DLL loading on XP.
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<dll> -P check_xp_imports.cmake
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
message(STATUS "${DLL} imports nothing newer than XP from the checked list")
