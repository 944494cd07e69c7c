# Shared build helpers for both programs.

# The widget-free core of a program: every pure/ folder below DIR. It links
# QtCore only, so it can be built alone (for the fuzz targets) and is compiled
# into the program's library.
function(velmar_pure_library NAME DIR)
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${DIR}/*/pure/*.cpp)
  file(GLOB_RECURSE _hdr CONFIGURE_DEPENDS ${DIR}/*/pure/*.h)
  if(NOT _src)
    set(_src ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${NAME} OBJECT ${_src} ${_hdr})
  target_include_directories(${NAME} PUBLIC ${DIR} ${CMAKE_SOURCE_DIR})
  target_link_libraries(${NAME} PUBLIC Qt5::Core)
  set_target_properties(${NAME} PROPERTIES AUTOMOC ON AUTOUIC OFF AUTORCC OFF)
endfunction()

# Compiles every <lang>/*.ts below TSDIR into <lang>.qm and adds a resource
# file that serves them as :/Resources/Languages/<lang>.qm.
function(velmar_translations TARGET TSDIR)
  file(GLOB _langs LIST_DIRECTORIES true RELATIVE ${TSDIR} ${TSDIR}/*)
  set(_qrc "<RCC>\n  <qresource prefix=\"/Resources/Languages\">\n")
  set(_outs)
  foreach(_lang ${_langs})
    if(NOT IS_DIRECTORY ${TSDIR}/${_lang})
      continue()
    endif()
    file(GLOB _ts CONFIGURE_DEPENDS ${TSDIR}/${_lang}/*.ts)
    if(NOT _ts)
      continue()
    endif()
    set(_qm ${CMAKE_CURRENT_BINARY_DIR}/Languages/${_lang}.qm)
    add_custom_command(OUTPUT ${_qm}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/Languages
      COMMAND Qt5::lrelease -silent ${_ts} -qm ${_qm}
      DEPENDS ${_ts}
      COMMENT "Compiling the ${_lang} translation of ${TARGET}")
    list(APPEND _outs ${_qm})
    string(APPEND _qrc "    <file alias=\"${_lang}.qm\">${_qm}</file>\n")
  endforeach()
  string(APPEND _qrc "  </qresource>\n</RCC>\n")
  set(_qrcfile ${CMAKE_CURRENT_BINARY_DIR}/${TARGET}_languages.qrc)
  file(GENERATE OUTPUT ${_qrcfile} CONTENT "${_qrc}")
  # rcc runs only once every .qm file exists.
  set(_cpp ${CMAKE_CURRENT_BINARY_DIR}/qrc_${TARGET}_languages.cpp)
  add_custom_command(OUTPUT ${_cpp}
    COMMAND Qt5::rcc -name ${TARGET}_languages ${_qrcfile} -o ${_cpp}
    DEPENDS ${_outs} ${_qrcfile}
    COMMENT "Embedding the translations of ${TARGET}")
  set_source_files_properties(${_cpp} PROPERTIES GENERATED TRUE SKIP_AUTOGEN ON)
  target_sources(${TARGET} PRIVATE ${_cpp})
endfunction()

# The library of one program: its pure core plus every other source, form and
# resource of its subsystem folders, and the shared seams in common/.
function(velmar_program_library NAME DIR)
  velmar_pure_library(${NAME}_pure ${DIR})
  file(GLOB_RECURSE _all CONFIGURE_DEPENDS
       ${DIR}/*.cpp ${DIR}/*.h ${DIR}/*.ui ${DIR}/*.qrc)
  list(FILTER _all EXCLUDE REGEX "/pure/")
  list(FILTER _all EXCLUDE REGEX "${DIR}/main\\.cpp$")
  file(GLOB _common CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/common/*.cpp
       ${CMAKE_SOURCE_DIR}/common/*.h ${CMAKE_SOURCE_DIR}/common/*.qrc)
  add_library(${NAME} SHARED ${_all} ${_common} $<TARGET_OBJECTS:${NAME}_pure>)
  target_include_directories(${NAME} PUBLIC ${DIR} ${CMAKE_SOURCE_DIR})
  target_link_libraries(${NAME} PUBLIC Qt5::Core Qt5::Gui Qt5::Widgets Qt5::Network
    Qt5::Multimedia Qt5::WebKit Qt5::WebKitWidgets Qt5::PrintSupport)
  # Forms are found beside their sources.
  set_target_properties(${NAME} PROPERTIES AUTOUIC_SEARCH_PATHS "${DIR}")
endfunction()
