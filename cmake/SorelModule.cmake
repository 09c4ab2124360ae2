# Sorel.so: the VST 2 module, the composition root of every layer.
add_library(Sorel MODULE ${PROJECT_SOURCE_DIR}/frame/vst2/VstPluginMain.cpp)
set_target_properties(Sorel PROPERTIES PREFIX "" OUTPUT_NAME "Sorel"
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(Sorel PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(Sorel PRIVATE
  sorel_editor sorel_persistence sorel_frame sorel_graphics sorel_engine sorel_resources)
# Keep the C++ runtime's symbols from clashing with the host's.
if(NOT SOREL_SANITIZE AND NOT SOREL_TSAN AND NOT SOREL_FUZZ)
  target_link_options(Sorel PRIVATE -Wl,--no-undefined -Wl,--exclude-libs,ALL)
endif()
# Into ~/.vst below the install prefix, which is the home folder unless
# given; "cmake --install <build> --prefix <home>" installs for another home.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}" CACHE PATH "Install prefix: the home folder" FORCE)
endif()
install(TARGETS Sorel LIBRARY DESTINATION .vst)
