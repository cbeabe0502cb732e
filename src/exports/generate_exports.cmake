# Names every exported member of the chief header from clang's reading of it, and writes what
# the build and the checks need, so that no list of exported names is kept by hand:
#
#   exported_members.cmake  every member of the header, in order: its qualified name, kind,
#                           parameter count, GCC (Itanium) name, Microsoft name (Windows) and
#                           whether it is built (not in members_not_built.txt)
#   NebrinCoreDll.def       (Windows) for GNU ld: every built member's Microsoft name, as an alias
#                           of GCC's code or, for a constructor, of its thunk
#   NebrinCoreDll-msvc.def  (Windows) for llvm-dlltool: the Microsoft names, for NebrinCoreDll.lib
#   member_references.cpp   (Windows) a host translation unit that uses every built member
#
# A member the header declares is aliased in NebrinCoreDll.def, so a member that is neither
# defined nor listed in members_not_built.txt fails the DLL's link.
#
# Usage: cmake -DCLANG=<clang++> -DINCLUDE_DIR=<include> -DSYSTEM=Windows|Linux
#              -DARCH=i686|x86_64 -DOUTPUT_DIR=<dir> -P generate_exports.cmake
cmake_minimum_required(VERSION 3.25)

set(here ${CMAKE_CURRENT_LIST_DIR})
foreach(required CLANG INCLUDE_DIR SYSTEM ARCH OUTPUT_DIR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "generate_exports.cmake needs -D${required}=...")
  endif()
endforeach()

# Reads the header for `target` and sets, in the caller, parallel lists of the exported classes'
# own members: <prefix>_NAMES (Class::member), _KINDS (constructor, assignment, member),
# _PARAMS (parameter count), _MANGLED (the target's decorated name), _CLASSES, _MEMBERS.
function(read_header_members target prefix)
  execute_process(
    COMMAND ${CLANG} --target=${target} -std=c++20 -nostdinc -isystem ${here}/msvc_shims
            -I ${INCLUDE_DIR} -fsyntax-only -Xclang -ast-dump=json ${here}/header_members.cpp
    OUTPUT_VARIABLE ast ERROR_VARIABLE error RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang could not read the header for ${target}:\n${error}")
  endif()

  set(names "")
  set(kinds "")
  set(params "")
  set(mangled "")
  set(classes "")
  set(members "")
  string(JSON count LENGTH "${ast}" inner)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON kind GET "${ast}" inner ${i} kind)
    if(NOT kind STREQUAL "CXXRecordDecl")
      continue()
    endif()
    string(JSON node GET "${ast}" inner ${i})
    string(JSON inner_count ERROR_VARIABLE no_inner LENGTH "${node}" inner)
    if(no_inner OR inner_count EQUAL 0)
      continue()  # a forward declaration
    endif()
    string(JSON class GET "${node}" name)

    # A class is exported when the header marks it with NEBRIN_API: dllimport on Windows, default
    # visibility elsewhere. The records carry no mark.
    set(exported FALSE)
    math(EXPR inner_last "${inner_count} - 1")
    foreach(j RANGE ${inner_last})
      string(JSON child_kind GET "${node}" inner ${j} kind)
      if(child_kind MATCHES "^(DLLImportAttr|DLLExportAttr|VisibilityAttr)$")
        set(exported TRUE)
      endif()
    endforeach()
    if(NOT exported)
      continue()
    endif()

    foreach(j RANGE ${inner_last})
      string(JSON child GET "${node}" inner ${j})
      string(JSON child_kind GET "${child}" kind)
      if(NOT child_kind MATCHES "^CXX(Method|Constructor|Destructor|Conversion)Decl$")
        continue()
      endif()
      string(JSON implicit ERROR_VARIABLE not_implicit GET "${child}" isImplicit)
      if(implicit STREQUAL "ON")
        continue()  # declared by the compiler, not by the header
      endif()
      string(JSON member GET "${child}" name)
      string(JSON decorated GET "${child}" mangledName)
      if(child_kind STREQUAL "CXXConstructorDecl")
        set(member_kind constructor)
      elseif(member STREQUAL "operator=")
        set(member_kind assignment)
      elseif(child_kind STREQUAL "CXXMethodDecl")
        set(member_kind member)
      else()
        message(FATAL_ERROR "${class}::${member}: the export scheme has no rule for a ${child_kind}")
      endif()
      set(parameter_count 0)
      string(JSON child_inner_count ERROR_VARIABLE no_parameters LENGTH "${child}" inner)
      if(NOT no_parameters AND child_inner_count GREATER 0)
        math(EXPR child_last "${child_inner_count} - 1")
        foreach(k RANGE ${child_last})
          string(JSON parameter_kind GET "${child}" inner ${k} kind)
          if(parameter_kind STREQUAL "ParmVarDecl")
            math(EXPR parameter_count "${parameter_count} + 1")
          endif()
        endforeach()
      endif()
      if("${class}::${member}" IN_LIST names)
        message(FATAL_ERROR "${class}::${member} is overloaded; members are named by class and "
                            "name in members_not_built.txt, so give the overload its own name")
      endif()
      list(APPEND names "${class}::${member}")
      list(APPEND kinds ${member_kind})
      list(APPEND params ${parameter_count})
      list(APPEND mangled "${decorated}")
      list(APPEND classes ${class})
      list(APPEND members "${member}")
    endforeach()
  endforeach()

  foreach(suffix NAMES KINDS PARAMS MANGLED CLASSES MEMBERS)
    string(TOLOWER ${suffix} variable)
    set(${prefix}_${suffix} "${${variable}}" PARENT_SCOPE)
  endforeach()
endfunction()

# Writes `content` to `path` only when it differs, so an unchanged result relinks nothing.
function(write_if_changed path content)
  if(EXISTS ${path})
    file(READ ${path} previous)
    if(previous STREQUAL content)
      return()
    endif()
  endif()
  file(WRITE ${path} "${content}")
endfunction()

# The members not built yet: one qualified name a line, "#" starts a comment.
file(STRINGS ${here}/members_not_built.txt lines)
set(not_built "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(line IN_LIST not_built)
    message(FATAL_ERROR "members_not_built.txt lists ${line} twice")
  endif()
  list(APPEND not_built "${line}")
endforeach()

if(SYSTEM STREQUAL "Windows")
  read_header_members(${ARCH}-w64-windows-gnu GCC)
  read_header_members(${ARCH}-pc-windows-msvc MSVC)
  if(NOT GCC_NAMES STREQUAL MSVC_NAMES)
    message(FATAL_ERROR "clang read different members for the GNU and the Microsoft target")
  endif()
  # i686 symbols carry a leading underscore that export tables and module definitions omit.
  if(ARCH STREQUAL "i686")
    list(TRANSFORM GCC_MANGLED REPLACE "^_(_Z)" "\\1")
  endif()
else()
  read_header_members(${ARCH}-pc-linux-gnu GCC)
  set(MSVC_MANGLED "")
endif()

foreach(member IN LISTS not_built)
  if(NOT member IN_LIST GCC_NAMES)
    message(FATAL_ERROR "members_not_built.txt lists ${member}, which the header does not declare")
  endif()
endforeach()

list(LENGTH GCC_NAMES member_count)
if(member_count EQUAL 0)
  message(FATAL_ERROR "clang found no exported member in the header")
endif()
math(EXPR member_last "${member_count} - 1")

set(built "")
set(def "")
set(msvc_def "")
set(references "")
foreach(i RANGE ${member_last})
  list(GET GCC_NAMES ${i} name)
  list(GET GCC_KINDS ${i} kind)
  list(GET GCC_MANGLED ${i} gcc)
  list(GET GCC_CLASSES ${i} class)
  list(GET GCC_MEMBERS ${i} member)
  if(name IN_LIST not_built)
    list(APPEND built 0)
    continue()
  endif()
  list(APPEND built 1)
  if(NOT SYSTEM STREQUAL "Windows")
    continue()
  endif()
  list(GET MSVC_MANGLED ${i} msvc)
  if(kind STREQUAL "constructor")
    # Microsoft's constructors return the object's address; GCC's return nothing.
    string(APPEND def "  ${msvc} = nebrin_msvc_constructor_${class}\n")
    string(APPEND references "  { ${class} object; Use(&object); }\n")
  else()
    string(APPEND def "  ${msvc} = ${gcc}\n")
    string(APPEND references "  Use(&${class}::${member});\n")
  endif()
  string(APPEND msvc_def "  ${msvc}\n")
endforeach()

set(banner "Generated from include/NebrinCoreDll.h by src/exports/generate_exports.cmake")
set(manifest "# ${banner}.\n")
string(APPEND manifest "set(NEBRIN_MEMBER_NAMES \"${GCC_NAMES}\")\n")
string(APPEND manifest "set(NEBRIN_MEMBER_KINDS \"${GCC_KINDS}\")\n")
string(APPEND manifest "set(NEBRIN_MEMBER_PARAMS \"${GCC_PARAMS}\")\n")
string(APPEND manifest "set(NEBRIN_MEMBER_GCC \"${GCC_MANGLED}\")\n")
string(APPEND manifest "set(NEBRIN_MEMBER_MSVC \"${MSVC_MANGLED}\")\n")
string(APPEND manifest "set(NEBRIN_MEMBER_BUILT \"${built}\")\n")
file(MAKE_DIRECTORY ${OUTPUT_DIR})
write_if_changed(${OUTPUT_DIR}/exported_members.cmake "${manifest}")

if(SYSTEM STREQUAL "Windows")
  write_if_changed(${OUTPUT_DIR}/NebrinCoreDll.def
    "; ${banner}.\n; GCC's names come from the classes' dllexport.\nEXPORTS\n${def}")
  write_if_changed(${OUTPUT_DIR}/NebrinCoreDll-msvc.def
    "; ${banner}.\nLIBRARY NebrinCoreDll.dll\nEXPORTS\n${msvc_def}")
  string(CONCAT host_source
    "// ${banner}.\n"
    "// Uses every member NebrinCoreDll.dll exports, so a host that links this file proves that\n"
    "// the import library resolves them all.\n"
    "#include \"NebrinCoreDll.h\"\n\n"
    "template <typename T>\n"
    "void Use(T pointer) {\n"
    "  static volatile T sink;  // a volatile store keeps the reference\n"
    "  sink = pointer;\n"
    "}\n\n"
    "void UseEveryMember() {\n${references}}\n")
  write_if_changed(${OUTPUT_DIR}/member_references.cpp "${host_source}")
endif()
