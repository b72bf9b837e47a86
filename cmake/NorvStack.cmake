# NORV_FULL_STACK: whether everything a whole run needs is built: the access
# layer, the settings layer and the engine's write side (Database::update_column
# defined in some engine source). Programs and tests that link a whole run are
# built only then, so that the tree builds at every stage of the engine.
set(NORV_FULL_STACK OFF)
if(TARGET data AND TARGET settings)
  file(GLOB _norv_engine_sources "${PROJECT_SOURCE_DIR}/jet/*.cpp")
  foreach(_source IN LISTS _norv_engine_sources)
    file(STRINGS "${_source}" _writes REGEX "Database::update_column")
    if(_writes)
      set(NORV_FULL_STACK ON)
      break()
    endif()
  endforeach()
endif()
