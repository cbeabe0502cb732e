// Only for a build without a C runtime (NEBRIN_EXAMPLE_WITHOUT_CRT=ON), as the project's own CI
// builds the example with clang for *-pc-windows-msvc, which has no Microsoft C runtime there. A
// host built with a C runtime needs none of this.
extern "C" {
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int status);

// The compiler may call these for block copies and fills.
void* memset(void* target, int value, decltype(sizeof 0) size) {
  volatile unsigned char* bytes = static_cast<unsigned char*>(target);
  for (decltype(sizeof 0) i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value);
  return target;
}
void* memcpy(void* target, const void* source, decltype(sizeof 0) size) {
  volatile unsigned char* to = static_cast<unsigned char*>(target);
  const unsigned char* from = static_cast<const unsigned char*>(source);
  for (decltype(sizeof 0) i = 0; i < size; ++i) to[i] = from[i];
  return target;
}
}

int main();

// The entry point a C runtime would provide: the program's status is main's result.
extern "C" void mainCRTStartup() { ExitProcess(static_cast<unsigned int>(main())); }
