# Run after the bundle binary is linked (cmake -P): copies every shared
# library of this build that BINARY loads into the bundle beside it, where its
# run path ($ORIGIN) finds them, so the bundle works wherever it is installed.
#   -DBINARY=<plug-in binary> -DBUILD_DIR=<the build tree> -DBUNDLE_DIR=<bundle>
file(GET_RUNTIME_DEPENDENCIES
    LIBRARIES ${BINARY}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved
    DIRECTORIES ${BUILD_DIR}/lib)
foreach(library IN LISTS resolved)
    string(FIND "${library}" "${BUILD_DIR}/" at)
    string(FIND "${library}" "${BUNDLE_DIR}/" inside)
    if(at EQUAL 0 AND NOT inside EQUAL 0)
        file(COPY ${library} DESTINATION ${BUNDLE_DIR})
    endif()
endforeach()
if(unresolved)
    message(FATAL_ERROR "the LV2 binary needs libraries that cannot be found: ${unresolved}")
endif()
