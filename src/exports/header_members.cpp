// The translation unit clang reads to name every exported member of the chief header: its AST
// gives each member's decorated name for the target it is read for (generate_exports.cmake).
#include "NebrinCoreDll.h"
