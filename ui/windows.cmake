# SPDX-License-Identifier: MIT
# The program's two windows and the dialog rules they share. Included by ui/CMakeLists.txt when Qt is on.

# The maker's addresses, in one place; override them when configuring, e.g. -DBRELMONT_SITE_URL=https://...
set(BRELMONT_SITE_URL "https://brelmont.example/" CACHE STRING "The maker's web site, opened from both windows")
set(BRELMONT_SUPPORT_EMAIL "help@brelmont.example" CACHE STRING "The support e-mail address in the About box")
set(BRELMONT_PARTNER_URL "https://lindqor.example/" CACHE STRING "The partner's web site in the About box")
set(BRELMONT_BUGTRACKER_URL "${BRELMONT_SITE_URL}bugs/" CACHE STRING "Where users report faults (the metainfo)")
set(BRELMONT_HELP_URL "${BRELMONT_SITE_URL}help/" CACHE STRING "The program's help on the web (the metainfo)")
# The reverse-DNS name of the maker's domain and the program: the desktop entry, metainfo and icons are named
# after it.
set(BRELMONT_APP_ID "org.brelmont.Brelmont" CACHE STRING "The application ID")

include(${PROJECT_SOURCE_DIR}/cmake/DebugInfo.cmake)

# Qt's own texts in Russian: every program of the package links it (the help viewer too) and calls it at start.
add_library(brelmont_toolkittranslation STATIC ToolkitTranslation.h ToolkitTranslation.cpp)
add_library(Brelmont::toolkittranslation ALIAS brelmont_toolkittranslation)
target_include_directories(brelmont_toolkittranslation PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(brelmont_toolkittranslation PUBLIC Qt6::Core)

# Message dialog, error box, modal and title rules, fonts, file dialogs, window placement: no other module is
# needed for these.
add_library(brelmont_dialogs STATIC Dialogs.h Dialogs.cpp Fonts.h Fonts.cpp FileFolders.h FileFolders.cpp
                                     WindowPlacement.h WindowPlacement.cpp)
add_library(Brelmont::dialogs ALIAS brelmont_dialogs)
target_include_directories(brelmont_dialogs PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(brelmont_dialogs PUBLIC Brelmont::base Brelmont::toolkittranslation Qt6::Widgets)

if(BUILD_TESTING)
    brelmont_test(dialogs_tests OWN_MAIN SOURCES tests/DialogsTest.cpp tests/FileFoldersTest.cpp tests/WindowPlacementTest.cpp
                          tests/ToolkitWordsTest.cpp tests/QtTestMain.cpp
                  LIBS Brelmont::dialogs Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
endif()

# The designs' Ui classes, with their font sizes read as pixels (PixelFonts.cmake).
set(form_headers)
foreach(form Mainf aboutf RiskChartf)
    set(header ${CMAKE_CURRENT_BINARY_DIR}/forms/ui_${form}.h)
    add_custom_command(OUTPUT ${header}
        COMMAND Qt6::uic ${CMAKE_CURRENT_SOURCE_DIR}/${form}.ui -o ${header}.uic
        COMMAND ${CMAKE_COMMAND} -DIN=${header}.uic -DOUT=${header} -P ${CMAKE_CURRENT_SOURCE_DIR}/PixelFonts.cmake
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${form}.ui ${CMAKE_CURRENT_SOURCE_DIR}/PixelFonts.cmake
        COMMENT "Generating ui_${form}.h with pixel font sizes" VERBATIM)
    list(APPEND form_headers ${header})
endforeach()

list(FILTER form_headers EXCLUDE REGEX "RiskChartf")
add_library(brelmont_windows STATIC Mainf.h Mainf.cpp aboutf.h aboutf.cpp Links.h Links.cpp MainKeys.h MainKeys.cpp
                                     LinkOpener.h LinkOpener.cpp RiskChartWindow.h RiskChartOpener.h
                                     RiskChartOpener.cpp ModuleLoader.h ModuleLoader.cpp
                                     several/SeveralBetsWindow.h several/SeveralBetsOpener.h
                                     several/SeveralBetsOpener.cpp ${form_headers})
add_library(Brelmont::windows ALIAS brelmont_windows)
set_target_properties(brelmont_windows PROPERTIES AUTOUIC OFF)
target_include_directories(brelmont_windows PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/forms)
target_link_libraries(brelmont_windows PUBLIC Brelmont::artwork Brelmont::dialogs Brelmont::widgets Brelmont::stakecalc
                                              Brelmont::helpdelivery Brelmont::helpdisplay_qt Qt6::Widgets)
# Where the installed modules lie, seen from the installed program's folder.
file(RELATIVE_PATH modules_from_program ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/brelmont/modules)
set_source_files_properties(ModuleLoader.cpp PROPERTIES COMPILE_DEFINITIONS
    "BRELMONT_MODULES_FROM_PROGRAM=\"${modules_from_program}\"")

# The risk chart window and Qt Charts behind it: linked into the tests and the benchmark, and loaded by the
# program from the module below the first time the chart is asked for.
add_library(brelmont_riskchart STATIC RiskChartf.h RiskChartf.cpp RiskChartWindow.h
                                      ${CMAKE_CURRENT_BINARY_DIR}/forms/ui_RiskChartf.h)
add_library(Brelmont::riskchart ALIAS brelmont_riskchart)
set_target_properties(brelmont_riskchart PROPERTIES AUTOUIC OFF)
target_include_directories(brelmont_riskchart PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/forms)
target_link_libraries(brelmont_riskchart PUBLIC Brelmont::dialogs Brelmont::stakecalc Qt6::Widgets Qt6::Charts
                                                Qt6::Svg Qt6::Concurrent)

# Only its entry is seen from outside; the copies of the core it carries stay private to it.
add_library(brelmont-riskchart MODULE RiskChartModule.cpp)
set_target_properties(brelmont-riskchart PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                                                    VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(brelmont-riskchart PRIVATE brelmont_riskchart)
target_link_options(brelmont-riskchart PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
brelmont_separate_debug_info(brelmont-riskchart)
# A folder below the library folder proper: the module is no shared library for the dynamic linker to list.
install(TARGETS brelmont-riskchart LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/brelmont/modules)
include(several/several.cmake)
set_source_files_properties(Links.cpp PROPERTIES COMPILE_DEFINITIONS
    "BRELMONT_SITE_URL=\"${BRELMONT_SITE_URL}\";BRELMONT_SUPPORT_EMAIL=\"${BRELMONT_SUPPORT_EMAIL}\";BRELMONT_PARTNER_URL=\"${BRELMONT_PARTNER_URL}\"")

brelmont_benchmark(riskchart_bench SOURCES bench/RiskChartBench.cpp LIBS Brelmont::riskchart)

if(BUILD_TESTING)
    brelmont_test(windows_tests OWN_MAIN
                  SOURCES tests/MainWindowTest.cpp tests/AboutBoxTest.cpp tests/KeyboardTest.cpp
                          tests/ClearOutcomesTest.cpp tests/AccessibleNamesTest.cpp tests/RiskChartTest.cpp
                          tests/QtTestMain.cpp
                  LIBS Brelmont::windows Brelmont::riskchart Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
    target_compile_definitions(windows_tests PRIVATE BRELMONT_RISK_CHART_MODULE="$<TARGET_FILE:brelmont-riskchart>")
    add_dependencies(windows_tests brelmont-riskchart)
    # The tests reach the controls through the same generated Ui classes.
    set_target_properties(windows_tests PROPERTIES AUTOUIC OFF)

    # The risk chart beside the main window, and the toolbar's shaped buttons, on a real screen at each scale,
    # pictures of it left for a look.
    # Run only on the X server, so it is not listed with the offscreen tests.
    add_executable(riskchart_onscreen_tests tests/ChartOnScreenTest.cpp tests/ButtonsOnScreenTest.cpp
                                            tests/QtTestMain.cpp)
    target_link_libraries(riskchart_onscreen_tests PRIVATE Brelmont::windows Brelmont::riskchart Qt6::Test
                                                           GTest::gtest GTest::gmock)
    set_target_properties(riskchart_onscreen_tests PROPERTIES AUTOUIC OFF)
    foreach(scale 1 1.5 2)
        add_test(NAME riskchart_onscreen_${scale}x
                 COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb.sh --wm env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=${scale}
                         BRELMONT_SCREENSHOTS=${CMAKE_CURRENT_BINARY_DIR}/screenshots $<TARGET_FILE:riskchart_onscreen_tests>)
        set_tests_properties(riskchart_onscreen_${scale}x PROPERTIES LABELS xvfb TIMEOUT 120)
    endforeach()

    # The pictures as shown at 1x, 150 % and 200 %, compared pixel for pixel with the artwork for each scale.
    foreach(scale 1 1.5 2)
        string(REPLACE "." "_" tag ${scale})
        brelmont_test(hidpi_tests_${tag}x OWN_MAIN SOURCES tests/HiDpiTest.cpp tests/QtTestMain.cpp
                      LIBS Brelmont::windows Qt6::Test ENV QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=${scale})
        set_target_properties(hidpi_tests_${tag}x PROPERTIES AUTOUIC OFF)
    endforeach()
endif()
