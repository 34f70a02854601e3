# The built game and the release archive in a real window under Xvfb, driven
# with xdotool (scripts/install-deps.sh installs both).
find_program(XVFB_EXECUTABLE Xvfb)
find_program(XDOTOOL_EXECUTABLE xdotool)
if(XVFB_EXECUTABLE AND XDOTOOL_EXECUTABLE)
  add_test(NAME RealWindow.ExitScalingPlayAndFocus
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/real_window.sh game $<TARGET_FILE:dungeon>
                   ${PROJECT_SOURCE_DIR}/Assets)
  add_test(NAME Package.UnpacksAndRuns
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/real_window.sh package
                   ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
  set_tests_properties(RealWindow.ExitScalingPlayAndFocus Package.UnpacksAndRuns
                       PROPERTIES TIMEOUT 120)
else()
  message(WARNING "Xvfb or xdotool missing: the real-window tests are not registered")
endif()
