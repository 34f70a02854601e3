# The built game in a real window under Xvfb, driven with xdotool. Needs Xvfb
# and xdotool (scripts/install-deps.sh installs them).
find_program(XVFB_EXECUTABLE Xvfb)
find_program(XDOTOOL_EXECUTABLE xdotool)
if(XVFB_EXECUTABLE AND XDOTOOL_EXECUTABLE)
  add_test(NAME RealWindow.ExitAndEscape
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/real_window.sh $<TARGET_FILE:dungeon>
                   ${PROJECT_SOURCE_DIR}/Assets)
  set_tests_properties(RealWindow.ExitAndEscape PROPERTIES TIMEOUT 180)
else()
  message(WARNING "Xvfb or xdotool missing: the real-window test is not registered")
endif()

# The release archive unpacked and run like a player would.
if(XVFB_EXECUTABLE AND XDOTOOL_EXECUTABLE)
  add_test(NAME Package.UnpacksAndRuns
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package_test.sh
                   ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
  set_tests_properties(Package.UnpacksAndRuns PROPERTIES TIMEOUT 180)
endif()
