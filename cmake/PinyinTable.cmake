# The table of pinyin initials (list/PinyinInitials.h), generated at build time by tools/pinyintable
# from the Unicode Han database's readings that Debian's unicode-data package installs
# (scripts/install-deps.sh installs it). The native build builds the generator as a target of its
# own; the Windows build compiles it with the build machine's compiler, since it runs during the
# build. Sets QD_PINYIN_TABLE_SOURCE to the generated source and QD_PINYIN_LICENSE to the data's
# licence, which the release ships beside the program.
set(QD_UNIHAN_READINGS /usr/share/unicode/Unihan_Readings.txt.bz2 CACHE FILEPATH
  "The Unicode Han database's readings (Debian: unicode-data)")
set(QD_PINYIN_LICENSE /usr/share/doc/unicode-data/copyright CACHE FILEPATH
  "The licence of the Unicode Han database as its package ships it")
if(NOT EXISTS ${QD_UNIHAN_READINGS})
  message(FATAL_ERROR "${QD_UNIHAN_READINGS} is missing: run scripts/install-deps.sh (Debian's unicode-data)")
endif()
find_program(QD_BZIP2 bzip2 NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# The data's licence goes beside the programs (the release ships it as Unihan-License.txt).
if(NOT EXISTS ${QD_PINYIN_LICENSE})
  message(FATAL_ERROR "${QD_PINYIN_LICENSE} is missing: run scripts/install-deps.sh (Debian's unicode-data)")
endif()
configure_file(${QD_PINYIN_LICENSE} ${CMAKE_BINARY_DIR}/app/Unihan-License.txt COPYONLY)

set(_generator_source ${PROJECT_SOURCE_DIR}/tools/pinyintable/PinyinTable.cpp)
if(CMAKE_CROSSCOMPILING)
  find_program(QD_HOST_CXX NAMES c++ g++ clang++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(_generator ${CMAKE_BINARY_DIR}/host/pinyintable)
  add_custom_command(OUTPUT ${_generator}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${QD_HOST_CXX} -std=c++20 -O2 -o ${_generator} ${_generator_source}
    DEPENDS ${_generator_source}
    COMMENT "Building the pinyin table's generator for the build machine"
    VERBATIM)
  set(_generator_depends ${_generator})
else()
  set(_generator $<TARGET_FILE:pinyintable>)
  set(_generator_depends pinyintable)
endif()

set(_readings ${CMAKE_BINARY_DIR}/generated/Unihan_Readings.txt)
set(QD_PINYIN_TABLE_SOURCE ${CMAKE_BINARY_DIR}/generated/PinyinInitialsTable.cpp)
add_custom_command(OUTPUT ${QD_PINYIN_TABLE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${QD_BZIP2} -dkc ${QD_UNIHAN_READINGS} > ${_readings}
  COMMAND ${_generator} ${_readings} ${QD_PINYIN_TABLE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E remove ${_readings}
  DEPENDS ${_generator_depends} ${QD_UNIHAN_READINGS}
  COMMENT "Generating the table of pinyin initials")
