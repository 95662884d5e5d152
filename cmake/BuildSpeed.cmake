# Build time. Most of a cold build went into parsing the same Qt and GoogleTest headers again
# for every source file. Two remedies, measured on a two-core machine:
# - unity builds: the larger targets compile their files eight at a time as one;
# - a precompiled header of the Qt Widgets headers for the windows' library, where it still
#   pays after the unity build (elsewhere building the header cost more than it saved).
# -DQN_UNITY=OFF and -DQN_PCH=OFF build file by file without them.
option(QN_UNITY "Compile the larger targets a few files at a time" ON)
option(QN_PCH "Precompile the Qt Widgets headers of the windows' library" ON)

function(qn_unity target)
  if(QN_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # A unity file includes the sources as headers, and GCC then warns about every test
    # fixture declared in an anonymous namespace as if a header had declared it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
    # <termios.h> defines CR0 and its kin as macros, which are command names here: a file that
    # includes it is compiled on its own.
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    foreach(source ${sources})
      get_filename_component(path ${source} ABSOLUTE BASE_DIR ${folder})
      if(path MATCHES "\\.cpp$")
        file(STRINGS ${path} termios REGEX "^#include <termios\\.h>")
        if(termios)
          set_source_files_properties(${source} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
        endif()
      endif()
    endforeach()
  endif()
endfunction()

function(qn_precompile_widgets target)
  if(QN_PCH)
    target_precompile_headers(${target} PRIVATE
      <algorithm> <array> <cstdint> <functional> <memory> <optional> <vector>
      <QByteArray> <QElapsedTimer> <QFile> <QList> <QObject> <QString> <QStringList> <QTimer>
      <QVariant> <QAccessible> <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog>
      <QGroupBox> <QHBoxLayout> <QKeyEvent> <QLabel> <QLineEdit> <QListView> <QMenu> <QMenuBar>
      <QPointer> <QPushButton> <QRadioButton> <QVBoxLayout> <QWidget>)
  endif()
endfunction()
