# Whole sumlark-cli processes, and the engine's planning and runs under the
# carry, borrow and distinct rules. Included from bench/CMakeLists.txt.
if(NOT TARGET benchmark::benchmark)
  find_package(benchmark REQUIRED)
endif()
add_executable(cli_process_bench ${CMAKE_CURRENT_LIST_DIR}/CliProcessBench.cpp)
target_link_libraries(cli_process_bench PRIVATE sumlark_test_support Qt6::Core benchmark::benchmark)
target_compile_definitions(cli_process_bench PRIVATE SUMLARK_CLI_PATH="$<TARGET_FILE:sumlark-cli>")
add_dependencies(cli_process_bench sumlark-cli)
