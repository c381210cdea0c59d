# The program's own texts in the window's language: Qt Linguist sources
# translations/zav_<lang>.ts, compiled by lrelease (Debian qt6-l10n-tools), and Qt's
# own translations of its standard buttons and context menus (qtbase_<lang>.qm from
# Debian qt6-translations-l10n). Ours are embedded in the window library; Qt's are
# read from the installed Qt at run time and embedded as well when the build finds
# them, so a static Windows build needs no files beside zav.exe either.
#
#   cmake --build <dir> --target zav_lupdate   refreshes the .ts files from the sources
#
# zav_en.ts holds only English plural forms, as Qt's convention has it; the
# Spanish catalogue serves both sorts of Spanish.

set(ZAV_LANGUAGES en es fr)

# The host's tools, also in a cross build (the find root path is not searched for programs).
find_program(ZAV_LRELEASE lrelease HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin
             DOC "Qt's lrelease (Debian qt6-l10n-tools)" REQUIRED)
find_program(ZAV_LUPDATE lupdate HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin
             DOC "Qt's lupdate (Debian qt6-l10n-tools)")
# Qt's translations are the same files for every platform: a cross build takes the host's.
# Without them the build goes on; the window then uses the installed Qt's, if any.
find_path(ZAV_QT_TRANSLATIONS qtbase_es.qm
          HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}
          PATHS /usr/share/qt6/translations
          DOC "Folder of Qt's own qtbase_<lang>.qm (Debian qt6-translations-l10n)"
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT ZAV_QT_TRANSLATIONS)
  message(STATUS "Qt's own translations (qtbase_es.qm) not found: not built into the window")
  set(ZAV_QT_TRANSLATIONS "")
endif()

set(zav_ts_dir ${CMAKE_CURRENT_LIST_DIR})
set(zav_qm_dir ${PROJECT_BINARY_DIR}/translations)
file(MAKE_DIRECTORY ${zav_qm_dir})

set(zav_ts_files)
set(zav_qrc_lines)
foreach(lang ${ZAV_LANGUAGES})
  set(ts ${zav_ts_dir}/zav_${lang}.ts)
  set(qm ${zav_qm_dir}/zav_${lang}.qm)
  list(APPEND zav_ts_files ${ts})
  add_custom_command(
    OUTPUT ${qm}
    COMMAND ${ZAV_LRELEASE} -silent ${ts} -qm ${qm}
    DEPENDS ${ts}
    COMMENT "Compiling the translation zav_${lang}.qm"
    VERBATIM)
  string(APPEND zav_qrc_lines "    <file alias=\"zav_${lang}.qm\">${qm}</file>\n")
  # Qt's own texts; English needs none. The serial port's are there for some languages only.
  foreach(module qtbase qtserialport)
    set(qt_qm ${ZAV_QT_TRANSLATIONS}/${module}_${lang}.qm)
    if(NOT lang STREQUAL "en" AND ZAV_QT_TRANSLATIONS AND EXISTS ${qt_qm})
      string(APPEND zav_qrc_lines "    <file alias=\"${module}_${lang}.qm\">${qt_qm}</file>\n")
    endif()
  endforeach()
endforeach()

set(zav_qrc ${zav_qm_dir}/zav_translations.qrc)
file(CONFIGURE OUTPUT ${zav_qrc} CONTENT
  "<RCC>\n  <qresource prefix=\"/i18n\">\n${zav_qrc_lines}  </qresource>\n</RCC>\n")
# rcc runs after lrelease: the resource's dependencies are the files it lists.
qt_add_resources(zav_translation_sources ${zav_qrc})
set_source_files_properties(${zav_translation_sources} PROPERTIES SKIP_AUTOGEN ON)
target_sources(zavui PRIVATE ${zav_translation_sources})

# The layers whose texts the window shows; zavctl's own stay English.
if(ZAV_LUPDATE)
  set(zav_translated_dirs app desktop device fields files link sectors text ui)
  set(zav_lupdate_commands)
  foreach(lang ${ZAV_LANGUAGES})
    set(plural)
    if(lang STREQUAL "en")
      set(plural -pluralonly)
    endif()
    list(APPEND zav_lupdate_commands COMMAND ${ZAV_LUPDATE} -silent -I ${PROJECT_SOURCE_DIR} -locations none -no-obsolete
         -no-ui-lines ${plural} ${zav_translated_dirs} -ts ${zav_ts_dir}/zav_${lang}.ts)
  endforeach()
  add_custom_target(zav_lupdate ${zav_lupdate_commands}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Updating translations/zav_*.ts from the sources"
    VERBATIM)
endif()
