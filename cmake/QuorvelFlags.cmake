# Compiler settings shared by every target of ours (not by third-party code such as GoogleTest).

# Bit-exact floating point: a fused multiply-add must not change a rasterized word.
set(QUORVEL_COMMON_FLAGS -Wall -Wextra -Wpedantic -Werror -ffp-contract=off
    # Same sources, same bytes: no build paths in the output.
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)

function(quorvel_target_flags target)
    target_compile_options(${target} PRIVATE ${QUORVEL_COMMON_FLAGS})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    if(WIN32)
        # Windows 10 headers (SetProcessDpiAwarenessContext, the whole NOTIFYICONDATAW).
        target_compile_definitions(${target} PUBLIC
            UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    endif()
endfunction()

function(quorvel_sanitize target)
    target_compile_options(${target} PRIVATE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
endfunction()

# A Windows GUI program: wide entry point, linked statically so that it imports nothing but
# Windows system DLLs, and without a link timestamp so that the same sources give the same file.
function(quorvel_windows_link target)
    target_link_options(${target} PRIVATE
        -municode -mwindows -static
        -Wl,--no-insert-timestamp -Wl,--build-id=none -s)
endfunction()

# Files made at configure time (the version header and the manifest), for the resource scripts.
set(QUORVEL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

# quorvel.exe, or a variant of it with other resources for the start-up tests.
function(quorvel_add_program name resource_script)
    get_filename_component(resource_script ${resource_script} ABSOLUTE)
    add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/app/Main.cpp ${resource_script})
    quorvel_target_flags(${name})
    quorvel_windows_link(${name})
    target_link_libraries(${name} PRIVATE quorvel_core)
    get_filename_component(resource_dir ${resource_script} DIRECTORY)
    set_property(SOURCE ${resource_script} APPEND PROPERTY INCLUDE_DIRECTORIES
        ${CMAKE_SOURCE_DIR}/resources ${resource_dir} ${CMAKE_CURRENT_BINARY_DIR}
        ${QUORVEL_GENERATED_DIR})
    set_property(SOURCE ${resource_script} APPEND PROPERTY OBJECT_DEPENDS
        ${QUORVEL_GENERATED_DIR}/version.h ${QUORVEL_GENERATED_DIR}/quorvel.manifest)
endfunction()
