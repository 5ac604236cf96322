# Compile settings shared by every target of our own code.

if(LUMORA_SANITIZE)
    set(LUMORA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
endif()

function(lumora_target_defaults target)
    # Warnings are errors in our code, in each compiler's own words. MSVC also reads the
    # sources as UTF-8 (they hold Chinese texts) and reports the real __cplusplus.
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8 /Zc:__cplusplus)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    endif()
    # Qt 5.15 still uses a few APIs that Qt itself deprecates; keep those visible but not fatal.
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING
        QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
    if(LUMORA_SANITIZE)
        target_compile_options(${target} PRIVATE ${LUMORA_SANITIZER_FLAGS})
        target_link_options(${target} PRIVATE ${LUMORA_SANITIZER_FLAGS})
    endif()
    if(LUMORA_FUZZ)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()
