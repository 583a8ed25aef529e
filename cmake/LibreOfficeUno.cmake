# The C++ UNO SDK of the system's LibreOffice, as the imported target LibreOffice::UNO.
#
# Debian's SDK ships the runtime headers but none of the headers generated from the type
# libraries, so cppumaker writes the ones our code includes (and what they depend on) into
# the build folder. Programs linking LibreOffice::UNO find LibreOffice's private libraries
# through an rpath (a DT_RPATH, so LD_LIBRARY_PATH cannot redirect it).

set(LIBREOFFICE_PROGRAM_DIR "/usr/lib/libreoffice/program" CACHE PATH "LibreOffice's program folder")
set(LIBREOFFICE_SDK_DIR "/usr/lib/libreoffice/sdk" CACHE PATH "LibreOffice's SDK folder")

find_program(CPPUMAKER cppumaker PATHS "${LIBREOFFICE_SDK_DIR}/bin" NO_DEFAULT_PATH REQUIRED)
set(_uno_type_libraries
  "${LIBREOFFICE_PROGRAM_DIR}/types.rdb"
  "${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb")
foreach(_rdb IN LISTS _uno_type_libraries)
  if(NOT EXISTS "${_rdb}")
    message(FATAL_ERROR "LibreOffice type library ${_rdb} is missing: install libreoffice-calc and libreoffice-dev")
  endif()
endforeach()

# Every UNO type the code names; cppumaker adds the types they depend on. DeploymentException
# is thrown by the bootstrap helper but is reached by no other type, so it is listed here.
set(UNO_TYPES
  com.sun.star.beans.PropertyValue
  com.sun.star.beans.XPropertySet
  com.sun.star.bridge.UnoUrlResolver
  com.sun.star.bridge.XUnoUrlResolver
  com.sun.star.connection.NoConnectException
  com.sun.star.container.XEnumerationAccess
  com.sun.star.container.XNameContainer
  com.sun.star.document.MacroExecMode
  com.sun.star.document.XEmbeddedScripts
  com.sun.star.frame.Desktop
  com.sun.star.frame.XComponentLoader
  com.sun.star.frame.XController
  com.sun.star.frame.XDesktop2
  com.sun.star.frame.XFrame
  com.sun.star.frame.XModel
  com.sun.star.frame.XStorable
  com.sun.star.lang.DisposedException
  com.sun.star.lang.XComponent
  com.sun.star.lang.XMultiComponentFactory
  com.sun.star.script.XLibraryContainer
  com.sun.star.script.browse.BrowseNodeTypes
  com.sun.star.script.browse.XBrowseNode
  com.sun.star.script.provider.XScript
  com.sun.star.script.provider.XScriptProvider
  com.sun.star.script.provider.XScriptProviderSupplier
  com.sun.star.sheet.XCellRangeData
  com.sun.star.sheet.XSpreadsheet
  com.sun.star.sheet.XSpreadsheetDocument
  com.sun.star.sheet.XSpreadsheetView
  com.sun.star.sheet.XSpreadsheets
  com.sun.star.table.CellContentType
  com.sun.star.table.XCell
  com.sun.star.table.XTableChartsSupplier
  com.sun.star.text.XText
  com.sun.star.uno.DeploymentException
  com.sun.star.uno.XComponentContext
  com.sun.star.util.XCloseable
  com.sun.star.util.XModifiable
  com.sun.star.util.XProtectable
  com.sun.star.container.XNamed
  com.sun.star.awt.XWindow
  com.sun.star.awt.XTopWindow
  com.sun.star.chart.XChartDocument
  com.sun.star.document.XEmbeddedObjectSupplier
  com.sun.star.frame.XDispatch
  com.sun.star.frame.XDispatchProvider
  com.sun.star.util.URL
  com.sun.star.view.XSelectionSupplier
  com.sun.star.sheet.XViewPane
  com.sun.star.sheet.XCellRangeAddressable
  com.sun.star.sheet.XCellAddressable
  com.sun.star.frame.XFrames
  com.sun.star.frame.XFramesSupplier
  com.sun.star.awt.PosSize
)
list(JOIN UNO_TYPES ";" _uno_type_list)

set(UNO_GENERATED_DIR "${CMAKE_BINARY_DIR}/uno-headers")
set(_uno_stamp "${UNO_GENERATED_DIR}/.generated")
# -Gc rewrites only headers whose text changes, so a re-run does not rebuild everything.
add_custom_command(
  OUTPUT "${_uno_stamp}"
  COMMAND "${CPPUMAKER}" -Gc "-O${UNO_GENERATED_DIR}" "-T${_uno_type_list}" ${_uno_type_libraries}
  COMMAND "${CMAKE_COMMAND}" -E touch "${_uno_stamp}"
  DEPENDS ${_uno_type_libraries} "${CMAKE_CURRENT_LIST_FILE}"
  COMMENT "Generating the C++ headers of the UNO types"
  VERBATIM)
add_custom_target(uno_headers DEPENDS "${_uno_stamp}")
file(MAKE_DIRECTORY "${UNO_GENERATED_DIR}")

add_library(libreoffice_uno INTERFACE)
add_dependencies(libreoffice_uno uno_headers)
target_include_directories(libreoffice_uno SYSTEM INTERFACE
  "${UNO_GENERATED_DIR}" "${LIBREOFFICE_SDK_DIR}/include")
target_compile_definitions(libreoffice_uno INTERFACE LINUX UNX GCC CPPU_ENV=gcc3)
target_link_directories(libreoffice_uno INTERFACE "${LIBREOFFICE_SDK_DIR}/lib")
target_link_libraries(libreoffice_uno INTERFACE uno_cppuhelpergcc3 uno_cppu uno_salhelpergcc3 uno_sal)
target_link_options(libreoffice_uno INTERFACE
  "LINKER:--disable-new-dtags" "LINKER:-rpath,${LIBREOFFICE_PROGRAM_DIR}")
target_compile_definitions(libreoffice_uno INTERFACE
  LIBREOFFICE_PROGRAM_DIR="${LIBREOFFICE_PROGRAM_DIR}")
add_library(LibreOffice::UNO ALIAS libreoffice_uno)

# Objects reached over the UNO bridge are proxies whose vtables the bridge builds at run
# time, not C++ objects of a known dynamic type, so the sanitizer's vptr check cannot apply.
if(SANITIZE)
  target_compile_options(libreoffice_uno INTERFACE -fno-sanitize=vptr)
endif()
