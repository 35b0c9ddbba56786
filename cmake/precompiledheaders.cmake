# Precompiled Qt headers for every target, attached in one place once all targets exist.
#
# Parsing Qt's headers is a large part of what a fresh build compiles: qcustomplot.h (which pulls in all of
# Qt Widgets and Print Support) takes several CPU seconds, for each file that includes it. So the heavy,
# stable headers are compiled once per flavour (Qt Core; with Qt Widgets; with QCustomPlot too) into a small
# carrier target, and every target reuses its flavour's header. GCC takes a reused header only where the
# macros it tested are defined alike; -Winvalid-pch says so in the log when one is refused.
#
# Off by default when ccache launches the compiler: those are developers' incremental builds, which ccache
# already makes cheap, and being built without a precompiled header they catch a file that forgets one of
# its includes, which a forced-in header would hide. CI's fresh machine has no ccache.
# Only for GCC, whose check of a reused header is what the flavours below are cut for; clang builds only
# the fuzz targets here, which opt out.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
   OR CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache" OR "$ENV{CMAKE_CXX_COMPILER_LAUNCHER}" MATCHES "ccache")
    set(bb_pch_default OFF)
else()
    set(bb_pch_default ON)
endif()
option(BB_PCH "Precompile the stable Qt headers (off under ccache)" ${bb_pch_default})

# What every flavour holds, and what each Qt module adds to it.
set(BB_PCH_CORE
    <algorithm> <atomic> <cmath> <functional> <limits> <memory> <optional> <utility> <vector>
    <QtCore/QByteArray> <QtCore/QCoreApplication> <QtCore/QDateTime> <QtCore/QDebug> <QtCore/QDir>
    <QtCore/QElapsedTimer> <QtCore/QFile> <QtCore/QFileInfo> <QtCore/QHash> <QtCore/QIODevice>
    <QtCore/QJsonArray> <QtCore/QJsonDocument> <QtCore/QJsonObject> <QtCore/QList> <QtCore/QLocale>
    <QtCore/QMap> <QtCore/QMetaType> <QtCore/QMutex> <QtCore/QObject> <QtCore/QPointer>
    <QtCore/QRegularExpression> <QtCore/QSharedPointer> <QtCore/QString> <QtCore/QStringList>
    <QtCore/QThread> <QtCore/QTimer> <QtCore/QVariant> <QtCore/QVector>)
set(BB_PCH_Qt5::Gui
    <QtGui/QColor> <QtGui/QFont> <QtGui/QFontMetrics> <QtGui/QGuiApplication> <QtGui/QImage>
    <QtGui/QKeyEvent> <QtGui/QMouseEvent> <QtGui/QPainter> <QtGui/QPixmap> <QtGui/QScreen>)
set(BB_PCH_Qt5::Widgets
    <QtWidgets/QAction> <QtWidgets/QApplication> <QtWidgets/QCheckBox> <QtWidgets/QComboBox>
    <QtWidgets/QDialog> <QtWidgets/QDialogButtonBox> <QtWidgets/QDoubleSpinBox> <QtWidgets/QFileDialog>
    <QtWidgets/QGridLayout> <QtWidgets/QGroupBox> <QtWidgets/QHBoxLayout> <QtWidgets/QLabel>
    <QtWidgets/QLineEdit> <QtWidgets/QMainWindow> <QtWidgets/QMenu> <QtWidgets/QMessageBox>
    <QtWidgets/QPushButton> <QtWidgets/QSpinBox> <QtWidgets/QStatusBar> <QtWidgets/QVBoxLayout>
    <QtWidgets/QWidget>)
# Through the project's wrapper, which lends QCustomPlot the foreach the project switches off.
set(BB_PCH_QCustomPlot::QCustomPlot ${PROJECT_SOURCE_DIR}/src/plot/qcp.h)
# A flavour that fewer files than this would use costs more to precompile than it saves.
set(BB_PCH_MIN_FILES 10)

# The targets <target> links, directly or through what they pass on, into <out>.
function(bb_pch_reached target out)
    set(seen "")
    set(todo ${target})
    set(first TRUE)
    while(todo)
        list(POP_FRONT todo t)
        if(t IN_LIST seen OR NOT TARGET ${t})
            continue()
        endif()
        list(APPEND seen ${t})
        get_target_property(type ${t} TYPE)
        get_target_property(imported ${t} IMPORTED)
        set(libs "")
        if(first AND NOT imported AND NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(libs ${t} LINK_LIBRARIES)
        else()
            # A dependency's private links ($<LINK_ONLY:...>) bring no headers or macros.
            get_target_property(libs ${t} INTERFACE_LINK_LIBRARIES)
        endif()
        set(first FALSE)
        foreach(lib IN LISTS libs)
            if(lib AND NOT lib MATCHES "^\\$<" AND TARGET ${lib})
                list(APPEND todo ${lib})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Every build-system target under <dir>, into <out>.
function(bb_pch_targets dir out)
    get_property(all DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        bb_pch_targets(${sub} more)
        list(APPEND all ${more})
    endforeach()
    set(${out} ${all} PARENT_SCOPE)
endfunction()

# Attaches a flavour's header to every target that compiles C++ against Qt. Called once, at the end of the
# top-level CMakeLists. A target opts out with set_target_properties(<t> PROPERTIES BB_NO_PCH ON).
function(bb_precompile_headers)
    if(NOT BB_PCH)
        return()
    endif()
    bb_pch_targets(${PROJECT_SOURCE_DIR} targets)
    set(flavours "")
    foreach(t IN LISTS targets)
        get_target_property(type ${t} TYPE)
        get_target_property(skip ${t} BB_NO_PCH)
        if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$" OR skip)
            continue()
        endif()
        get_target_property(sources ${t} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.cpp$")
        list(LENGTH sources files)
        bb_pch_reached(${t} reached)
        if(files EQUAL 0 OR NOT "Qt5::Core" IN_LIST reached)
            continue()
        endif()
        # A library's flavour is what it names itself: most files of one that reaches widgets only through
        # another (the station through the plot) include none, and a big header costs such a file more to
        # load than its few Qt Core headers cost to parse. A test takes the widget flavour when it reaches
        # widgets at all, and shares the libraries' headers: <QtTest> stays out of them, since it picks
        # its helpers by each test's QT_<MODULE>_LIB macros, and a carrier per mix cost more than it saved.
        get_target_property(direct ${t} LINK_LIBRARIES)
        set(modules "")
        if("QCustomPlot::QCustomPlot" IN_LIST direct)
            set(modules Qt5::Gui Qt5::Widgets QCustomPlot::QCustomPlot)
        elseif("Qt5::Widgets" IN_LIST direct OR ("Qt5::Test" IN_LIST reached AND "Qt5::Widgets" IN_LIST reached))
            set(modules Qt5::Gui Qt5::Widgets)
        endif()
        string(MAKE_C_IDENTIFIER "f_${modules}" flavour)
        if(NOT flavour IN_LIST flavours)
            list(APPEND flavours ${flavour})
            set(${flavour}_modules ${modules})
            set(${flavour}_users "")
            set(${flavour}_files 0)
        endif()
        list(APPEND ${flavour}_users ${t})
        math(EXPR ${flavour}_files "${${flavour}_files} + ${files}")
    endforeach()

    set(carrier_source ${CMAKE_CURRENT_BINARY_DIR}/bb_pch.cpp)
    file(WRITE ${carrier_source} "// Compiled only for its precompiled header.\n")
    set(index 0)
    foreach(flavour IN LISTS flavours)
        if(${flavour}_files LESS BB_PCH_MIN_FILES)
            continue()
        endif()
        set(carrier bb_pch_${index})
        math(EXPR index "${index} + 1")
        set(headers ${BB_PCH_CORE})
        foreach(m IN LISTS ${flavour}_modules)
            list(APPEND headers ${BB_PCH_${m}})
        endforeach()
        add_library(${carrier} OBJECT ${carrier_source})
        target_link_libraries(${carrier} PRIVATE Qt5::Core ${${flavour}_modules})
        target_precompile_headers(${carrier} PRIVATE ${headers})
        set_target_properties(${carrier} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
        foreach(t IN LISTS ${flavour}_users)
            target_precompile_headers(${t} REUSE_FROM ${carrier})
            target_compile_options(${t} PRIVATE -Winvalid-pch)
            # A target that lists no header has nothing for moc in its generated file: loading the
            # precompiled header there would cost more than the empty file.
            get_target_property(sources ${t} SOURCES)
            list(FILTER sources INCLUDE REGEX "\\.h$")
            get_target_property(automoc ${t} AUTOMOC)
            if(automoc AND NOT sources)
                get_target_property(bin ${t} BINARY_DIR)
                set_source_files_properties(${bin}/${t}_autogen/mocs_compilation.cpp
                    TARGET_DIRECTORY ${t} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
            endif()
        endforeach()
        message(STATUS "Precompiled headers: ${carrier} (${${flavour}_modules}) for ${${flavour}_files} files")
    endforeach()
endfunction()
