# The automation object as a COM local server, in the program: the class factory, the object
# clients hold, the registry entries, the start-up around the wizard, and the type library
# (built with widl from Automation.idl, embedded as a resource).
find_program(VELTRIX_WIDL NAMES ${VELTRIX_MINGW_PREFIX}-widl x86_64-w64-mingw32-widl widl
             REQUIRED NO_CMAKE_FIND_ROOT_PATH)
# widl needs the standard OLE type library that the IDL imports; Wine ships one.
find_path(VELTRIX_STDOLE_DIR stdole2.tlb
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
          REQUIRED NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)

set(veltrix_com_dir ${CMAKE_CURRENT_LIST_DIR})
set(veltrix_tlb ${CMAKE_BINARY_DIR}/app/windows/Automation.tlb)
add_custom_command(OUTPUT ${veltrix_tlb}
    COMMAND ${VELTRIX_WIDL} -t -L ${VELTRIX_STDOLE_DIR} -o ${veltrix_tlb}
            ${veltrix_com_dir}/Automation.idl
    DEPENDS ${veltrix_com_dir}/Automation.idl
    COMMENT "Type library of the automation object")
# The resource is compiled where veltrix_app is made, in another directory: a target of this
# one owns the rule, and the resource waits for it and is made again when it changes.
add_custom_target(veltrix_typelib DEPENDS ${veltrix_tlb})
add_dependencies(veltrix_app veltrix_typelib)
set_source_files_properties(${veltrix_com_dir}/AutomationTypeLib.rc TARGET_DIRECTORY veltrix_app
    PROPERTIES OBJECT_DEPENDS ${veltrix_tlb})

target_sources(veltrix_app PRIVATE
    ${veltrix_com_dir}/AutomationObject.cpp
    ${veltrix_com_dir}/AutomationStartup.cpp
    ${veltrix_com_dir}/ClassFactory.cpp
    ${veltrix_com_dir}/ComRegistration.cpp
    ${veltrix_com_dir}/ComServer.cpp
    ${veltrix_com_dir}/StarterProcess.cpp
    ${veltrix_com_dir}/AutomationTypeLib.rc
)
target_include_directories(veltrix_app PRIVATE ${CMAKE_BINARY_DIR}/app/windows)
target_link_libraries(veltrix_app PUBLIC ole32 oleaut32 uuid)
