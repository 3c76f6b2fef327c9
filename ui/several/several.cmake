# SPDX-License-Identifier: MIT
# The window "Несколько ставок" and the several-bets core behind it: linked into its tests and benchmark, and
# loaded by the program from the module below the first time the window is asked for. Included by
# ui/windows.cmake.
set(several_dir ${CMAKE_CURRENT_SOURCE_DIR}/several)
set(several_form ${CMAKE_CURRENT_BINARY_DIR}/forms/ui_SeveralBetsf.h)
add_custom_command(OUTPUT ${several_form}
    COMMAND Qt6::uic ${several_dir}/SeveralBetsf.ui -o ${several_form}.uic
    COMMAND ${CMAKE_COMMAND} -DIN=${several_form}.uic -DOUT=${several_form} -P ${CMAKE_CURRENT_SOURCE_DIR}/PixelFonts.cmake
    DEPENDS ${several_dir}/SeveralBetsf.ui ${CMAKE_CURRENT_SOURCE_DIR}/PixelFonts.cmake
    COMMENT "Generating ui_SeveralBetsf.h with pixel font sizes" VERBATIM)

add_library(brelmont_several STATIC ${several_dir}/SeveralBetsf.h ${several_dir}/SeveralBetsf.cpp
                                    ${several_dir}/BetsTableModel.h ${several_dir}/BetsTableModel.cpp
                                    ${several_dir}/BetsCsvFile.h ${several_dir}/BetsCsvFile.cpp
                                    ${several_dir}/SeveralBetsWindow.h ${several_form})
add_library(Brelmont::several ALIAS brelmont_several)
set_target_properties(brelmont_several PROPERTIES AUTOUIC OFF)
# The window's own code waits on the person, never the other way round: built for size, it keeps the package
# lean. The core it calls stays built for speed.
target_compile_options(brelmont_several PRIVATE -Os)
target_include_directories(brelmont_several PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/forms)
target_link_libraries(brelmont_several PUBLIC Brelmont::dialogs Brelmont::multibet Brelmont::betscsv Brelmont::stakecalc Qt6::Widgets
                                              Qt6::Concurrent)

# The module carries the core inside a shared object, and the command line's answers with the base they use:
# their code must be position-independent there.
set_target_properties(brelmont_multibet brelmont_betscsv brelmont_base brelmont_stakecalc PROPERTIES POSITION_INDEPENDENT_CODE ON)
# Only its entries are seen from outside; the copy of the core it carries stays private to it. The command
# line's --bets and --fair are answered here too, so that the program carries no copy of the core at all.
add_library(brelmont-several MODULE ${several_dir}/SeveralBetsModule.cpp ${PROJECT_SOURCE_DIR}/app/BetsCommand.h
                                    ${PROJECT_SOURCE_DIR}/app/BetsCommand.cpp)
set_target_properties(brelmont-several PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(brelmont-several PRIVATE brelmont_several)
target_link_options(brelmont-several PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
brelmont_separate_debug_info(brelmont-several)
# Beside the risk chart's module.
install(TARGETS brelmont-several LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/brelmont/modules)

brelmont_benchmark(several_bench SOURCES ${several_dir}/bench/SeveralBetsBench.cpp LIBS Brelmont::several)
if(TARGET several_bench)
    set_target_properties(several_bench PROPERTIES AUTOUIC OFF)
endif()

if(BUILD_TESTING)
    brelmont_test(several_tests OWN_MAIN SOURCES ${several_dir}/tests/SeveralBetsTest.cpp tests/QtTestMain.cpp
                  LIBS Brelmont::windows Brelmont::several Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
    target_compile_definitions(several_tests PRIVATE BRELMONT_SEVERAL_BETS_MODULE="$<TARGET_FILE:brelmont-several>")
    add_dependencies(several_tests brelmont-several)
    set_target_properties(several_tests PROPERTIES AUTOUIC OFF)

    # The window as drawn at 1x and at 200 %: laid out whole on a 1280×1024 screen, pictures kept to look at.
    foreach(scale 1 1.5 2)
        string(REPLACE "." "_" scale_name ${scale})
        brelmont_test(several_look_${scale_name}x OWN_MAIN SOURCES ${several_dir}/tests/SeveralBetsLookTest.cpp
                                                                 tests/QtTestMain.cpp
                      LIBS Brelmont::several Qt6::Test
                      ENV QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=${scale}
                          BRELMONT_SCREENSHOTS=${CMAKE_CURRENT_BINARY_DIR}/screenshots)
        set_target_properties(several_look_${scale_name}x PROPERTIES AUTOUIC OFF)
    endforeach()
endif()
