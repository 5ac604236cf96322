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

# Precompiled Qt headers: most of a source file's compile time is spent reading the same Qt
# headers again. One header set is built for the library and one (adding Qt Test) for the
# tests; every other target reuses one of them. LUMORA_PCH=OFF builds without them, which
# also shows a file that forgot an include.
option(LUMORA_PCH "Precompile the Qt headers most sources include" ON)
set(LUMORA_PCH_HEADERS
    <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QByteArray>
    <QtCore/QVariant> <QtCore/QVector> <QtCore/QList> <QtCore/QHash> <QtCore/QMap>
    <QtCore/QPointer> <QtCore/QTimer> <QtCore/QDebug> <QtCore/QFile> <QtCore/QFileInfo>
    <QtCore/QDir> <QtCore/QDateTime> <QtCore/QUrl> <QtCore/QJsonDocument>
    <QtCore/QJsonObject> <QtCore/QJsonArray> <QtCore/QRegularExpression>
    <QtCore/QCoreApplication> <QtCore/QProcess> <QtGui/QGuiApplication>
    <QtGui/QTextDocument> <QtQml/QQmlEngine> <QtQml/QQmlContext> <QtQuick/QQuickItem>
    <QtQuick/QQuickWindow> <QtNetwork/QNetworkAccessManager> <QtNetwork/QNetworkReply>)

# lumora_add_pch_host(<name> LIBS <libraries...> [HEADERS <extra headers...>]): an object
# library that only builds the header set, seeing exactly the macros of the Qt modules given.
# GCC takes a precompiled header only where every macro it was built with is defined alike, so
# a host links no more modules than any target that reuses it; those may add their own.
function(lumora_add_pch_host name)
    cmake_parse_arguments(H "" "" "LIBS;HEADERS" ${ARGN})
    add_library(${name} OBJECT ${PROJECT_SOURCE_DIR}/cmake/pchhost.cpp)
    target_link_libraries(${name} PRIVATE ${H_LIBS})
    lumora_target_defaults(${name})
    if(LUMORA_PCH)
        target_precompile_headers(${name} PRIVATE ${LUMORA_PCH_HEADERS} ${H_HEADERS})
    endif()
endfunction()

# lumora_reuse_headers(<target> <host>): <target> compiles against the set <host> built.
# Its moc collection file is left out: mostly empty, it would pay for loading the set.
function(lumora_reuse_headers target host)
    if(LUMORA_PCH)
        target_precompile_headers(${target} REUSE_FROM ${host})
        get_target_property(binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
            PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
endfunction()
