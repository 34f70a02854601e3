# The Windows build (make windows): dungeon.exe with its icon and version
# information and its manifest, and the zip and the installer made from it
# (windows_packages). The program is a Windows (GUI) one: started from the
# Start menu or Explorer it opens no console window (main.cpp chooses where
# the narration goes); SDL2main supplies the entry point Windows calls and
# calls main.
set(DUNGEON_ICO ${CMAKE_BINARY_DIR}/dungeon.ico)
file(GLOB DUNGEON_ICONS ${PROJECT_SOURCE_DIR}/packaging/icons/*.png)
add_custom_command(OUTPUT ${DUNGEON_ICO}
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/make-icon.py
          ${PROJECT_SOURCE_DIR}/packaging/icons ${DUNGEON_ICO}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-icon.py ${DUNGEON_ICONS}
  COMMENT "Making the Windows icon")
set(DUNGEON_MANIFEST ${CMAKE_BINARY_DIR}/dungeon.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dungeon.manifest ${DUNGEON_MANIFEST} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dungeon.rc.in ${CMAKE_BINARY_DIR}/dungeon.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/dungeon.rc PROPERTIES
  OBJECT_DEPENDS "${DUNGEON_ICO};${DUNGEON_MANIFEST}")
target_sources(dungeon PRIVATE ${CMAKE_BINARY_DIR}/dungeon.rc)
set_target_properties(dungeon PROPERTIES WIN32_EXECUTABLE ON)
target_link_libraries(dungeon PRIVATE SDL2::SDL2main)

set(WINDOWS_PACKAGE ${CMAKE_BINARY_DIR}/dungeon-gold-${PROJECT_VERSION}-win64)
file(GLOB_RECURSE WINDOWS_ASSETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/Assets/*)
add_custom_command(OUTPUT ${WINDOWS_PACKAGE}.zip ${WINDOWS_PACKAGE}-setup.exe
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pack.sh $<TARGET_FILE:dungeon> ${DUNGEON_ICO}
          ${PROJECT_SOURCE_DIR} "${CMAKE_PREFIX_PATH}" ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}
  DEPENDS dungeon ${DUNGEON_ICO} ${WINDOWS_ASSETS} ${PROJECT_SOURCE_DIR}/README.md
          ${CMAKE_CURRENT_LIST_DIR}/pack.sh ${CMAKE_CURRENT_LIST_DIR}/installer.nsi
  COMMENT "Packing the Windows zip and installer")
add_custom_target(windows_packages DEPENDS ${WINDOWS_PACKAGE}.zip ${WINDOWS_PACKAGE}-setup.exe)
