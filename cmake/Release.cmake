# What a release says about itself: publisher and copyright line (the version is the project's),
# the version resource and application manifest of each shipped executable, and the same facts for
# scripts/package.sh.
set(QD_PUBLISHER "Tallowmere")
set(QD_COPYRIGHT "Copyright (C) 2026 Tallowmere. All rights reserved.")

# qd_add_version_info(TARGET DESCRIPTION)
# Gives an executable a version resource (file and product version, product name, description,
# copyright line; Explorer shows them under Properties > Details) and an application manifest that
# runs it as the invoking user on Windows 7 to 11.
function(qd_add_version_info target description)
  set(QD_FILE_DESCRIPTION "${description}")
  set(QD_ORIGINAL_FILENAME "${target}.exe")
  set(QD_ASSEMBLY_NAME "${QD_PUBLISHER}.${target}")
  set(dir ${CMAKE_BINARY_DIR}/version)
  set(QD_MANIFEST_FILE ${dir}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/resources/release/app.manifest.in ${QD_MANIFEST_FILE} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/resources/release/Version.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # The resource compiler's dependency scan does not see the manifest the script names.
  set_source_files_properties(${dir}/${target}.rc TARGET_DIRECTORY ${target}
    PROPERTIES OBJECT_DEPENDS ${QD_MANIFEST_FILE})
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/resources/release/release-info.sh.in
  ${CMAKE_BINARY_DIR}/release-info.sh @ONLY)
