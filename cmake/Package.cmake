# The host SDK package: cmake --build --preset <preset> --target package makes
# build/<preset>/Tavrel-SDK-<version>-<win32|win64>.zip with
#   bin/      Tavrel.dll (stripped; its symbols in Tavrel.dll.debug), Tavrel.tlb,
#             pagehost.exe and samplehost.exe
#   include/  the host interface IDL, its generated header and IID definitions, and
#             the page class ids
#   sample/   the sample host's source
#   examples/ host descriptions and user scripts for pagehost
#   docs/     the integration guide and the page gallery
# and the READMEs.

set(TAVREL_SDK_DIR ${CMAKE_BINARY_DIR}/sdk)
set(TAVREL_RELEASE_DLL ${TAVREL_SDK_DIR}/Tavrel.dll)
set(TAVREL_DLL_SYMBOLS ${TAVREL_SDK_DIR}/Tavrel.dll.debug)
file(MAKE_DIRECTORY ${TAVREL_SDK_DIR})
# The stripped DLL names its symbol file, so a debugger finds it beside the DLL.
add_custom_command(
  OUTPUT ${TAVREL_RELEASE_DLL} ${TAVREL_DLL_SYMBOLS}
  COMMAND ${TAVREL_OBJCOPY} --only-keep-debug $<TARGET_FILE:Tavrel> ${TAVREL_DLL_SYMBOLS}
  COMMAND ${TAVREL_OBJCOPY} --strip-all --add-gnu-debuglink=Tavrel.dll.debug $<TARGET_FILE:Tavrel> ${TAVREL_RELEASE_DLL}
  WORKING_DIRECTORY ${TAVREL_SDK_DIR}
  DEPENDS Tavrel
  COMMENT "Tavrel.dll for the SDK: stripped, symbols in Tavrel.dll.debug")
add_custom_target(tavrel_release_dll ALL DEPENDS ${TAVREL_RELEASE_DLL})

install(FILES ${TAVREL_RELEASE_DLL} ${TAVREL_DLL_SYMBOLS} ${TAVREL_TYPELIB} DESTINATION bin)
install(TARGETS pagehost samplehost RUNTIME DESTINATION bin)
install(FILES
  ${CMAKE_SOURCE_DIR}/framework/HostInterfaces.idl
  ${TAVREL_GENERATED}/HostInterfaces.h ${TAVREL_GENERATED}/HostInterfaces_i.c
  ${TAVREL_GENERATED}/TavrelClasses.h ${TAVREL_GENERATED}/TavrelClasses_i.c
  DESTINATION include)
install(FILES ${CMAKE_SOURCE_DIR}/tools/samplehost/SampleHost.cpp DESTINATION sample)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION examples)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tavrel-SDK)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_SYSTEM_NAME win32)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# The programs are stripped as they go in; the DLL already is.
set(CPACK_STRIP_FILES bin/pagehost.exe bin/samplehost.exe)
include(CPack)
