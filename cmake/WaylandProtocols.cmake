# vellora_wayland_protocol(TARGET XML): generates the client header NAME-client-protocol.h
# and the interface code of a Wayland protocol description at build time, adds the code to
# TARGET and puts the header on its include path.
function(vellora_wayland_protocol target xml)
    get_filename_component(name ${xml} NAME_WE)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
    set(header ${folder}/${name}-client-protocol.h)
    set(code ${folder}/${name}-protocol.c)
    file(MAKE_DIRECTORY ${folder})
    add_custom_command(OUTPUT ${header}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
        DEPENDS ${xml} VERBATIM)
    add_custom_command(OUTPUT ${code}
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
        DEPENDS ${xml} VERBATIM)
    target_sources(${target} PRIVATE ${header} ${code})
    target_include_directories(${target} SYSTEM PRIVATE ${folder})
endfunction()
