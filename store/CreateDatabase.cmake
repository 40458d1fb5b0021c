# cmake -DISQL=... -DSCHEMA=... -DDATABASE=... -DWORK_DIR=... -P CreateDatabase.cmake
#
# Creates DATABASE from SCHEMA when it does not exist. The file is built
# under a temporary name and renamed at the end, so that a failed run never
# leaves a half-made database that a later build would take for a good one.
if(EXISTS "${DATABASE}")
  return()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/engine")
get_filename_component(target_dir "${DATABASE}" DIRECTORY)
file(MAKE_DIRECTORY "${target_dir}")
set(partial "${DATABASE}.partial")
file(REMOVE "${partial}")

string(REPLACE "'" "''" partial_sql "${partial}")
string(REPLACE "'" "''" schema_sql "${SCHEMA}")
file(WRITE "${WORK_DIR}/create.sql"
  "CREATE DATABASE '${partial_sql}' USER 'SYSDBA' PASSWORD 'quillbird' "
  "PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\n"
  "INPUT '${schema_sql}';\n")

# The file is new, so no other engine can have it open: a private lock
# folder keeps isql away from the system's shared one.
set(ENV{FIREBIRD_LOCK} "${WORK_DIR}/engine")
set(ENV{FIREBIRD_TMP} "${WORK_DIR}/engine")
execute_process(
  COMMAND "${ISQL}" -q -b -i "${WORK_DIR}/create.sql"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "Creating ${DATABASE} from ${SCHEMA} failed:\n${output}")
endif()
# Another build may have made the file meanwhile: keep that one.
if(EXISTS "${DATABASE}")
  file(REMOVE "${partial}")
else()
  file(RENAME "${partial}" "${DATABASE}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "Created ${DATABASE}")
