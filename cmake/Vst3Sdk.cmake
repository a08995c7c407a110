# The VST 3 SDK sources that Debian ships inside juce-modules-source-data,
# built once into a static library that the plug-in, the host tools and the tests link.
set(VST3_SDK_ROOT "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK"
    CACHE PATH "Root of the VST 3 SDK sources")

if(NOT EXISTS "${VST3_SDK_ROOT}/pluginterfaces/base/funknown.h")
  message(FATAL_ERROR "VST 3 SDK not found at ${VST3_SDK_ROOT}: run scripts/install-deps.sh")
endif()

set(VST3_SDK_SOURCES
  pluginterfaces/base/conststringtable.cpp
  pluginterfaces/base/coreiids.cpp
  pluginterfaces/base/funknown.cpp
  pluginterfaces/base/ustring.cpp
  base/source/baseiids.cpp
  base/source/fbuffer.cpp
  base/source/fdebug.cpp
  base/source/fobject.cpp
  base/source/fstreamer.cpp
  base/source/fstring.cpp
  base/source/updatehandler.cpp
  base/thread/source/flock.cpp
  public.sdk/source/common/memorystream.cpp
  public.sdk/source/common/pluginview.cpp
  public.sdk/source/vst/vstbus.cpp
  public.sdk/source/vst/vstcomponent.cpp
  public.sdk/source/vst/vstcomponentbase.cpp
  public.sdk/source/vst/vsteditcontroller.cpp
  public.sdk/source/vst/vstinitiids.cpp
  public.sdk/source/vst/vstparameters.cpp
  public.sdk/source/vst/vstpresetfile.cpp
  public.sdk/source/vst/hosting/hostclasses.cpp
  public.sdk/source/vst/hosting/pluginterfacesupport.cpp
)
list(TRANSFORM VST3_SDK_SOURCES PREPEND "${VST3_SDK_ROOT}/")

add_library(vst3sdk STATIC ${VST3_SDK_SOURCES})
# Third-party code: its warnings are not ours to fix.
target_compile_options(vst3sdk PRIVATE -w)
target_include_directories(vst3sdk SYSTEM PUBLIC "${VST3_SDK_ROOT}")
# Our own SDK classes that the package lacks, laid out under the SDK's own paths
# (e.g. sdk-extras/public.sdk/source/vst/vstaudioeffect.h).
target_include_directories(vst3sdk PUBLIC "${PROJECT_SOURCE_DIR}/sdk-extras")
find_package(Threads REQUIRED)
target_link_libraries(vst3sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
