# kav_add_gtest(NAME name SOURCES ... LIBS ... [LABELS ...] [ENV ...])
# One GoogleTest executable registered as one CTest test, run from the build's bin folder.
function(kav_add_gtest)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    find_package(GTest REQUIRED)
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENV}")
endfunction()

# kav_add_qtest(NAME name SOURCES ... LIBS ...)
# One Qt Test executable (widgets, offscreen) registered as one CTest test.
function(kav_add_qtest)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    find_package(Qt6 REQUIRED COMPONENTS Test Widgets)
    add_executable(${T_NAME} ${T_SOURCES})
    set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test Qt6::Widgets ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENV}")
endfunction()

# kav_add_fuzzer(NAME name SOURCES ... LIBS ... [SECONDS n])
# A libFuzzer target, run by CTest for a bounded time from its seed corpus folder (if any).
function(kav_add_fuzzer)
    cmake_parse_arguments(F "" "NAME;SECONDS;CORPUS" "SOURCES;LIBS" ${ARGN})
    add_executable(${F_NAME} ${F_SOURCES})
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    if(NOT F_SECONDS)
        set(F_SECONDS 20)
    endif()
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}.corpus)
    file(MAKE_DIRECTORY ${work})
    set(args -max_total_time=${F_SECONDS} -rss_limit_mb=2048 -timeout=10 ${work})
    if(F_CORPUS)
        list(APPEND args ${F_CORPUS})
    endif()
    add_test(NAME ${F_NAME} COMMAND ${F_NAME} ${args})
    set_tests_properties(${F_NAME} PROPERTIES TIMEOUT 600 LABELS fuzz)
endfunction()

# kav_install_library(target): shared library and its headers' consumers at run time.
function(kav_install_library target)
    install(TARGETS ${target} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
                              ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
                              RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
