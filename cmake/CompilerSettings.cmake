# One place for the compiler settings every target of the project shares.
add_library(qd_settings INTERFACE)
target_compile_features(qd_settings INTERFACE cxx_std_20)
target_include_directories(qd_settings INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(qd_settings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers)
if(WIN32)
  # Wide-character Win32 throughout; Windows 7 as the oldest target.
  target_compile_definitions(qd_settings INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
  target_link_options(qd_settings INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# Sanitizers for the native build (QD_SANITIZE=ON): address and undefined behaviour.
option(QD_SANITIZE "Build the native core with ASan and UBSan" OFF)
if(QD_SANITIZE AND NOT WIN32)
  target_compile_options(qd_settings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(qd_settings INTERFACE -fsanitize=address,undefined)
endif()
