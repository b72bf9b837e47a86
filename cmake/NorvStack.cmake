# NORV_FULL_STACK: whether everything a whole run links is built: the access
# layer, the settings layer and the engine facade (Database::open defined in
# some engine source). Programs and tests that link a whole run are built
# only then, so that the tree builds at every stage of the layers below.
# Tests that need the engine to write check that at run time and skip.
set(NORV_FULL_STACK OFF)
if(TARGET data AND TARGET settings)
  file(GLOB _norv_engine_sources "${PROJECT_SOURCE_DIR}/jet/*.cpp")
  foreach(_source IN LISTS _norv_engine_sources)
    file(STRINGS "${_source}" _facade REGEX "Database::open\\(")
    if(_facade)
      set(NORV_FULL_STACK ON)
      break()
    endif()
  endforeach()
endif()
