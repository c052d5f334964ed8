# ril4410_add_string_table(): compiles a text resource file into a BIN and its IDT_ header at
# build time with the installed ril4410 tool. Run with -P, this file is that build step.
#
#   ril4410_add_string_table(<name> SOURCE <file.txt> [WIDE] [CODE_PAGE <n>]
#                            [OUTPUT_DIR <dir>] [EMBED] [BASE <file>])
#
# Writes <dir>/<base>.bin and <dir>/<base>.h, <base> being the text file's name without its
# last extension; <dir> defaults to <current binary dir>/<name>. WIDE marks a UTF-16 text
# file without a byte-order mark (one with FF FE is always read as UTF-16). CODE_PAGE is
# the code page of a multibyte text file (65001 for UTF-8); without it, a file that starts
# with the UTF-8 mark EF BB BF is read as UTF-8, any other as code page 936 (GBK, the
# library's default); a WIDE table's header comments are in that code page too. The step
# always names the code page to the tool, whose own default follows the locale, so that the
# same text gives the same BIN and header whoever builds it.
# Both files are made again whenever the text file or the tool changes, and replaced only
# when their bytes change; the BIN's holder marker names the holder "build", so with
# SOURCE_DATE_EPOCH set the same text gives the same BIN on any machine.
# In a project that adds Ril4410 with add_subdirectory() or FetchContent, the helper runs
# the tool built in that tree.
# BASE names the base table that the text file translates (a text resource file or a BIN,
# read as the text file is; a file with a byte-order mark by its mark): the step then runs
# `ril4410 check --against`, so that a translation whose placeholders, IDs or macros depart
# from the base fails the build (the base's IDs it lacks are a warning).
# Creates the INTERFACE target <name>, which carries <dir> as include directory and builds
# both files before any target that links it; its properties RIL4410_BIN and RIL4410_HEADER,
# and the variables <name>_BIN and <name>_HEADER in the caller's scope, hold the two paths.
#
# EMBED also compiles the BIN into the program: <dir>/<name>_bin.c defines
#   const unsigned char <name>_bin[];      the BIN's bytes
#   const unsigned int <name>_bin_size;    their number
# (<name> with every character that cannot stand in a C identifier as '_', C linkage) in the
# static library <name>_embedded, which <name> links; load it with
# Ril_LoadResFromMemory(<name>_bin, <name>_bin_size), no BIN file needed at run time.

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  # The build step: check, import, header. The check shows every warning; a failure of any
  # step shows its messages and fails the build.
  cmake_minimum_required(VERSION 3.20)
  # A byte-order mark FF FE makes the import read UTF-16 whatever it is told, and EF BB BF
  # UTF-8 when no code page is given; the header must read the texts the same way.
  file(READ "${RIL4410_SOURCE}" mark LIMIT 3 HEX)
  set(tool_options "")
  if(RIL4410_WIDE OR mark MATCHES "^fffe")
    set(tool_options --wide)
  endif()
  # The code page is always named, never left to the tool's default, which follows the
  # locale of whoever runs the build; a wide table needs it too, for its header's comments.
  set(code_page "${RIL4410_CODE_PAGE}")
  if(code_page STREQUAL "" AND NOT tool_options AND mark STREQUAL "efbbbf")
    set(code_page 65001)
  elseif(code_page STREQUAL "")
    set(code_page 936)
  endif()
  list(APPEND tool_options --code-page "${code_page}")
  # What the outputs are made of; the stamp holds it. A text saved without change (or a tool
  # built again the same) finds the same key and leaves every output as it is, also when
  # a new import would only have put a new time into the BIN's holder marker.
  file(SHA256 "${RIL4410_SOURCE}" text_hash)
  file(SHA256 "${RIL4410_TOOL}" tool_hash)
  file(SHA256 "${CMAKE_CURRENT_LIST_FILE}" step_hash)
  set(base_hash "")
  if(RIL4410_BASE)
    file(SHA256 "${RIL4410_BASE}" base_hash)
  endif()
  string(JOIN "\n" key "${text_hash}" "${tool_hash}" "${step_hash}" "${base_hash}" "${tool_options}"
         "SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}" "${RIL4410_BIN}" "${RIL4410_HEADER_DIR}"
         "${RIL4410_EMBED_SOURCE}" "${RIL4410_EMBED_NAME}")
  set(made "")
  if(EXISTS "${RIL4410_STAMP}")
    file(READ "${RIL4410_STAMP}" made)
  endif()
  set(outputs_exist TRUE)
  foreach(output "${RIL4410_BIN}" "${RIL4410_HEADER}" "${RIL4410_EMBED_SOURCE}")
    if(NOT output STREQUAL "" AND NOT EXISTS "${output}")
      set(outputs_exist FALSE)
    endif()
  endforeach()
  if(made STREQUAL key AND outputs_exist)
    file(TOUCH "${RIL4410_STAMP}")
    return()
  endif()
  # The check first: its FILE:LINE:COL lines go straight to the build's output, and any
  # error fails the build before anything is written.
  execute_process(COMMAND "${RIL4410_TOOL}" check "${RIL4410_SOURCE}" ${tool_options}
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ril4410 check of ${RIL4410_SOURCE} failed")
  endif()
  if(RIL4410_BASE)
    set(against_options --code-page "${code_page}")
    if(RIL4410_WIDE)
      list(APPEND against_options --wide)
    endif()
    execute_process(
      COMMAND "${RIL4410_TOOL}" check --against "${RIL4410_BASE}" "${RIL4410_SOURCE}"
              ${against_options}
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "ril4410 check of ${RIL4410_SOURCE} against ${RIL4410_BASE} failed")
    endif()
  endif()
  # Reproducible and quiet for the build: the holder marker names no user (and carries the
  # time of SOURCE_DATE_EPOCH when it is set), an output whose bytes stay the same is left
  # untouched, so that nothing that depends on it is built again, and the warnings the check
  # has just shown are not shown twice.
  set(import_options --holder build --if-changed --quiet)
  execute_process(
    COMMAND "${RIL4410_TOOL}" import "${RIL4410_SOURCE}" "${RIL4410_BIN}" ${tool_options}
            ${import_options}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE messages)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ril4410 import of ${RIL4410_SOURCE} failed:\n${output}${messages}")
  endif()
  if(NOT messages STREQUAL "")
    message(WARNING "ril4410 import of ${RIL4410_SOURCE}:\n${messages}")
  endif()
  execute_process(
    COMMAND "${RIL4410_TOOL}" header "${RIL4410_BIN}" "${RIL4410_HEADER_DIR}" ${tool_options}
            --if-changed
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE messages)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ril4410 header of ${RIL4410_BIN} failed:\n${output}${messages}")
  endif()
  if(RIL4410_EMBED_SOURCE)
    # The BIN as a C array, 16 bytes a line.
    file(READ "${RIL4410_BIN}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
           "\\1\n  " hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    set(c "${RIL4410_EMBED_NAME}")
    string(CONCAT source
      "/* The BIN image of ${RIL4410_BIN}, generated by ril4410_add_string_table(). */\n"
      "#ifdef __cplusplus\nextern \"C\" {\n#endif\n"
      "extern const unsigned char ${c}_bin[];\nextern const unsigned int ${c}_bin_size;\n"
      "const unsigned char ${c}_bin[] = {\n  ${bytes}\n};\n"
      "const unsigned int ${c}_bin_size = ${size}u;\n"
      "#ifdef __cplusplus\n}\n#endif\n")
    # Like the BIN and the header, rewritten only when its bytes change, so that an
    # unchanged table compiles and links nothing again.
    set(old "")
    if(EXISTS "${RIL4410_EMBED_SOURCE}")
      file(READ "${RIL4410_EMBED_SOURCE}" old)
    endif()
    if(NOT old STREQUAL source)
      file(WRITE "${RIL4410_EMBED_SOURCE}" "${source}")
    endif()
  endif()
  # The step's own output: make and Ninja see that it has run, while the files it leaves
  # untouched keep their times.
  file(WRITE "${RIL4410_STAMP}" "${key}")
  return()
endif()

if(CMAKE_VERSION VERSION_LESS 3.20)
  message(FATAL_ERROR "ril4410_add_string_table() needs CMake 3.20 or newer")
endif()

function(ril4410_add_string_table name)
  cmake_parse_arguments(PARSE_ARGV 1 RIL "WIDE;EMBED" "SOURCE;OUTPUT_DIR;CODE_PAGE;BASE" "")
  if(RIL_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "ril4410_add_string_table(${name}): unknown arguments "
                        "${RIL_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT RIL_SOURCE)
    message(FATAL_ERROR "ril4410_add_string_table(${name}): SOURCE <file.txt> is required")
  endif()
  if(DEFINED RIL_CODE_PAGE AND NOT RIL_CODE_PAGE MATCHES "^[0-9]+$")
    message(FATAL_ERROR "ril4410_add_string_table(${name}): CODE_PAGE needs a code page number, "
                        "not '${RIL_CODE_PAGE}'")
  endif()
  if(NOT TARGET Ril4410::ril4410)
    message(FATAL_ERROR "ril4410_add_string_table(${name}): this Ril4410 package has no "
                        "ril4410 tool (it was built without RIL_BUILD_CLI)")
  endif()

  cmake_path(ABSOLUTE_PATH RIL_SOURCE BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
             NORMALIZE OUTPUT_VARIABLE source)
  if(RIL_OUTPUT_DIR)
    cmake_path(ABSOLUTE_PATH RIL_OUTPUT_DIR BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
               NORMALIZE OUTPUT_VARIABLE output_dir)
  else()
    set(output_dir "${CMAKE_CURRENT_BINARY_DIR}/${name}")
  endif()
  # The tool names the header after the BIN, up to the BIN path's last '.'.
  cmake_path(GET source STEM LAST_ONLY base)
  set(bin "${output_dir}/${base}.bin")
  set(header "${output_dir}/${base}.h")
  set(base_table "")
  if(RIL_BASE)
    cmake_path(ABSOLUTE_PATH RIL_BASE BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
               NORMALIZE OUTPUT_VARIABLE base_table)
  endif()
  set(wide FALSE)
  if(RIL_WIDE)
    set(wide TRUE)
  endif()

  set(embedded "")
  if(RIL_EMBED)
    set(embedded "${output_dir}/${name}_bin.c")
    string(MAKE_C_IDENTIFIER "${name}" embed_name)
  endif()

  # The step's output is a stamp, the files it writes are byproducts: make then compares the
  # text's time with the stamp's, not with a file that --if-changed leaves old, and runs the
  # step once per change; Ninja sees (restat) which byproducts kept their time. One custom
  # target owns the step, and everything else depends on that target, so that a parallel
  # make never runs it twice.
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/ril4410/${name}.stamp")
  file(MAKE_DIRECTORY "${output_dir}")
  add_custom_command(
    OUTPUT "${stamp}"
    BYPRODUCTS "${bin}" "${header}" ${embedded}
    COMMAND "${CMAKE_COMMAND}"
      "-DRIL4410_TOOL=$<TARGET_FILE:Ril4410::ril4410>"
      "-DRIL4410_SOURCE=${source}"
      "-DRIL4410_BIN=${bin}"
      "-DRIL4410_HEADER_DIR=${output_dir}"
      "-DRIL4410_HEADER=${header}"
      "-DRIL4410_WIDE=${wide}"
      "-DRIL4410_CODE_PAGE=${RIL_CODE_PAGE}"
      "-DRIL4410_BASE=${base_table}"
      "-DRIL4410_EMBED_SOURCE=${embedded}"
      "-DRIL4410_EMBED_NAME=${embed_name}"
      "-DRIL4410_STAMP=${stamp}"
      -P "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    DEPENDS "${source}" ${base_table} "$<TARGET_FILE:Ril4410::ril4410>" "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    COMMENT "Compiling string table ${name} (${base}.bin, ${base}.h)"
    VERBATIM)
  add_custom_target(${name}_generate DEPENDS "${stamp}")

  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE "${output_dir}")
  add_dependencies(${name} ${name}_generate)
  if(RIL_EMBED)
    add_library(${name}_embedded STATIC "${embedded}")
    add_dependencies(${name}_embedded ${name}_generate)
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if(NOT "C" IN_LIST languages)
      set_source_files_properties("${embedded}" PROPERTIES LANGUAGE CXX)
    endif()
    target_link_libraries(${name} INTERFACE ${name}_embedded)
  endif()
  set_target_properties(${name} PROPERTIES RIL4410_BIN "${bin}" RIL4410_HEADER "${header}")
  set(${name}_BIN "${bin}" PARENT_SCOPE)
  set(${name}_HEADER "${header}" PARENT_SCOPE)
endfunction()
