# Writes OUTPUT, a C++ source holding each file of FILES as a byte array, and
# a function `kt::registerartwork()` that registers them as bitmap resources
# under the names in NAMES (same order).
set(source "// Generated from the artwork files; do not edit.\n#include \"platform/bitmaps.h\"\n\nnamespace kt {\nnamespace {\n")
list(LENGTH FILES count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET FILES ${index} file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND source "const unsigned char artwork${index}[] = {${bytes}};\n")
endforeach()
string(APPEND source "} // namespace\n\nvoid registerartwork()\n{\n")
foreach(index RANGE ${last})
  list(GET NAMES ${index} name)
  string(APPEND source "    registerbitmapresource(\"${name}\", artwork${index}, sizeof artwork${index});\n")
endforeach()
string(APPEND source "}\n\n} // namespace kt\n")
file(WRITE "${OUTPUT}" "${source}")
