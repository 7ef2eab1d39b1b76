# One interface target carries the build settings of every target of the project.
add_library(quarvel_settings INTERFACE)
target_compile_features(quarvel_settings INTERFACE cxx_std_20)
target_compile_options(quarvel_settings INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(quarvel_settings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
# Tests and benchmarks find their data files in the source tree; the product
# code does not know it, so its objects are the same in every checkout.
add_library(quarvel_source_dir INTERFACE)
target_compile_definitions(quarvel_source_dir INTERFACE QUARVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(QUARVEL_SANITIZE)
  target_compile_options(quarvel_settings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=undefined)
  target_link_options(quarvel_settings INTERFACE -fsanitize=address,undefined)
endif()

# Sources of a library or program: every .cpp below the folder, so that new
# files need no edit of the build.
function(quarvel_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Precompiled headers: most of the build's time goes into parsing Qt and
# GoogleTest headers again for every file. Core gets Qt Core's only (so that
# the build without widgets still proves that core needs none); the GUI and
# its tests get the widgets as well. QUARVEL_PCH=OFF builds without them,
# which also shows a file that forgot an include of its own.
option(QUARVEL_PCH "Precompile the Qt and GoogleTest headers" ON)
set(QUARVEL_PCH_CORE <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QMap> <QObject>
                     <QRegularExpression> <QString> <QStringList> <QVariant> <functional> <memory> <string> <vector>)
set(QUARVEL_PCH_GUI ${QUARVEL_PCH_CORE} <QAction> <QComboBox> <QDialog> <QHBoxLayout> <QLabel> <QLineEdit>
                    <QMainWindow> <QMessageBox> <QPushButton> <QTableView> <QVBoxLayout> <QWidget>)
# quarvel_precompile(target core|gui [TEST])
function(quarvel_precompile target kind)
  if(NOT QUARVEL_PCH)
    return()
  endif()
  set(headers ${QUARVEL_PCH_CORE})
  if(kind STREQUAL "gui")
    set(headers ${QUARVEL_PCH_GUI})
  endif()
  if("TEST" IN_LIST ARGN)
    list(APPEND headers <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
